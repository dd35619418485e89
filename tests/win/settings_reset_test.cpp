// Resetting the settings keeps a dated copy of Init.vtx, deletes the file and
// makes later reads see the defaults; when the copy or the deletion fails, the
// file stays as it was and no copy is left behind.
#include "settings/settings_reset_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <regex>

#include "common/directories.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/tree_snapshot_win.h"
#include "settings/init_dbase_win.h"

namespace vtx {
namespace {

class SettingsResetTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedDataDir_ = DataDir;
        DataDir = folder_.path();
        InvalidateDb();
    }
    void TearDown() override {
        DataDir = savedDataDir_;
        InvalidateDb();
    }
    std::string DbPath() const { return folder_ / "Init.vtx"; }
    FileHandle Lock(DWORD share) const {
        return FileHandle(CreateFileW(Widen(DbPath()).c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
    }

    testing::TempFolder folder_{"reset"};

private:
    std::string savedDataDir_;
};

TEST_F(SettingsResetTest, KeepsADatedCopyThenDeletesTheFileAndForgetsTheCopyInMemory) {
    ASSERT_TRUE(WriteDbValue("Skin", "Blau"));
    ASSERT_EQ(ReadDbValue("Skin", false, "Holz-Dunkel 2"), "Blau");
    const std::string before = testing::ReadFileBytes(DbPath());

    const ResetOutcome first = DeleteSettingsFile();
    EXPECT_EQ(first.result, ResetResult::Deleted);
    EXPECT_TRUE(std::regex_match(first.backup, std::regex(std::regex_replace(
                                                   folder_.path(), std::regex(R"([\\^$.|?*+()\[\]{}])"), R"(\$&)") +
                                               R"(\\Init\.vtx\.20[0-9]{6}-[0-9]{6}\.bak)")))
        << first.backup;
    EXPECT_EQ(testing::ReadFileBytes(first.backup), before);
    EXPECT_EQ(GetFileAttributesW(Widen(DbPath()).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadDbValue("Skin", false, "Holz-Dunkel 2"), "Holz-Dunkel 2");

    // Nothing left to delete: nothing changes.
    EXPECT_EQ(DeleteSettingsFile().result, ResetResult::NotPresent);

    // A later reset adds its own copy and overwrites none: neither the first one
    // nor others of the same second (when the clock has not moved on).
    ASSERT_TRUE(WriteDbValue("Skin", "Rot"));
    const std::string second = testing::ReadFileBytes(DbPath());
    for (int i = 2; i <= 3; ++i)
        testing::WriteFileBytes(first.backup.substr(0, first.backup.size() - 4) + "-" + std::to_string(i) + ".bak",
                                "taken");
    const ResetOutcome again = DeleteSettingsFile();
    EXPECT_EQ(again.result, ResetResult::Deleted);
    EXPECT_NE(again.backup, first.backup);
    EXPECT_EQ(testing::ReadFileBytes(first.backup), before);
    EXPECT_EQ(testing::ReadFileBytes(again.backup), second);
    for (const auto& [path, entry] : testing::SnapshotTree(folder_.path()))
        EXPECT_TRUE(entry.bytes == before || entry.bytes == second || entry.bytes == "taken") << path;
}

TEST_F(SettingsResetTest, WhenTheCopyOrTheDeletionFailsTheFileStaysAndNoCopyIsLeft) {
    ASSERT_TRUE(WriteDbValue("Skin", "Blau"));
    const testing::Tree before = testing::SnapshotTree(folder_.path());
    struct Case {
        const char* what;
        DWORD share;  // of the handle another program holds
        ResetResult result;
    };
    for (const Case& c : {Case{"nobody may read it", 0, ResetResult::BackupFailed},
                          Case{"nobody may delete it", FILE_SHARE_READ, ResetResult::Failed}}) {
        SCOPED_TRACE(c.what);
        FileHandle lock = Lock(c.share);
        ASSERT_TRUE(lock);
        const ResetOutcome outcome = DeleteSettingsFile();
        EXPECT_EQ(outcome.result, c.result);
        EXPECT_EQ(outcome.backup, "");
        lock.reset();
        EXPECT_EQ(testing::DescribeDifferences(before, testing::SnapshotTree(folder_.path())), "");
        EXPECT_EQ(ReadDbValue("Skin", false, "Holz-Dunkel 2"), "Blau");
    }
    EXPECT_NE(ResetFailedText(DbPath()).find(DbPath()), std::string::npos);
}

}  // namespace
}  // namespace vtx
