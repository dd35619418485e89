#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/directories.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "fixtures/temp_folder_win.h"
#include "settings/crypt_text.h"
#include "settings/init_dbase_win.h"

namespace vtx {
namespace {

// The plain text of record `number` (from 1) of the file's bytes.
std::string DecodeRecord(const std::string& bytes, std::size_t number) {
    const std::string record = bytes.substr((number - 1) * 200, 200);
    clsCryptText crypt;
    crypt.KeyString("qdr4");
    crypt.Text(record.substr(200 - std::stoul(record.substr(0, 3))));
    crypt.DoCd();
    crypt.CryptMitXOR();
    return crypt.Text();
}

// "Skin=Holz-Dunkel 2" as the jukebox stores it.
const std::string kJukeboxSkinRecord = "024" + std::string(173, 'g') + "PsZGoCE^X`BnFDK^FQyHg_xH";

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedDataDir_ = DataDir;
        DataDir = folder.path();
        InvalidateDb();
    }
    void TearDown() override {
        DataDir = savedDataDir_;
        InvalidateDb();
    }
    std::string DbPath() const { return folder / "Init.vtx"; }

    testing::TempFolder folder{"settings"};

private:
    std::string savedDataDir_;
};

TEST_F(SettingsFileTest, ReadsAFileWrittenByTheJukebox) {
    ASSERT_TRUE(testing::WriteFileBytes(DbPath(), kJukeboxSkinRecord));
    EXPECT_EQ(ReadDbValue("Skin", false, "Holz-dunkel"), "Holz-Dunkel 2");
    EXPECT_EQ(ReadDbValue("Skin", true, ""), "1");
    EXPECT_EQ(ReadDbValue("skin", false, "Holz-dunkel"), "Holz-dunkel");
}

TEST_F(SettingsFileTest, ValuesAreUtf8InsideAndAnsiInTheFile) {
    ASSERT_TRUE(WriteDbValue("Skin", "Holz-D\xC3\xBCnkel"));
    const std::string bytes = testing::ReadFileBytes(DbPath());
    ASSERT_EQ(bytes.size(), 200u);
    EXPECT_EQ(DecodeRecord(bytes, 1), "Skin=Holz-D\xFCnkel");

    InvalidateDb();
    EXPECT_EQ(ReadDbValue("Skin", false, ""), "Holz-D\xC3\xBCnkel");
    ASSERT_TRUE(WriteDbValue("Gr\xC3\xB6\xC3\x9F" "e", "\xC3\xA9t\xC3\xA9"));
    EXPECT_EQ(DecodeRecord(testing::ReadFileBytes(DbPath()), 2), "Gr\xF6\xDF" "e=\xE9t\xE9");
    EXPECT_EQ(ReadDbValue("Gr\xC3\xB6\xC3\x9F" "e", false, ""), "\xC3\xA9t\xC3\xA9");
}

TEST_F(SettingsFileTest, MissingFileGivesTheDefaultAndOnlyAWriteCreatesIt) {
    const std::string notInCodePage = "Holz \xE2\x9C\x93";  // a check mark: no ANSI byte for it
    EXPECT_EQ(ReadDbValue("Skin", false, notInCodePage), notInCodePage);
    EXPECT_EQ(ReadDbValue("Skin", true, ""), "");
    EXPECT_FALSE(LoadDb());
    EXPECT_EQ(GetFileAttributesW(Widen(DbPath()).c_str()), INVALID_FILE_ATTRIBUTES);

    ASSERT_TRUE(WriteDbValue("Skin", "Holz"));
    EXPECT_EQ(testing::ReadFileBytes(DbPath()).size(), 200u);
    EXPECT_TRUE(LoadDb());
    EXPECT_EQ(ReadDbValue("Skin", false, ""), "Holz");
}

