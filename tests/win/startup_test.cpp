// Start-up against real folders: the shared directories, SetUp.ini with its
// fallbacks, and the skin name from the settings file.
#include <windows.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include "app/startup.h"
#include "app/startup_win.h"
#include "common/directories.h"
#include "common/unicode_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/windows_world_win.h"
#include "settings/init_dbase_win.h"

namespace vtx {
namespace {

using testing::TempFolder;
using testing::JukeboxSystemFolder;
using testing::WriteFileBytes;

class RecordingPrompts final : public Prompts {
public:
    int Message(HWND, const std::string& text, const std::string& title, UINT flags) override {
        texts.push_back(title + "|" + text);
        lastFlags = flags;
        return IDOK;
    }
    std::vector<std::string> texts;
    UINT lastFlags = 0;
};

class FormLoadTest : public ::testing::Test {
protected:
    void SetUp() override {
        inputs_.toolFolder = root_ / "VT6\\Tools";
        inputs_.appDataFolder = root_ / "AppData";
        inputs_.systemFolder = "C:\\windows\\syswow64";
        inputs_.screenWidth = 800;
        inputs_.screenHeight = 600;
        data_ = root_ / "AppData\\Velatrix-Tunes 6";
        InvalidateDb();
    }
    void TearDown() override { InvalidateDb(); }

    MainState Load() {
        MainState state;
        FormLoad(inputs_, prompts_, nullptr, state);
        return state;
    }

    TempFolder root_{"formload"};
    StartupInputs inputs_;
    std::string data_;
    RecordingPrompts prompts_;
};

TEST_F(FormLoadTest, FixesTheDirectoriesAndFillsTheLists) {
    ASSERT_TRUE(WriteFileBytes(data_ + "\\Cover\\a.jpg", "x"));
    ASSERT_TRUE(WriteFileBytes(data_ + "\\Daten\\Favoriten.txt", "x"));
    const MainState state = Load();
    EXPECT_TRUE(prompts_.texts.empty());
    EXPECT_EQ(DataDir, data_);
    EXPECT_EQ(ModuleDir, data_ + "\\Module");
    EXPECT_EQ(InstallDir, root_ / "VT6");
    EXPECT_EQ(state.SystemDir, "C:\\windows\\syswow64");
    // No SetUp.ini: the defaults, which exist here.
    EXPECT_EQ(state.CoverDir, data_ + "\\Cover");
    EXPECT_EQ(state.ListDir, data_ + "\\Daten");
    // No settings file: the start-up skin default.
    EXPECT_EQ(state.FileList[4], root_ / "VT6\\Skins\\Holz-Dunkel 2\\800x600\\Skin.t6s");
    EXPECT_EQ(state.ComponentList[0], "MSCOMMLib.MSComm;MSCOMM32.OCX");
    EXPECT_EQ(state.ComponentList[9], "WMPlayer.OCX;wmp.dll");
    EXPECT_FALSE(state.DebugInfo);
}

TEST_F(FormLoadTest, SetUpIniPathsAreUsedWhenTheyExistAndFallBackOtherwise) {
    const std::string covers = root_ / "Eigene Cover", lists = root_ / "Listen";
    ASSERT_TRUE(WriteFileBytes(covers + "\\a.jpg", "x"));
    ASSERT_TRUE(WriteFileBytes(lists + "\\Favoriten.txt", "x"));
    ASSERT_TRUE(WriteFileBytes(data_ + "\\SetUp.ini",
                               "[Settings]\r\nCoverPath=" + covers + "\r\nListPath=" + lists + "\r\n"));
    MainState state = Load();
    EXPECT_EQ(state.CoverDir, covers);
    EXPECT_EQ(state.ListDir, lists);

    // Folders that do not exist: CoverDir falls back to DataDir\Cover, ListDir to
    // DataDir itself (not DataDir\Daten).
    ASSERT_TRUE(WriteFileBytes(data_ + "\\SetUp.ini",
                               "[Settings]\r\nCoverPath=" + covers + "X\r\nListPath=" + lists + "X\r\n"));
    state = Load();
    EXPECT_EQ(state.CoverDir, data_ + "\\Cover");
    EXPECT_EQ(state.ListDir, data_);
}

TEST_F(FormLoadTest, TheSkinNameComesFromTheSettingsFile) {
    DataDir = data_;
    ASSERT_TRUE(WriteFileBytes(data_ + "\\SetUp.ini", ""));  // makes the data folder
    ASSERT_TRUE(WriteDbValue("Skin", "Glas Blau"));
    InvalidateDb();
    const MainState state = Load();
    EXPECT_EQ(state.FileList[4], root_ / "VT6\\Skins\\Glas Blau\\800x600\\Skin.t6s");
}

TEST_F(FormLoadTest, OutsideAToolsFolderWarnsOnceAndUsesTheToolsOwnFolder) {
    inputs_.toolFolder = root_ / "Downloads";
    Load();
    ASSERT_EQ(prompts_.texts.size(), 1u);
    EXPECT_EQ(prompts_.texts[0], std::string(kAchtungTitle) + "|" + kNotInToolsText);
    EXPECT_EQ(prompts_.lastFlags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(InstallDir, root_ / "Downloads");
}

TEST(GetSpecialFolder, ResolvesKnownFoldersAndGivesEmptyTextOtherwise) {
    EXPECT_FALSE(GetSpecialFolder(CSIDL_APPDATA).empty());
    // The 32-bit system folder: SysWOW64 on 64-bit Windows, System32 on 32-bit Windows.
    const std::string system = GetSpecialFolder(CSIDL_SYSTEMX86);
    EXPECT_EQ(CompareStringOrdinal(Widen(system).c_str(), -1, Widen(JukeboxSystemFolder()).c_str(), -1, TRUE),
              CSTR_EQUAL)
        << system;
    EXPECT_EQ(GetSpecialFolder(0x7FFF), "");
}

TEST(ReadIniString, ReadsValuesAndFallsBackToTheDefault) {
    TempFolder folder("ini");
    ASSERT_TRUE(WriteFileBytes(folder / "SetUp.ini", "[Settings]\r\nCoverPath=D:\\Cover\r\n"));
    EXPECT_EQ(ReadIniString(folder / "SetUp.ini", "Settings", "CoverPath", "x"), "D:\\Cover");
    EXPECT_EQ(ReadIniString(folder / "SetUp.ini", "Settings", "ListPath", "dflt"), "dflt");
    EXPECT_EQ(ReadIniString(folder / "Missing.ini", "Settings", "CoverPath", "dflt"), "dflt");
}

}  // namespace
}  // namespace vtx
