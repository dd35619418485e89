// The tool harms nothing: whatever a user does with it, and whatever state the
// jukebox's folders are in, the jukebox's files stay byte for byte as they were,
// nothing appears or disappears outside the export folder, and every failure is
// told in a message box while the program goes on and ends normally.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "e2e/driver_drive_win.h"
#include "e2e/driver_file_win.h"
#include "e2e/driver_win.h"
#include "e2e/export_steps.h"
#include "export/export_layout.h"
#include "fixtures/archive_keep_win.h"
#include "fixtures/expected_export_win.h"
#include "fixtures/media_clips_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/tree_snapshot_win.h"
#include "settings/settings_reset_win.h"

namespace vtx::testing {
namespace {

bool SetAttributes(const std::string& path, DWORD attributes) {
    return SetFileAttributesW(Widen(path).c_str(), attributes) != FALSE;
}

// Opens `path` so that nobody else may read, write or delete it while it lives.
FileHandle Lock(const std::string& path) {
    return FileHandle(
        CreateFileW(Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
}

// The entries that were created or deleted between two listings, one per line,
// leaving out those below `allowed` (paths relative to the listed root).
std::string CreatedOrDeleted(const Tree& before, const Tree& after, const std::vector<std::string>& allowed) {
    const auto isAllowed = [&](const std::string& path) {
        for (const std::string& prefix : allowed)
            if (path == prefix || path.starts_with(prefix + "\\")) return true;
        return false;
    };
    std::string text;
    for (const auto& [path, entry] : before)
        if (!after.count(path) && !isAllowed(path)) text += "deleted: " + path + "\n";
    for (const auto& [path, entry] : after)
        if (!before.count(path) && !isAllowed(path)) text += "created: " + path + "\n";
    return text;
}

// The members are public: the cases of the bad-input tables reach them.
// Everything on drive C: by name, but Wine's own C:\\windows, which the tool never
// writes to (listing it would take most of the test's time).
Tree DriveOutsideWindows() {
    Tree drive;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(L"C:\\*", &data));
    if (!find) return drive;
    do {
        const std::string name = Narrow(data.cFileName);
        if (name == "." || name == ".." || _wcsicmp(data.cFileName, L"windows") == 0) continue;
        drive[name].attributes = data.dwFileAttributes;
        for (const auto& [path, entry] : SnapshotNames("C:\\" + name)) drive[name + "\\" + path] = entry;
    } while (FindNextFileW(find.get(), &data));
    return drive;
}

class NoHarmE2E : public ::testing::Test {
public:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(MakeSample(root_ / "Velatrix-Tunes 6")); }

    void MakeSample(const std::string& installDir) {
        sample_ = SampleForThisMachine(installDir);
        std::string error;
        ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
        RemoveTree(target_);
        ASSERT_TRUE(CreateDirectoryW(Widen(target_).c_str(), nullptr));
    }

    // Starts the tool from the sample's Tools folder; its report lines once the
    // window shows (no box may come first).
    std::vector<std::string> Start() {
        tool_ = ToolProcess();
        EXPECT_TRUE(tool_.Launch(sample_.installDir + "\\Tools\\VTXDiagnostic.exe"));
        main_ = WaitForMainWindow(tool_.id());
        EXPECT_NE(main_, nullptr);
        if (!main_) return {};
        EXPECT_FALSE(HasMessageBox(tool_.id()));
        return ListLines(GetDlgItem(main_, IDC_LSTLOG));
    }

    // Asks the tool to close: it must end by itself with exit code 0.
    void CloseNormally() {
        EXPECT_FALSE(HasMessageBox(tool_.id()));
        tool_.Close();
        EXPECT_EQ(tool_.WaitForExit(0), 0);
    }

    std::string Export(WaitWindow waitWindow = WaitWindow::Closed) {
        return ExportThroughTheDialogs(tool_.id(), main_, target_, waitWindow);
    }
    std::string ExportFolder() const { return target_ + "\\VTX Umgebung"; }
    std::string Archive() const { return ArchivePathFor(ExportFolder()); }
    // The box that ends an export whose archive was written.
    std::string DoneText() const { return WithOpenQuestion(WithArchiveLine(kExportDoneText, Archive()), true); }
    std::string App(const std::string& relative) const { return sample_.installDir + "\\" + relative; }
    std::string Usr(const std::string& relative) const { return sample_.dataDir + "\\" + relative; }

    // Both jukebox folders read whole: bytes and attributes of every file.
    Tree JukeboxFolders() const {
        Tree both;
        for (const auto& [path, entry] : SnapshotTree(sample_.installDir)) both["APP\\" + path] = entry;
        for (const auto& [path, entry] : SnapshotTree(sample_.dataDir)) both["USR\\" + path] = entry;
        return both;
    }

    TempFolder root_{"e2e-noharm"};
    const std::string target_ = root_ / "Fehlerbericht";
    SampleInstallation sample_;
    ToolProcess tool_;
    HWND main_ = nullptr;
    std::vector<std::string> lines_;  // the report of the last Run
    std::vector<FileHandle> locks_;   // files held open while the tool runs
};

// Everything a user can do, one after the other; then the jukebox's folders are
// compared file by file and the rest of the drive name by name.
TEST_F(NoHarmE2E, ASessionOfEveryActionChangesNothingButTheExportAndTheConfirmedReset) {
    // Files whose attributes a careless tool could change, and a clip of the
    // jukebox's own to play.
    ASSERT_TRUE(SetAttributes(sample_.installDir + "\\Velatrix-Tunes.ini", FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetAttributes(sample_.installDir + "\\Module\\INPOUT32.DLL", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE));
    ASSERT_TRUE(SetAttributes(sample_.dataDir + "\\Cover\\Album 1.jpg", FILE_ATTRIBUTE_HIDDEN));
    const std::string clip = sample_.dataDir + "\\Klang\\Probe.wav";
    ASSERT_TRUE(WriteFileBytes(clip, WaveClip(300)));
    const Tree jukeboxBefore = JukeboxFolders();
    const Tree driveBefore = DriveOutsideWindows();

    ASSERT_EQ(Start().size(), 45u);
    HWND list = GetDlgItem(main_, IDC_LSTLOG);
    PressKeys(main_, {VK_CONTROL, VK_MENU}, 'H');
    ASSERT_TRUE(WaitUntil([&] { return ListLines(list).size() == 53; }, 30000));

    EXPECT_EQ(Export(), DoneText());
    EXPECT_EQ(Export(), DoneText());

    PostClick(GetDlgItem(main_, IDC_CMDSELECTFILE));
    HWND dialog = WaitForOwnedDialog(tool_.id(), main_);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ChooseFile(dialog, clip));
    ASSERT_TRUE(WaitUntil([&] { return HeldOpen(clip); }, 10000));
    PostClick(GetDlgItem(main_, IDC_CMDPLAY));
    PostClick(GetDlgItem(main_, IDC_CMDSTOP));

    PostClick(GetDlgItem(main_, IDC_CMDRESETDBASE));
    EXPECT_EQ(AnswerNextBox(tool_.id(), IDYES), kResetQuestionText);
    EXPECT_THAT(AnswerNextBox(tool_.id(), IDOK), ::testing::StartsWith(std::string(kResetDoneText) + "\n"));
    CloseNormally();

    // The reset's one change besides the settings that went: their copy beside
    // them, byte for byte.
    const Tree jukeboxAfter = JukeboxFolders();
    std::string copy;
    for (const auto& [path, entry] : jukeboxAfter)
        if (path.starts_with("USR\\Init.vtx.") && path.ends_with(".bak")) copy = path;
    ASSERT_NE(copy, "");
    EXPECT_EQ(jukeboxAfter.at(copy).bytes, jukeboxBefore.at("USR\\Init.vtx").bytes);
    Tree expected = jukeboxBefore;
    expected.erase("USR\\Init.vtx");
    expected[copy] = jukeboxAfter.at(copy);
    EXPECT_EQ(DescribeDifferences(expected, jukeboxAfter), "");
    const std::string settings = sample_.dataDir.substr(3) + "\\Init.vtx";
    // New are only the export folder, its archive beside it and the reset's copy.
    const std::string settingsCopy = sample_.dataDir.substr(3) + copy.substr(3);
    EXPECT_EQ(CreatedOrDeleted(driveBefore, DriveOutsideWindows(),
                               {ExportFolder().substr(3), Archive().substr(3), settings, settingsCopy}),
              "");
    EXPECT_FALSE(SnapshotTree(ExportFolder()).empty());
    EXPECT_TRUE(KeepArchive(Archive(), "no-harm-session"));
}

// Through the real window, so that whatever one export leaves behind on the
// window's side (the folder dialog's item lists, device contexts, the wait window,
// message boxes) would pile up and show.
TEST_F(NoHarmE2E, TwentyExportsInARowToOneTargetAllSucceed) {
    ASSERT_EQ(Start().size(), 45u);
    ASSERT_EQ(Export(), DoneText());
    // Each export gathers its own system profile (time, uptime): compared apart.
    const auto WithoutProfile = [this] {
        Contents contents = ContentsOf(SnapshotTree(ExportFolder()));
        EXPECT_TRUE(TakeSystemProfile(contents).has_value());
        return contents;
    };
    const Contents first = WithoutProfile();
    for (int round = 2; round <= 20; ++round) ASSERT_EQ(Export(), DoneText()) << "export " << round;
    EXPECT_EQ(WithoutProfile(), first);
    // The folder and its archive, nothing else (no temporary archive either).
    for (const auto& [path, entry] : SnapshotNames(target_))
        EXPECT_TRUE(path == "VTX Umgebung.zip" || path == "VTX Umgebung" || path.starts_with("VTX Umgebung\\")) << path;
    EXPECT_TRUE(KeepArchive(Archive(), "no-harm-twentieth-export"));
    CloseNormally();
}

// One damaged or unusual installation or target, made on a fresh sample before
// the tool starts: the tool must start, report and export, ending with the box
// named here, and end normally; the jukebox's folders stay as they were.
struct BadInput {
    const char* what;
    std::function<void(NoHarmE2E&)> damage;
    std::function<std::string(NoHarmE2E&)> lastBox;
    // Files held open while the tool runs (after the folders were read).
    std::function<void(NoHarmE2E&)> hold = [](NoHarmE2E&) {};
    // An error that stops the export shows over the wait window.
    WaitWindow waitWindow = WaitWindow::Closed;
};

class BadInputE2E : public NoHarmE2E {
public:
    void Run(const BadInput& input) {
        SCOPED_TRACE(input.what);
        ASSERT_NO_FATAL_FAILURE(MakeSample(root_ / "Velatrix-Tunes 6"));
        ASSERT_NO_FATAL_FAILURE(input.damage(*this));
        const Tree jukeboxBefore = JukeboxFolders();
        ASSERT_NO_FATAL_FAILURE(input.hold(*this));
        lines_ = Start();
        ASSERT_EQ(lines_.size(), 45u);
        EXPECT_EQ(Export(input.waitWindow), input.lastBox(*this));
        CloseNormally();
        locks_.clear();
        EXPECT_EQ(DescribeDifferences(jukeboxBefore, JukeboxFolders()), "");
    }
};

std::string Done(NoHarmE2E& t) { return t.DoneText(); }

std::string RandomBytes(size_t count, unsigned seed) {
    std::string bytes(count, '\0');
    for (char& ch : bytes) {
        seed = seed * 1103515245u + 12345u;
        ch = static_cast<char>(seed >> 16);
    }
    return bytes;
}

TEST_F(BadInputE2E, DamagedSettingsFilesAreReadAsDefaultsAndExportedAsTheyAre) {
    struct Shape {
        const char* what;
        std::string bytes;
    };
    const std::string records =
        "999" + std::string(197, '\xFF') + "abc" + RandomBytes(197, 7) + "-12" + std::string(197, 'z');
    for (const Shape& shape : {Shape{"empty", ""}, Shape{"199 bytes", RandomBytes(199, 1)},
                               Shape{"length fields out of range or not numeric", records},
                               Shape{"one megabyte of noise", RandomBytes(1 << 20, 3)}}) {
        Run({shape.what, [&](NoHarmE2E& t) { ASSERT_TRUE(WriteFileBytes(t.Usr("Init.vtx"), shape.bytes)); }, Done});
        EXPECT_EQ(ReadFileBytes(ExportFolder() + "\\USR\\Init.vtx"), shape.bytes) << shape.what;
    }

    // A folder where the settings file belongs: no settings, nothing copied.
    Run({"a folder named Init.vtx",
         [](NoHarmE2E& t) {
             DeleteFileW(Widen(t.Usr("Init.vtx")).c_str());
             ASSERT_TRUE(WriteFileBytes(t.Usr("Init.vtx\\Notiz.txt"), "x"));
         },
         Done});
    EXPECT_EQ(ReadFileBytes(ExportFolder() + "\\USR\\Init.vtx\\Notiz.txt"), "");
}

TEST_F(BadInputE2E, GarbagePathsInSetUpIniFallBackToTheDefaults) {
    struct Shape {
        const char* what;
        std::string ini;
        const char* folders;  // the report's count of list folders
    };
    // A cover path that is no folder gives DataDir\Cover (3 covers); a list path that
    // is no folder gives DataDir, which holds no lists; a missing key gives
    // DataDir\Daten.
    for (const Shape& shape :
         {Shape{"overlong and on a missing drive",
                "[Settings]\r\nCoverPath=" + std::string(3000, 'A') + "\r\nListPath=Q:\\fehlt\\Daten\r\n", "0"},
          Shape{"characters no path may hold", "[Settings]\r\nCoverPath=C:\\a<b>|\"*?\\c\r\nListPath=\x01\x02\x7F\r\n", "0"},
          Shape{"binary noise", "[Settings]\r\n" + RandomBytes(4000, 11), "3"}}) {
        Run({shape.what, [&](NoHarmE2E& t) { ASSERT_TRUE(WriteFileBytes(t.Usr("SetUp.ini"), shape.ini)); }, Done});
        EXPECT_EQ(lines_[42], "Anzahl Cover:   3") << shape.what;
        EXPECT_EQ(lines_[43], std::string("Anzahl Verz.:   ") + shape.folders) << shape.what;
        EXPECT_EQ(ReadFileBytes(ExportFolder() + "\\USR\\SetUp.ini"), shape.ini) << shape.what;
    }
}

TEST_F(BadInputE2E, LongAndNonAnsiNamesAreExportedUnchanged) {
    const std::string song = "Lieder\\\u6B4C \u03A9.ini";
    const std::string cover = "Cover\\\U0001F600 \u0158\u00FC.jpg";
    const std::string longName = "Lang\\" + std::string(200, 'L') + ".txt";
    Run({"names outside the ANSI code page, a long name, the tool in such a folder",
         [&](NoHarmE2E& t) {
             ASSERT_NO_FATAL_FAILURE(t.MakeSample(t.root_ / "Jukebox \u266B \u6771\u4EAC\\Velatrix-Tunes 6"));
             ASSERT_TRUE(WriteFileBytes(t.App(song), "[\u6B4C]\r\n"));
             ASSERT_TRUE(WriteFileBytes(t.Usr(cover), "JPEG"));
             ASSERT_TRUE(WriteFileBytes(t.Usr(longName), "lang"));
         },
         Done});
    EXPECT_EQ(lines_[13], "  Velatrix-Tunes: 6.02.00.15");  // read through the non-ANSI path
    EXPECT_EQ(ReadFileBytes(ExportFolder() + "\\APP\\" + song), "[\u6B4C]\r\n");
    EXPECT_TRUE(FileExists(ExportFolder() + "\\USR\\" + cover));
    EXPECT_TRUE(FileExists(ExportFolder() + "\\USR\\" + longName));
}

TEST_F(BadInputE2E, TargetsThatCannotTakeTheExportAreNamed) {
    // A read-only folder takes new files on Windows; its attributes stay as they were.
    DWORD attributes = 0;
    Run({"read-only target",
         [&](NoHarmE2E& t) {
             ASSERT_TRUE(SetAttributes(t.target_, FILE_ATTRIBUTE_READONLY));
             attributes = GetFileAttributesW(Widen(t.target_).c_str());
         },
         Done});
    EXPECT_EQ(GetFileAttributesW(Widen(target_).c_str()), attributes);
    SetAttributes(target_, FILE_ATTRIBUTE_DIRECTORY);

    // An earlier export holding a read-only file: it cannot be replaced, and is kept.
    Run({"earlier export with a read-only file",
         [](NoHarmE2E& t) {
             const std::string file = t.ExportFolder() + "\\USR\\Fest.txt";
             ASSERT_TRUE(WriteFileBytes(file, "fest"));
             ASSERT_TRUE(SetAttributes(file, FILE_ATTRIBUTE_READONLY));
         },
         [](NoHarmE2E& t) { return FolderNotDeletedText(t.ExportFolder()); }, [](NoHarmE2E&) {},
         WaitWindow::ClosesAfterTheBox});
    EXPECT_EQ(ReadFileBytes(ExportFolder() + "\\USR\\Fest.txt"), "fest");
    SetAttributes(ExportFolder() + "\\USR\\Fest.txt", FILE_ATTRIBUTE_NORMAL);

    // A file where the export folder belongs.
    Run({"a file named VTX Umgebung", [](NoHarmE2E& t) { ASSERT_TRUE(WriteFileBytes(t.ExportFolder(), "Datei")); },
         [](NoHarmE2E& t) { return FolderNotCreatedText(t.ExportFolder()); }, [](NoHarmE2E&) {},
         WaitWindow::ClosesAfterTheBox});
    EXPECT_EQ(ReadFileBytes(ExportFolder()), "Datei");
    DeleteFileW(Widen(ExportFolder()).c_str());

    // A folder where the archive belongs: the export is made, the folder stays.
    Run({"a folder named VTX Umgebung.zip",
         [](NoHarmE2E& t) { ASSERT_TRUE(WriteFileBytes(t.Archive() + "\\Notiz.txt", "meins")); },
         [](NoHarmE2E& t) {
             return WithOpenQuestion(WithArchiveFailure(kExportDoneText, t.Archive(), t.ExportFolder(),
                                                        "an seiner Stelle steht ein Verzeichnis gleichen Namens"),
                                     false);
         }});
    EXPECT_EQ(ReadFileBytes(Archive() + "\\Notiz.txt"), "meins");
    EXPECT_EQ(ReadFileBytes(ExportFolder() + "\\USR\\Fehler.log"),
              "01.12.2026 20:15:03 Fehler 53: Datei nicht gefunden\r\n");
}

// The drive the user picked is gone when the export starts (a pulled USB stick).
TEST_F(BadInputE2E, ATargetDriveThatVanishedIsNamed) {
    const std::string stick = root_ / "Stick";
    ASSERT_TRUE(CreateDirectoryW(Widen(stick).c_str(), nullptr));
    TemporaryDrive drive('r', stick);
    ASSERT_TRUE(drive.mapped());
    const Tree jukeboxBefore = JukeboxFolders();
    ASSERT_EQ(Start().size(), 45u);

    HWND dialog = OpenExportFolderDialog(tool_.id(), main_);
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SelectFolder(dialog, drive.root()));
    drive.Remove();
    ASSERT_TRUE(AnswerMessageBox(dialog, IDOK));
    EXPECT_EQ(AnswerNextBox(tool_.id(), IDOK, nullptr, WaitWindow::ClosesAfterTheBox),
              FolderNotCreatedText(drive.root() + "VTX Umgebung"));
    CloseNormally();
    EXPECT_TRUE(SnapshotNames(stick).empty());
    EXPECT_EQ(DescribeDifferences(jukeboxBefore, JukeboxFolders()), "");
}

TEST_F(BadInputE2E, LockedSourcesAreNamedAndTheRestIsExported) {
    Run({"settings file and an ini file held open by the jukebox", [](NoHarmE2E&) {},
         [](NoHarmE2E& t) {
             return WithOpenQuestion(
                 WithArchiveLine(FailedFilesText(2, {t.Usr("Init.vtx"), t.App("Velatrix-Tunes.ini")}), t.Archive()),
                 true);
         },
         [](NoHarmE2E& t) {
             for (const std::string& path : {t.Usr("Init.vtx"), t.App("Velatrix-Tunes.ini")}) {
                 t.locks_.push_back(Lock(path));
                 ASSERT_TRUE(t.locks_.back()) << path;
             }
         }});
    EXPECT_EQ(ReadFileBytes(ExportFolder() + "\\APP\\Module\\Module.ini"), "[Module]\r\nInpOut=1\r\n");
    EXPECT_TRUE(FileExists(ExportFolder() + "\\USR\\Werbung\\Werbung 1.jpg"));
    // No empty stand-in for the settings file that could not be copied.
    EXPECT_FALSE(FileExists(ExportFolder() + "\\USR\\Init.vtx"));
}

}  // namespace
}  // namespace vtx::testing
