// The Windows name and NT test against the version Wine reports.
#include <gtest/gtest.h>

#include <windows.h>

#include "report/os_info_win.h"

namespace vtx {
namespace {

TEST(OsInfo, NamesTheRunningWindows) {
    // A program without supportedOS in its manifest is told Windows 7 SP1 here.
    EXPECT_EQ(GetOSName(), "Windows 7 (Service Pack 1)");
    EXPECT_TRUE(IsNT4OrLater());
}

}  // namespace
}  // namespace vtx
