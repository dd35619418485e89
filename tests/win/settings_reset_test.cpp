// Resetting the settings deletes Init.vtx and makes later reads see the defaults;
// a file that cannot be deleted stays as it was.
#include "settings/settings_reset_win.h"

#include <windows.h>

#include <gtest/gtest.h>

#include "common/directories.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "fixtures/temp_folder_win.h"
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

    testing::TempFolder folder_{"reset"};

private:
    std::string savedDataDir_;
};

TEST_F(SettingsResetTest, DeletesTheFileAndForgetsTheCopyInMemory) {
    ASSERT_TRUE(WriteDbValue("Skin", "Blau"));
    ASSERT_EQ(ReadDbValue("Skin", false, "Holz-Dunkel 2"), "Blau");

    EXPECT_EQ(DeleteSettingsFile(), ResetResult::Deleted);
    EXPECT_EQ(GetFileAttributesW(Widen(DbPath()).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadDbValue("Skin", false, "Holz-Dunkel 2"), "Holz-Dunkel 2");

    // Nothing left to delete: nothing changes.
    EXPECT_EQ(DeleteSettingsFile(), ResetResult::NotPresent);
}

TEST_F(SettingsResetTest, AFileThatCannotBeDeletedStaysAsItWas) {
    ASSERT_TRUE(WriteDbValue("Skin", "Blau"));
    const std::string before = testing::ReadFileBytes(DbPath());
    {
        FileHandle lock(CreateFileW(Widen(DbPath()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock);
        EXPECT_EQ(DeleteSettingsFile(), ResetResult::Failed);
    }
    EXPECT_EQ(testing::ReadFileBytes(DbPath()), before);
    EXPECT_EQ(ReadDbValue("Skin", false, "Holz-Dunkel 2"), "Blau");
    EXPECT_NE(ResetFailedText(DbPath()).find(DbPath()), std::string::npos);
}

}  // namespace
}  // namespace vtx