TEST_F(SettingsFileTest, InvalidateDbMakesTheNextReadSeeTheDisk) {
    ASSERT_TRUE(testing::WriteFileBytes(DbPath(), kJukeboxSkinRecord));
    EXPECT_EQ(ReadDbValue("Skin", false, "dflt"), "Holz-Dunkel 2");

    ASSERT_TRUE(DeleteFileW(Widen(DbPath()).c_str()));
    InvalidateDb();
    EXPECT_EQ(ReadDbValue("Skin", false, "dflt"), "dflt");

    // An overwrite leaves the loaded copy as it was; an append reloads.
    ASSERT_TRUE(WriteDbValue("Skin", "eins"));
    EXPECT_EQ(ReadDbValue("Skin", false, "dflt"), "eins");
    ASSERT_TRUE(WriteDbValue("Skin", "zwei"));
    EXPECT_EQ(ReadDbValue("Skin", false, "dflt"), "eins");
    InvalidateDb();
    EXPECT_EQ(ReadDbValue("Skin", false, "dflt"), "zwei");
}

TEST_F(SettingsFileTest, DataDirIsTakenAtEachCall) {
    testing::TempFolder other("settings-other");
    ASSERT_TRUE(testing::WriteFileBytes(other / "Init.vtx", kJukeboxSkinRecord));
    ASSERT_TRUE(WriteDbValue("Skin", "hier"));
    EXPECT_EQ(ReadDbValue("Skin", false, ""), "hier");

    DataDir = other.path();
    InvalidateDb();
    EXPECT_EQ(ReadDbValue("Skin", false, ""), "Holz-Dunkel 2");
}

TEST_F(SettingsFileTest, WorksWhileTheJukeboxHoldsTheFileOpen) {
    ASSERT_TRUE(testing::WriteFileBytes(DbPath(), kJukeboxSkinRecord));
    const FileHandle jukebox(CreateFileW(Widen(DbPath()).c_str(), GENERIC_READ | GENERIC_WRITE,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(jukebox);
    EXPECT_EQ(ReadDbValue("Skin", false, ""), "Holz-Dunkel 2");
    EXPECT_TRUE(WriteDbValue("Skin", "neu"));
    EXPECT_TRUE(WriteDbValue("Farbe", "rot"));
    EXPECT_EQ(ReadDbValue("Skin", false, ""), "neu");
    EXPECT_EQ(ReadDbValue("Farbe", true, ""), "2");
}

TEST_F(SettingsFileTest, AppendBeyondARaggedEndExtendsTheFile) {
    // 300 bytes: the new record is number round(1.5) + 1 = 3, at offset 400.
    ASSERT_TRUE(testing::WriteFileBytes(DbPath(), kJukeboxSkinRecord + std::string(100, 'x')));
    EXPECT_EQ(ReadDbValue("Skin", false, "dflt"), "dflt");
    ASSERT_TRUE(WriteDbValue("Farbe", "rot"));
    const std::string bytes = testing::ReadFileBytes(DbPath());
    ASSERT_EQ(bytes.size(), 600u);
    EXPECT_EQ(bytes.substr(0, 300), kJukeboxSkinRecord + std::string(100, 'x'));
    EXPECT_EQ(DecodeRecord(bytes, 3), "Farbe=rot");
}

TEST_F(SettingsFileTest, FileErrorsGiveTheDefaultOrFalse) {
    // Folder missing: nothing is created.
    DataDir = folder / "missing";
    EXPECT_FALSE(WriteDbValue("Skin", "Holz"));
    EXPECT_EQ(GetFileAttributesW(Widen(DataDir).c_str()), INVALID_FILE_ATTRIBUTES);
    DataDir = folder.path();

    // Held open without sharing (as by a program that locks it): no read, no write,
    // and the file stays as it was.
    ASSERT_TRUE(testing::WriteFileBytes(DbPath(), kJukeboxSkinRecord));
    {
        const FileHandle locked(CreateFileW(Widen(DbPath()).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                            FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(locked);
        InvalidateDb();
        EXPECT_EQ(ReadDbValue("Skin", false, "dflt"), "dflt");
        EXPECT_FALSE(LoadDb());
        EXPECT_FALSE(WriteDbValue("Skin", "neu"));
        EXPECT_FALSE(WriteDbValue("Farbe", "rot"));
    }
    EXPECT_EQ(testing::ReadFileBytes(DbPath()), kJukeboxSkinRecord);
    EXPECT_EQ(ReadDbValue("Skin", false, "dflt"), "Holz-Dunkel 2");
}

}  // namespace
}  // namespace vtx
