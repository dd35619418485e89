// The export on real folder trees: what lands where, what is copied and what stands
// as an empty placeholder, and how the export behaves when files or folders get in
// its way.
#include "export/environment_export_win.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "export/export_layout.h"
#include "export/protected_folders_win.h"
#include "export/virtual_store_win.h"
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

TEST_F(EnvironmentExportTest, APumpThatSaysStopCancelsTheWalkAndRemovesTheHalfMadeFolder) {
    const Tree sourcesBefore = SnapshotTree(root_.path());
    int pumps = 0;
    const ExportResult result = ExportEnvironment(Request(), [&] { return ++pumps < 3; });
    EXPECT_EQ(result.outcome, ExportOutcome::Cancelled);
    EXPECT_EQ(result.message, ExportCancelledText(ExportFolder(), true));
    EXPECT_EQ(pumps, 3);  // asked once more after the stop would be one too many
    EXPECT_EQ(GetFileAttributesW(Widen(ExportFolder()).c_str()), INVALID_FILE_ATTRIBUTES);
    // Everything else as it was: the target is empty again, the sources untouched.
    EXPECT_EQ(vtx::testing::DescribeDifferences(sourcesBefore, SnapshotTree(root_.path())), "");

    // A half-made folder that cannot go (a file in it held open) is said so.
    FileHandle lock;
    const ExportResult held = ExportEnvironment(Request(), [&] {
        if (!lock) lock = LockFile(ExportFolder() + "\\VTX.log");
        return false;
    });
    EXPECT_EQ(held.outcome, ExportOutcome::Cancelled);
    EXPECT_EQ(held.message, ExportCancelledText(ExportFolder(), false));
}

TEST_F(EnvironmentExportTest, ProgressFollowsTheWalk) {
    ExportProgress progress;
    std::vector<long> seen;
    const ExportResult result = ExportEnvironment(
        Request(),
        [&] {
            seen.push_back(progress.files);
            return true;
        },
        &progress);
    ASSERT_EQ(result.outcome, ExportOutcome::Created);
    // Every walked file and every copy made before the walks (skin, Init.vtx,
    // Fehler.log): 13 files + 3.
    EXPECT_EQ(progress.files, 16);
    EXPECT_EQ(progress.folder, data_ + "\\Cover");
    ASSERT_FALSE(seen.empty());
    EXPECT_TRUE(std::is_sorted(seen.begin(), seen.end()));
    EXPECT_LT(seen.front(), seen.back());
}

TEST_F(EnvironmentExportTest, PathsLongerThanTheOldLimitAreExported) {
    // Sources below 260 characters whose destinations pass 300.
    std::string deep = install_;
    while (deep.size() < 200) deep += "\\Ordner mit langem Namen";
    const std::string relative = deep.substr(install_.size() + 1);
    ASSERT_TRUE(WriteFileBytes(deep + "\\Tief.ini", "[Tief]\r\n"));
    ASSERT_TRUE(WriteFileBytes(deep + "\\Tief.mp3", "ID3"));
    ExportRequest request = Request();
    request.chosenFolder = target_ + "\\" + std::string(100, 'z');
    ASSERT_GT((request.chosenFolder + "\\VTX Umgebung\\APP\\" + relative + "\\Tief.ini").size(), 300u);

    const ExportResult result = ExportEnvironment(request, &NoMessagePump);
    EXPECT_EQ(result.outcome, ExportOutcome::Created) << result.message;
    Contents expected = ExpectedContents();
    for (size_t at = relative.find('\\'); at != std::string::npos; at = relative.find('\\', at + 1))
        expected["APP\\" + relative.substr(0, at)] = kFolder;
    expected["APP\\" + relative] = kFolder;
    expected["APP\\" + relative + "\\Tief.ini"] = "[Tief]\r\n";
    expected["APP\\" + relative + "\\Tief.mp3"] = "";
    EXPECT_EQ(ContentsOf(SnapshotTree(request.chosenFolder + "\\VTX Umgebung")), expected);
}

