// The export on real folder trees: what lands where, what is copied and what stands
// as an empty placeholder, and how the export behaves when files or folders get in
// its way.
#include "export/environment_export_win.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "export/export_layout.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/tree_snapshot_win.h"

namespace vtx {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using vtx::testing::ReadFileBytes;
using vtx::testing::SnapshotTree;
using vtx::testing::TempFolder;
using vtx::testing::Contents;
using vtx::testing::ContentsOf;
using vtx::testing::kFolder;
using vtx::testing::Listing;
using vtx::testing::Tree;
using vtx::testing::WriteFileBytes;


// A file opened without any sharing: nobody else can read, write or delete it.
FileHandle LockFile(const std::string& path) {
    FileHandle file(CreateFileW(Widen(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    EXPECT_TRUE(file) << path;
    return file;
}

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(Widen(path).c_str(), attributes)) << path;
}

class EnvironmentExportTest : public ::testing::Test {
protected:
    void SetUp() override {
        install_ = root_ / "Jukebox";
        data_ = root_ / "Daten VT6";
        target_ = root_ / "Ziel";
        skinFile_ = install_ + "\\Skins\\Holz-Dunkel 2\\800x600\\Skin.t6s";
        const std::map<std::string, std::string> files = {
            {install_ + "\\Velatrix-Tunes.ini", "[Programm]\r\nSprache=Deutsch\r\n"},
            {install_ + "\\SETUP.INI", "[Setup]\r\n"},
            {install_ + "\\Velatrix-Tunes 6.exe", "MZ program"},
            {skinFile_, "[Skin]\r\nSize=800x600\r\n"},
            {install_ + "\\Skins\\Holz-Dunkel 2\\1024x768\\Skin.t6s", "[Skin]\r\nSize=1024x768\r\n"},
            {install_ + "\\Ελληνικά.ini", "[Ελληνικά]\r\n"},
            {install_ + "\\Musik\\日本語.mp3", "ID3 music"},
            {install_ + "\\Module\\versteckt.ini", "[Versteckt]\r\n"},
            {install_ + "\\Module\\schreibgeschuetzt.ini", "[Schreibgeschuetzt]\r\n"},
            {data_ + "\\Init.vtx", std::string("\x01\x02 settings", 11)},
            {data_ + "\\Fehler.log", "01.12.2026 Fehler 53\r\n"},
            {data_ + "\\SetUp.ini", "[Settings]\r\n"},
            {data_ + "\\Cover\\Album.jpg", "JPEG"},
        };
        for (const auto& [path, bytes] : files) ASSERT_TRUE(WriteFileBytes(path, bytes)) << path;
        // Folders without files are not recreated in the export.
        ASSERT_TRUE(CreateDirectoryW(Widen(install_ + "\\Leer").c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryW(Widen(install_ + "\\Leer\\Auch leer").c_str(), nullptr));
        SetAttributes(install_ + "\\Module\\versteckt.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
        SetAttributes(install_ + "\\Module\\schreibgeschuetzt.ini", FILE_ATTRIBUTE_READONLY);
        ASSERT_TRUE(CreateDirectoryW(Widen(target_).c_str(), nullptr));
    }

    ExportRequest Request() const {
        ExportRequest request;
        request.chosenFolder = target_;
        request.logLines = {"Velatrix-Tunes 6 - Diagnose", "", "Auflösung:        800 x 600"};
        request.systemProfile = {"Systemprofil", "", "  Ausgabegerät 1:  Ηχεία (Κάρτα ήχου)"};
        request.installDir = install_;
        request.dataDir = data_;
        request.skinFile = skinFile_;
        request.skinName = "Holz-Dunkel 2";
        request.screenWidth = 800;
        request.screenHeight = 600;
        return request;
    }

    // What the fixture's export holds, for the request above.
    Contents ExpectedContents() const {
        return {
            {"VTX.log", "Velatrix-Tunes 6 - Diagnose\r\n\r\nAufl\xF6sung:        800 x 600\r\n"},
            // The profile in UTF-8 with its mark: the device name is no ANSI text.
            {"System.txt", "\xEF\xBB\xBFSystemprofil\r\n\r\n  Ausgabeger\xC3\xA4t 1:  Ηχεία (Κάρτα ήχου)\r\n"},
            {"APP", kFolder},
            {"APP\\Velatrix-Tunes.ini", "[Programm]\r\nSprache=Deutsch\r\n"},
            {"APP\\SETUP.INI", ""},
            {"APP\\Velatrix-Tunes 6.exe", ""},
            {"APP\\Ελληνικά.ini", "[Ελληνικά]\r\n"},
            {"APP\\Musik", kFolder},
            {"APP\\Musik\\日本語.mp3", ""},
            {"APP\\Module", kFolder},
            {"APP\\Module\\versteckt.ini", "[Versteckt]\r\n"},
            {"APP\\Module\\schreibgeschuetzt.ini", "[Schreibgeschuetzt]\r\n"},
            {"APP\\Skins", kFolder},
            {"APP\\Skins\\Holz-Dunkel 2", kFolder},
            {"APP\\Skins\\Holz-Dunkel 2\\800x600", kFolder},
            {"APP\\Skins\\Holz-Dunkel 2\\800x600\\Skin.t6s", "[Skin]\r\nSize=800x600\r\n"},
            {"APP\\Skins\\Holz-Dunkel 2\\1024x768", kFolder},
            {"APP\\Skins\\Holz-Dunkel 2\\1024x768\\Skin.t6s", ""},
            {"USR", kFolder},
            {"USR\\Init.vtx", std::string("\x01\x02 settings", 11)},
            {"USR\\Fehler.log", "01.12.2026 Fehler 53\r\n"},
            {"USR\\SetUp.ini", "[Settings]\r\n"},
            {"USR\\Cover", kFolder},
            {"USR\\Cover\\Album.jpg", ""},
        };
    }

    std::string ExportFolder() const { return target_ + "\\VTX Umgebung"; }

    TempFolder root_{"export"};
    std::string install_;
    std::string data_;
    std::string target_;
    std::string skinFile_;
};

TEST_F(EnvironmentExportTest, CopiesWhatMattersAndLeavesPlaceholdersForTheRest) {
    const Tree sourcesBefore = SnapshotTree(root_.path());
    const ExportResult result = ExportEnvironment(Request(), &NoMessagePump);
    EXPECT_EQ(result.outcome, ExportOutcome::Created);
    EXPECT_EQ(result.message, "Umgebung wurde erstellt");
    EXPECT_EQ(result.folder, ExportFolder());
    EXPECT_EQ(result.failedCount, 0);

    const Tree exported = SnapshotTree(ExportFolder());
    const Contents expected = ExpectedContents();
    EXPECT_EQ(ContentsOf(exported), expected) << "exported:\n" << Listing(ContentsOf(exported));

    // Copies are plain files, whatever their sources carried.
    for (const auto& [path, entry] : exported)
        EXPECT_EQ(entry.attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM), 0u)
            << path;

    // The jukebox's folders are left exactly as they were.
    Tree sourcesAfter = SnapshotTree(root_.path());
    for (auto entry = sourcesAfter.begin(); entry != sourcesAfter.end();)
        entry = entry->first.starts_with("Ziel\\") ? sourcesAfter.erase(entry) : std::next(entry);
    EXPECT_EQ(vtx::testing::DescribeDifferences(sourcesBefore, sourcesAfter), "");
}

TEST_F(EnvironmentExportTest, TheSkinNameOfTheSettingsNamesTheSkinFolder) {
    // No "Skin" in the settings: the file is found under the start-up default but
    // placed under the export default; the walk still leaves its placeholder.
    ExportRequest request = Request();
    request.skinName = kExportSkinDefault;
    ASSERT_EQ(ExportEnvironment(request, &NoMessagePump).outcome, ExportOutcome::Created);
    Contents expected = ExpectedContents();
    expected["APP\\Skins\\Holz-Dunkel 2\\800x600\\Skin.t6s"] = "";
    expected["APP\\Skins\\Holz-dunkel"] = kFolder;
    expected["APP\\Skins\\Holz-dunkel\\800x600"] = kFolder;
    expected["APP\\Skins\\Holz-dunkel\\800x600\\Skin.t6s"] = "[Skin]\r\nSize=800x600\r\n";
    EXPECT_EQ(ContentsOf(SnapshotTree(ExportFolder())), expected);
}

TEST_F(EnvironmentExportTest, MissingSourcesAndAnEmptyReportArePassedOverSilently) {
    ExportRequest request = Request();
    request.logLines.clear();
    request.skinFile = install_ + "\\Skins\\Fehlt\\800x600\\Skin.t6s";
    request.dataDir = root_ / "Kein Datenordner";
    const ExportResult result = ExportEnvironment(request, &NoMessagePump);
    EXPECT_EQ(result.outcome, ExportOutcome::Created);

    Contents expected;
    for (const auto& [path, bytes] : ExpectedContents())
        if (!path.starts_with("USR")) expected[path] = bytes;
    expected["VTX.log"] = "";
    expected["APP\\Skins\\Holz-Dunkel 2\\800x600\\Skin.t6s"] = "";
    EXPECT_EQ(ContentsOf(SnapshotTree(ExportFolder())), expected);
}

TEST_F(EnvironmentExportTest, LockedFilesAreCountedAndNamedWhileTheWalkGoesOn) {
    const FileHandle lockedIni = LockFile(install_ + "\\Velatrix-Tunes.ini");
    const FileHandle lockedSettings = LockFile(data_ + "\\Init.vtx");
    const ExportResult result = ExportEnvironment(Request(), &NoMessagePump);

    EXPECT_EQ(result.outcome, ExportOutcome::CreatedWithFailures);
    EXPECT_EQ(result.failedCount, 2);
    EXPECT_THAT(result.firstFailures, ElementsAre(data_ + "\\Init.vtx", install_ + "\\Velatrix-Tunes.ini"));
    EXPECT_THAT(result.message, HasSubstr("2 Dateien"));
    EXPECT_THAT(result.message, HasSubstr(install_ + "\\Velatrix-Tunes.ini"));
    EXPECT_THAT(result.message, ::testing::Not(HasSubstr("Umgebung wurde erstellt\n")));

    // Everything else is in place; the settings file that could not be copied gets
    // no empty stand-in that would pass for the jukebox's settings.
    Contents expected = ExpectedContents();
    expected.erase("APP\\Velatrix-Tunes.ini");
    expected.erase("USR\\Init.vtx");
    EXPECT_EQ(ContentsOf(SnapshotTree(ExportFolder())), expected);
}

TEST_F(EnvironmentExportTest, AnExportFolderInsideTheJukeboxFoldersIsNotWalked) {
    struct Case {
        std::string chosen;
        std::string exportFolder;  // where the export lands, as the file system spells it
        std::string notExpected;   // the export inside itself
    };
    const Case cases[] = {
        {install_ + "\\Berichte", install_ + "\\Berichte\\VTX Umgebung", "APP\\Berichte"},
        {data_, data_ + "\\VTX Umgebung", "USR\\VTX Umgebung"},
        // Another spelling of the same folder is the same folder.
        {root_ / "JUKEBOX\\BERICHTE", install_ + "\\Berichte\\VTX Umgebung", "APP\\Berichte"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.chosen);
        ASSERT_TRUE(CreateDirectoryW(Widen(c.chosen).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
        ExportRequest request = Request();
        request.chosenFolder = c.chosen;
        // Twice: the second run finds the first one's folder in the tree it walks.
        for (int run = 0; run < 2; ++run) {
            ASSERT_EQ(ExportEnvironment(request, &NoMessagePump).outcome, ExportOutcome::Created);
            const Contents exported = ContentsOf(SnapshotTree(c.exportFolder));
            EXPECT_EQ(exported, ExpectedContents()) << Listing(exported);
            EXPECT_EQ(exported.count(c.notExpected), 0u);
        }
        vtx::testing::RemoveTree(c.exportFolder);
    }
}

TEST_F(EnvironmentExportTest, ASecondExportReplacesTheFirst) {
    ASSERT_EQ(ExportEnvironment(Request(), &NoMessagePump).outcome, ExportOutcome::Created);
    ASSERT_TRUE(WriteFileBytes(ExportFolder() + "\\APP\\alt.txt", "from before"));
    ASSERT_TRUE(WriteFileBytes(ExportFolder() + "\\Alt\\alt.ini", "from before"));

    const ExportResult second = ExportEnvironment(Request(), &NoMessagePump);
    EXPECT_EQ(second.outcome, ExportOutcome::Created) << second.message;
    EXPECT_EQ(ContentsOf(SnapshotTree(ExportFolder())), ExpectedContents());
}

TEST_F(EnvironmentExportTest, AnEarlierExportThatCannotBeDeletedStopsTheExportBeforeWriting) {
    struct Case {
        const char* what;
        std::string blocker;
        bool hidden;  // a hidden file is never listed, so its folder cannot be removed
    };
    const Case cases[] = {
        {"locked file", ExportFolder() + "\\APP\\Velatrix-Tunes.ini", false},
        {"hidden file", ExportFolder() + "\\USR\\Notiz.txt", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        vtx::testing::RemoveTree(ExportFolder());
        ASSERT_TRUE(WriteFileBytes(c.blocker, "in the way"));
        ASSERT_TRUE(WriteFileBytes(ExportFolder() + "\\VTX.log", "old log"));
        if (c.hidden) SetAttributes(c.blocker, FILE_ATTRIBUTE_HIDDEN);
        FileHandle lock;
        if (!c.hidden) lock = LockFile(c.blocker);

        const ExportResult result = ExportEnvironment(Request(), &NoMessagePump);
        EXPECT_EQ(result.outcome, ExportOutcome::Stopped);
        EXPECT_EQ(result.message, FolderNotDeletedText(ExportFolder()));
        // Nothing new was written: the new log is missing, the blocker stays.
        EXPECT_FALSE(ReadFileBytes(ExportFolder() + "\\VTX.log").starts_with("Velatrix"));
        lock.reset();
        EXPECT_EQ(ReadFileBytes(c.blocker), "in the way");
        vtx::testing::RemoveTree(ExportFolder());
    }
}

TEST_F(EnvironmentExportTest, AnExportFolderThatCannotBeCreatedStopsTheExport) {
    ASSERT_TRUE(WriteFileBytes(ExportFolder(), "a file of the export folder's name"));
    const ExportResult result = ExportEnvironment(Request(), &NoMessagePump);
    EXPECT_EQ(result.outcome, ExportOutcome::Stopped);
    EXPECT_EQ(result.message, "Verzeichnis " + ExportFolder() + " konnte nicht erstellt werden");
    EXPECT_EQ(ReadFileBytes(ExportFolder()), "a file of the export folder's name");
}

TEST_F(EnvironmentExportTest, APumpThatSaysStopCancelsTheWalkWithoutAWord) {
    int pumps = 0;
    const ExportResult result = ExportEnvironment(Request(), [&] { return ++pumps < 3; });
    EXPECT_EQ(result.outcome, ExportOutcome::Cancelled);
    EXPECT_EQ(result.message, "");
    EXPECT_EQ(pumps, 3);  // asked once more after the stop would be one too many
}

TEST(CreateEmptyFile, CreatesAnEmptyFileAndLeavesAnExistingOneAlone) {
    TempFolder temp("empty-file");
    EXPECT_TRUE(CreateEmptyFile(temp / "neu.dat"));
    EXPECT_EQ(GetFileAttributesW(Widen(temp / "neu.dat").c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_EQ(ReadFileBytes(temp / "neu.dat"), "");
    ASSERT_TRUE(WriteFileBytes(temp / "alt.dat", "keep"));
    EXPECT_TRUE(CreateEmptyFile(temp / "alt.dat"));
    EXPECT_EQ(ReadFileBytes(temp / "alt.dat"), "keep");
    EXPECT_FALSE(CreateEmptyFile(temp / "fehlt\\neu.dat"));
}

}  // namespace
}  // namespace vtx
