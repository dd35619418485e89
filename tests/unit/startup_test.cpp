// Where start-up finds the jukebox, the fixed file list and the window geometry.
#include <gtest/gtest.h>

#include "app/layout.h"
#include "app/startup.h"

namespace vtx {
namespace {

TEST(InstallDirFor, OnlyAFolderNamedToolsIsTheJukeboxsToolsFolder) {
    struct Case {
        const char* toolFolder;
        const char* installDir;
        bool insideTools;
    } cases[] = {
        {"C:\\Program Files (x86)\\Velatrix-Tunes 6\\Tools", "C:\\Program Files (x86)\\Velatrix-Tunes 6", true},
        {"C:\\Tools", "C:", true},                   // Tools at the top of a drive
        {"\\\\server\\vtx\\Tools", "\\\\server\\vtx", true},
        {"C:\\Velatrix-Tunes 6\\tools", "C:\\Velatrix-Tunes 6\\tools", false},  // case-sensitive
        {"C:\\Velatrix-Tunes 6\\MyTools", "C:\\Velatrix-Tunes 6\\MyTools", false},
        {"C:\\Velatrix-Tunes 6\\Tools\\Neu", "C:\\Velatrix-Tunes 6\\Tools\\Neu", false},
        {"C:\\Downloads", "C:\\Downloads", false},
        {"", "", false},
    };
    for (const Case& c : cases) {
        bool inside = !c.insideTools;
        EXPECT_EQ(InstallDirFor(c.toolFolder, inside), c.installDir) << c.toolFolder;
        EXPECT_EQ(inside, c.insideTools) << c.toolFolder;
    }
}

TEST(MakeFileList, NamesTheCheckedFilesInReportOrder) {
    const auto list = MakeFileList("C:\\windows\\syswow64", "C:\\VT6", "Holz-Dunkel 2", 1024, 768);
    const std::array<std::string, 8> expected{
        "C:\\windows\\syswow64\\MSVBVM60.DLL",
        "C:\\VT6\\Module\\INPOUT32.DLL",
        "C:\\VT6\\Velatrix-Tunes 6.exe",
        "C:\\VT6\\SetUp-Tool.exe",
        "C:\\VT6\\Skins\\Holz-Dunkel 2\\1024x768\\Skin.t6s",
        "C:\\windows\\syswow64\\asycfilt.dll",
        "C:\\windows\\syswow64\\MSCMCDE.DLL",
        "C:\\windows\\syswow64\\stdole2.tlb",
    };
    EXPECT_EQ(list, expected);
}

TEST(Layout, TwipsBecomePixelsAtTheRunningDpi) {
    // 15 twips per pixel at 96 dpi, 12 at 120 dpi, 10 at 144 dpi.
    EXPECT_EQ(TwipsToPixels(kMainClient.width, 96), 289);
    EXPECT_EQ(TwipsToPixels(kMainClient.height, 96), 360);
    EXPECT_EQ(TwipsToPixels(kMainClient.width, 120), 361);  // 361.25
    EXPECT_EQ(TwipsToPixels(kMainClient.height, 144), 540);
    EXPECT_EQ(TwipsToPixels(7, 96), 0);   // 0.47
    EXPECT_EQ(TwipsToPixels(8, 96), 1);   // 0.53
    // Courier New 9.75 pt is 13 pixels high at 96 dpi.
    EXPECT_EQ(FontHeightPixels(kListFontCentiPoints, 96), -13);
    EXPECT_EQ(FontHeightPixels(kListFontCentiPoints, 120), -16);
}

TEST(Layout, TheSoundButtonsLieInOneRowInsideTheFrame) {
    const auto find = [](int id) {
        for (const ControlLayout& c : kMainControls)
            if (c.id == id) return c.rect;
        return TwipsRect{};
    };
    const TwipsRect frame = find(IDC_FRAME1);
    for (int id : {IDC_CMDSELECTFILE, IDC_CMDPLAY, IDC_CMDSTOP, IDC_LBLSOUNDFILE}) {
        const TwipsRect r = find(id);
        EXPECT_GE(r.left, frame.left);
        EXPECT_LE(r.left + r.width, frame.left + frame.width);
        EXPECT_GE(r.top, frame.top);
        EXPECT_LE(r.top + r.height, frame.top + frame.height);
    }
    EXPECT_EQ(find(IDC_LBLSOUNDFILE).left, 240);
    EXPECT_EQ(find(IDC_LBLSOUNDFILE).top, 4440);
}

}  // namespace
}  // namespace vtx