TEST_F(EnvironmentExportTest, TheVirtualStoreIsExportedAsTheJukeboxSeesIt) {
    const std::string store = root_ / "VirtualStore\\Jukebox";
    ExportRequest request = Request();
    request.virtualStoreDir = store;
    ASSERT_TRUE(WriteFileBytes(store + "\\Velatrix-Tunes.ini", "[Programm]\r\nSprache=Englisch\r\n"));
    ASSERT_TRUE(WriteFileBytes(store + "\\Module\\Neu.ini", "[Neu]\r\n"));
    ASSERT_TRUE(WriteFileBytes(store + "\\Neu\\Liste.dat", "Daten"));
    ASSERT_TRUE(WriteFileBytes(store + "\\Skins\\Holz-Dunkel 2\\800x600\\Skin.t6s", "[Skin]\r\nGeändert\r\n"));

    ASSERT_EQ(ExportEnvironment(request, &NoMessagePump).outcome, ExportOutcome::Created);
    Contents expected = ExpectedContents();
    expected["APP\\Velatrix-Tunes.ini"] = "[Programm]\r\nSprache=Englisch\r\n";
    expected["APP\\Module\\Neu.ini"] = "[Neu]\r\n";
    expected["APP\\Neu"] = kFolder;
    expected["APP\\Neu\\Liste.dat"] = "";
    expected["APP\\Skins\\Holz-Dunkel 2\\800x600\\Skin.t6s"] = "[Skin]\r\nGeändert\r\n";
    EXPECT_EQ(ContentsOf(SnapshotTree(ExportFolder())), expected) << Listing(ContentsOf(SnapshotTree(ExportFolder())));

    // A VirtualStore that is not there changes nothing.
    request.virtualStoreDir = root_ / "Fehlt";
    ASSERT_EQ(ExportEnvironment(request, &NoMessagePump).outcome, ExportOutcome::Created);
    EXPECT_EQ(ContentsOf(SnapshotTree(ExportFolder())), ExpectedContents());
}

TEST_F(EnvironmentExportTest, AnExportFolderThatIsOrHoldsAJukeboxFolderIsRefusedBeforeAnythingIsWritten) {
    // Choosing the parent of a folder named "VTX Umgebung" that holds the jukebox
    // would delete the jukebox as "an earlier export".
    const std::string parent = root_ / "Ablage";
    for (const std::string& tree : {parent + "\\VTX Umgebung", parent + "\\VTX Umgebung\\Programm\\Jukebox"}) {
        SCOPED_TRACE(tree);
        ASSERT_TRUE(WriteFileBytes(tree + "\\Velatrix-Tunes.ini", "[Programm]\r\n"));
        const Tree before = SnapshotTree(parent);
        for (const bool program : {true, false}) {
            ExportRequest request = Request();
            request.chosenFolder = root_ / "ABLAGE\\.";
            (program ? request.installDir : request.dataDir) = tree;
            const ExportResult result = ExportEnvironment(request, &NoMessagePump);
            EXPECT_EQ(result.outcome, ExportOutcome::Stopped);
            EXPECT_EQ(result.message, ExportFolderHoldsJukeboxText(result.folder));
            EXPECT_EQ(vtx::testing::DescribeDifferences(before, SnapshotTree(parent)), "");
        }
        vtx::testing::RemoveTree(parent);
    }
}


std::string ShortSpelling(const std::string& path) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetShortPathNameW(Widen(path).c_str(), buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Narrow(buffer) : path;
}

