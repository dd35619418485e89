#include "settings/settings_reset.h"

#include <gtest/gtest.h>

namespace vtx {
namespace {

TEST(SettingsBackupName, DatedAndNeverTheSameForALaterAttempt) {
    const LocalDateTime time{2026, 3, 7, 9, 5, 1};
    EXPECT_EQ(SettingsBackupName(time), "Init.vtx.20260307-090501.bak");
    EXPECT_EQ(SettingsBackupName(time, 2), "Init.vtx.20260307-090501-2.bak");
    EXPECT_EQ(SettingsBackupName({2026, 12, 31, 23, 59, 59}), "Init.vtx.20261231-235959.bak");
}

TEST(ResetDoneMessage, KeepsTheFirstLineAndNamesTheCopyOnTheSecond) {
    EXPECT_EQ(ResetDoneMessage(""), "Alle Einstellungen wurden zurückgesetzt!");
    EXPECT_EQ(ResetDoneMessage("C:\\VT6\\Init.vtx.20260307-090501.bak"),
              "Alle Einstellungen wurden zurückgesetzt!\nDie bisherigen Einstellungen wurden gesichert als "
              "C:\\VT6\\Init.vtx.20260307-090501.bak");
    EXPECT_NE(BackupFailedText("C:\\VT6\\Init.vtx", "C:\\VT6").find("Es wurde nichts gelöscht"), std::string::npos);
}

}  // namespace
}  // namespace vtx