TEST(ProtectedFolders, KnowsTheMachinesFoldersWhateverTheirSpelling) {
    const std::string windows = KnownFolderPath(FOLDERID_Windows);
    const std::string programs = KnownFolderPath(FOLDERID_ProgramFilesX86);
    const std::string users = KnownFolderPath(FOLDERID_UserProfiles);
    const std::string profile = KnownFolderPath(FOLDERID_Profile);
    ASSERT_FALSE(windows.empty());
    ASSERT_FALSE(programs.empty());
    ASSERT_FALSE(users.empty());
    TempFolder temp("protected");
    ASSERT_TRUE(CreateDirectoryW(Widen(users + "\\Public").c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS);
    struct Case {
        std::string folder;
        ProtectedFolder kind;
    };
    const Case cases[] = {
        {"C:\\", ProtectedFolder::DriveRoot},
        {"c:", ProtectedFolder::DriveRoot},
        {windows + "\\..", ProtectedFolder::DriveRoot},
        {"\\\\server\\share", ProtectedFolder::ShareRoot},
        {windows, ProtectedFolder::Windows},
        {programs, ProtectedFolder::ProgramFiles},
        {ShortSpelling(programs), ProtectedFolder::ProgramFiles},
        {KnownFolderPath(FOLDERID_ProgramFiles) + "\\", ProtectedFolder::ProgramFiles},
        {KnownFolderPath(FOLDERID_ProgramData), ProtectedFolder::ProgramData},
        {users, ProtectedFolder::Users},
        {profile, ProtectedFolder::UserProfile},
        {users + "\\Public", ProtectedFolder::UserProfile},
        {windows + "\\..\\" + programs.substr(3), ProtectedFolder::ProgramFiles},
        // Folders inside them are walked as usual.
        {programs + "\\Velatrix-Tunes 6", ProtectedFolder::None},
        {KnownFolderPath(FOLDERID_RoamingAppData), ProtectedFolder::None},
        {temp.path(), ProtectedFolder::None},
        {temp / "fehlt", ProtectedFolder::None},
    };
    const ProtectedFolders folders;
    for (const Case& c : cases) EXPECT_EQ(folders.Classify(c.folder), c.kind) << c.folder;

    EXPECT_TRUE(folders.IsVirtualized(programs + "\\Velatrix-Tunes 6"));
    EXPECT_TRUE(folders.IsVirtualized(ShortSpelling(windows) + "\\Jukebox"));
    EXPECT_FALSE(folders.IsVirtualized(temp / "Jukebox"));
    EXPECT_FALSE(folders.IsVirtualized(profile));
}

TEST_F(EnvironmentExportTest, ADriveOrSystemFolderIsNeverWalkedButTheRestIsExported) {
    const std::string programs = KnownFolderPath(FOLDERID_ProgramFilesX86);
    struct Case {
        std::string installDir;
        std::string dataDir;
        std::string notTaken;  // the paragraph of the warning
    };
    const Case cases[] = {
        {"C:\\", data_, TreeNotTakenText("C:\\", ProtectedFolder::DriveRoot, true)},
        {programs, data_, TreeNotTakenText(programs, ProtectedFolder::ProgramFiles, true)},
        {install_, KnownFolderPath(FOLDERID_Profile),
         TreeNotTakenText(KnownFolderPath(FOLDERID_Profile), ProtectedFolder::UserProfile, false)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.installDir + " / " + c.dataDir);
        ExportRequest request = Request();
        request.installDir = c.installDir;
        request.dataDir = c.dataDir;
        // Even a VirtualStore of a drive is left alone.
        request.virtualStoreDir = install_;
        if (c.installDir != install_) request.skinFile = "";
        const ExportResult result = ExportEnvironment(request, &NoMessagePump);
        EXPECT_EQ(result.outcome, ExportOutcome::CreatedWithFailures);
        EXPECT_THAT(result.notTaken, ElementsAre(c.notTaken));
        EXPECT_EQ(result.message, IncompleteExportText({c.notTaken}, c.installDir != install_, 0, {}));
        const Contents exported = ContentsOf(SnapshotTree(ExportFolder()));
        EXPECT_EQ(exported.at("VTX.log"), ExpectedContents().at("VTX.log"));
        for (const auto& [path, bytes] : exported) {
            const bool app = path.starts_with("APP"), usr = path.starts_with("USR");
            EXPECT_TRUE(path == "VTX.log" || path == "System.txt" || (app && c.installDir == install_) ||
                        (usr && c.dataDir == data_))
                << path;
        }
        if (c.installDir == install_) EXPECT_EQ(exported.at("APP\\Velatrix-Tunes.ini"), "[Programm]\r\nSprache=Deutsch\r\n");
        else EXPECT_EQ(exported.at("USR\\Cover\\Album.jpg"), "");
    }
}

TEST(VirtualStore, StandsInForInstallationsInProtectedFoldersOnly) {
    const std::string local = KnownFolderPath(FOLDERID_LocalAppData);
    const std::string programs = KnownFolderPath(FOLDERID_ProgramFilesX86);
    ASSERT_FALSE(local.empty());
    const std::string name = "VTX Test " + std::to_string(GetCurrentProcessId());
    const std::string install = programs + "\\" + name;
    const std::string store = local + "\\VirtualStore" + programs.substr(2) + "\\" + name;
    ASSERT_TRUE(CreateDirectoryW(Widen(install).c_str(), nullptr));
    EXPECT_EQ(VirtualStoreFolder(install), store);
    EXPECT_EQ(VirtualStoreFolder(ShortSpelling(install) + "\\"), store);
    EXPECT_EQ(CountVirtualStoreFiles(install), 0);

    // Files the export takes from there, at every depth.
    ASSERT_TRUE(WriteFileBytes(store + "\\config.ini", "[x]"));
    ASSERT_TRUE(WriteFileBytes(store + "\\Neu\\a.dat", "a"));
    ASSERT_TRUE(WriteFileBytes(store + "\\Neu\\b\\c.ini", "c"));
    EXPECT_EQ(CountVirtualStoreFiles(install), 3);

    // Outside a protected folder, or a protected folder itself: none.
    TempFolder temp("virtual-store");
    EXPECT_EQ(VirtualStoreFolder(temp.path()), "");
    EXPECT_EQ(VirtualStoreFolder(programs), "");
    EXPECT_EQ(CountVirtualStoreFiles(programs), 0);
    EXPECT_EQ(VirtualStoreFolder(""), "");

    vtx::testing::RemoveTree(store);
    vtx::testing::RemoveTree(install);
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
