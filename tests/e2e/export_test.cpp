// The export and the settings reset as a user runs them: the real window, its
// message boxes and the shell's folder dialog, on the sample installation; then
// what landed on disk.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "e2e/driver_folder_win.h"
#include "e2e/driver_shell_win.h"
#include "e2e/driver_win.h"
#include "e2e/export_steps.h"
#include "export/export_layout.h"
#include "fixtures/archive_keep_win.h"
#include "fixtures/expected_export_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/tree_snapshot_win.h"
#include "settings/settings_reset_win.h"

namespace vtx::testing {
namespace {

using ::testing::StartsWith;

class ExportE2E : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleForThisMachine(root_ / "Velatrix-Tunes 6");
        std::string error;
        ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
        target_ = root_ / "Fehlerbericht";
        ASSERT_TRUE(CreateDirectoryW(Widen(target_).c_str(), nullptr));
    }

    void Start() {
        ASSERT_TRUE(tool_.Launch(sample_.installDir + "\\Tools\\VTXDiagnostic.exe"));
        main_ = WaitForMainWindow(tool_.id());
        ASSERT_NE(main_, nullptr);
    }

    void Click(int id) { PostClick(GetDlgItem(main_, id)); }

    HWND OpenFolderDialog() { return OpenExportFolderDialog(tool_.id(), main_); }
    // Starts an export into target_ through the dialogs; the progress window once it
    // shows, nullptr when a step fails.
    HWND BeginExport() {
        HWND dialog = OpenFolderDialog();
        if (!dialog || !SelectFolder(dialog, target_) || !AnswerMessageBox(dialog, IDOK)) return nullptr;
        return WaitForWindow(tool_.id(), VTX_WAIT_CLASS, true, 30000);
    }
    std::string ExportThroughTheDialogs() { return testing::ExportThroughTheDialogs(tool_.id(), main_, target_); }
    std::string AnswerNextBox(int button, std::string* title = nullptr) {
        return testing::AnswerNextBox(tool_.id(), button, title);
    }

    std::string ExportFolder() const { return target_ + "\\VTX Umgebung"; }
    std::string Archive() const { return target_ + "\\VTX Umgebung.zip"; }
    // The box that ends an export whose archive was written.
    std::string Done() const { return WithOpenQuestion(WithArchiveLine(kExportDoneText, Archive()), true); }

    Contents ExpectedExport(const std::vector<std::string>& lines, const std::string& skinFolder) const {
        return testing::ExpectedExport(sample_, lines, skinFolder);
    }

    Tree JukeboxFolders() const {
        Tree both;
        for (const auto& [path, entry] : SnapshotTree(sample_.installDir)) both["APP\\" + path] = entry;
        for (const auto& [path, entry] : SnapshotTree(sample_.dataDir)) both["USR\\" + path] = entry;
        return both;
    }

    // Folder windows a test opened are closed again, also when it fails half-way.
    void TearDown() override { CloseFolderWindowsSince(windowsAtStart_); }

    // Runs an export through the dialogs into target_; its closing box, still open.
    HWND ClosingBox() {
        HWND dialog = OpenFolderDialog();
        if (!dialog || !SelectFolder(dialog, target_) || !AnswerMessageBox(dialog, IDOK)) return nullptr;
        return WaitForMessageBox(tool_.id(), 120000);
    }

    const std::set<HWND> windowsAtStart_ = VisibleTopLevelWindows();
    TempFolder root_{"e2e-export"};
    SampleInstallation sample_;
    std::string target_;
    ToolProcess tool_;
    HWND main_ = nullptr;
};

TEST_F(ExportE2E, CreatesTheEnvironmentThroughTheRealDialogs) {
    Start();
    const Tree jukeboxBefore = JukeboxFolders();
    const std::vector<std::string> lines = ListLines(GetDlgItem(main_, IDC_LSTLOG));
    ASSERT_FALSE(lines.empty());

    std::string title;
    HWND dialog = OpenFolderDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(FolderDialogTitle(dialog), "Bitte Verzeichnis wählen");
    ASSERT_TRUE(SelectFolder(dialog, target_));
    // The path is longer than the status line: shortened with an ellipsis.
    const std::string status = FolderDialogStatus(dialog);
    EXPECT_THAT(status, StartsWith("Auswahl: C:\\"));
    EXPECT_THAT(status, ::testing::HasSubstr("..."));
    EXPECT_THAT(status, ::testing::EndsWith("\\Fehlerbericht"));
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("folder-dialog")));
    ASSERT_TRUE(AnswerMessageBox(dialog, IDOK));
    // The closing box: its first line as before, the archive to send in the second,
    // and the question whether to open its folder, "Ja" the default.
    HWND done = WaitForMessageBox(tool_.id(), 120000);
    ASSERT_NE(done, nullptr);
    EXPECT_EQ(MessageBoxText(done), "Umgebung wurde erstellt\nZum Versenden: " + Archive() +
                                        "\nSoll der Ordner mit dem Archiv jetzt geöffnet werden?");
    EXPECT_EQ(WindowText(done), "VTX Diagnostic");
    ExpectYesIsTheDefault(done);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("export-done")));
    // "Nein" closes it and opens nothing.
    const std::set<HWND> before = VisibleTopLevelWindows();
    ASSERT_TRUE(AnswerMessageBox(done, IDNO));
    Sleep(2000);
    EXPECT_TRUE(std::ranges::includes(before, VisibleTopLevelWindows()));
    EXPECT_EQ(ReadFileBytes(Archive()).substr(0, 4), "PK\x03\x04");
    EXPECT_TRUE(KeepArchive(Archive(), "window-export"));

    Contents exported = ContentsOf(SnapshotTree(ExportFolder()));
    // System.txt: the system profile, in UTF-8 with its mark and CR LF.
    const auto profile = TakeSystemProfile(exported);
    ASSERT_TRUE(profile.has_value()) << Listing(exported);
    ASSERT_FALSE(profile->empty());
    EXPECT_EQ(profile->front(), "Systemprofil");
    EXPECT_THAT(*profile, ::testing::Contains("    Auflösung:              800 x 600"));
    const Contents expected = ExpectedExport(lines, sample_.skinName);
    EXPECT_EQ(exported, expected) << "exported:\n" << Listing(exported) << "expected:\n" << Listing(expected);

    // A few entries spelled out, so that the expectation above cannot drift with it.
    const std::string size = std::to_string(sample_.screenWidth) + "x" + std::to_string(sample_.screenHeight);
    EXPECT_EQ(exported.at("APP\\Velatrix-Tunes.ini"), "[Programm]\r\nSprache=Deutsch\r\n");
    EXPECT_EQ(exported.at("APP\\Module\\Module.ini"), "[Module]\r\nInpOut=1\r\n");
    EXPECT_EQ(exported.at("APP\\Tools\\VTXDiagnostic.exe"), "");
    EXPECT_EQ(exported.at("APP\\Velatrix-Tunes 6.exe"), "");
    EXPECT_EQ(exported.at("APP\\Skins\\Holz-Dunkel 2\\1024x768\\Skin.t6s"), "");
    EXPECT_THAT(exported.at("APP\\Skins\\Holz-Dunkel 2\\" + size + "\\Skin.t6s"), StartsWith("[Skin]"));
    EXPECT_EQ(exported.at("USR\\Fehler.log"), "01.12.2026 20:15:03 Fehler 53: Datei nicht gefunden\r\n");
    EXPECT_EQ(exported.at("USR\\Init.vtx").size() % 200, 0u);
    EXPECT_FALSE(exported.at("USR\\Init.vtx").empty());
    EXPECT_EQ(exported.at("USR\\Werbung\\Archiv\\Werbung 0.jpg"), "");

    // VTX.log: the window's lines, in the ANSI code page, each ended by CR LF.
    const std::string log = exported.at("VTX.log");
    EXPECT_EQ(log, LogBytes(lines));
    EXPECT_NE(log.find("Aufl\xF6sung:"), std::string::npos);
    EXPECT_EQ(static_cast<size_t>(std::count(log.begin(), log.end(), '\n')), lines.size());

    // The jukebox's own folders are byte for byte as they were.
    EXPECT_EQ(DescribeDifferences(jukeboxBefore, JukeboxFolders()), "");
    tool_.Close();
}

// "Ja" opens the chosen folder in the file manager with what is to be sent
// selected: the archive, or the export folder when the archive could not be written.
TEST_F(ExportE2E, JaOpensTheFolderWithWhatIsToBeSent) {
    Start();
    const std::string title = target_.substr(target_.rfind('\\') + 1);  // "Fehlerbericht"

    HWND box = ClosingBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box), Done());
    std::set<HWND> before = VisibleTopLevelWindows();
    // Enter is "Ja".
    PressKeys(box, {}, VK_RETURN);
    ASSERT_TRUE(WaitUntil([&] { return !IsWindow(box); }, 10000));
    HWND folder = WaitForFolderWindow(before, title);
    ASSERT_NE(folder, nullptr);
    DWORD pid = 0;
    GetWindowThreadProcessId(folder, &pid);
    EXPECT_NE(pid, tool_.id());
    EXPECT_EQ(SelectedItems(folder), std::vector<std::string>{"VTX Umgebung.zip"});
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("export-folder-opened")));
    EXPECT_FALSE(HasMessageBox(tool_.id()));
    EXPECT_EQ(CloseFolderWindowsSince(before), 1);

    // A folder where the archive belongs: the warning as before, and its question
    // offers the export folder.
    ASSERT_TRUE(DeleteFileW(Widen(Archive()).c_str()));
    ASSERT_TRUE(WriteFileBytes(Archive() + "\\Notiz.txt", "meins"));
    box = ClosingBox();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(MessageBoxText(box),
              WithOpenQuestion(WithArchiveFailure(kExportDoneText, Archive(), ExportFolder(),
                                                  "an seiner Stelle steht ein Verzeichnis gleichen Namens"),
                               false));
    ExpectYesIsTheDefault(box);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("export-archive-failed")));
    before = VisibleTopLevelWindows();
    ASSERT_TRUE(AnswerMessageBox(box, IDYES));
    folder = WaitForFolderWindow(before, title);
    ASSERT_NE(folder, nullptr);
    EXPECT_EQ(SelectedItems(folder), std::vector<std::string>{"VTX Umgebung"});
    EXPECT_FALSE(HasMessageBox(tool_.id()));
    EXPECT_EQ(CloseFolderWindowsSince(before), 1);
    tool_.Close();
}

TEST_F(ExportE2E, CancellingThePickerWritesNothing) {
    Start();
    HWND dialog = OpenFolderDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(SelectFolder(dialog, target_));
    ASSERT_TRUE(AnswerMessageBox(dialog, IDCANCEL));

    // No box follows the cancel: the next one is the next click's information box.
    dialog = OpenFolderDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(AnswerMessageBox(dialog, IDCANCEL));
    EXPECT_TRUE(SnapshotTree(target_).empty());
    tool_.Close();
}

TEST_F(ExportE2E, ASecondExportReplacesTheFirst) {
    // Sources whose attributes a copy could take along and then fail to delete.
    ASSERT_TRUE(SetFileAttributesW(Widen(sample_.installDir + "\\Velatrix-Tunes.ini").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(SetFileAttributesW(Widen(sample_.installDir + "\\Module\\Module.ini").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    Start();
    ASSERT_EQ(ExportThroughTheDialogs(), Done());
    Tree first = SnapshotTree(ExportFolder());
    ASSERT_TRUE(WriteFileBytes(ExportFolder() + "\\APP\\Notiz.txt", "from before"));
    ASSERT_TRUE(WriteFileBytes(ExportFolder() + "\\Alt\\Alt.ini", "from before"));
    // The earlier archive, marked: the second export must replace it whole.
    ASSERT_TRUE(WriteFileBytes(Archive(), "the earlier archive"));

    EXPECT_EQ(ExportThroughTheDialogs(), Done());
    Tree second = SnapshotTree(ExportFolder());
    // Each export writes a system profile of its own moment (time, uptime).
    EXPECT_EQ(first.erase("System.txt"), 1u);
    EXPECT_EQ(second.erase("System.txt"), 1u);
    EXPECT_EQ(DescribeDifferences(first, second), "");
    EXPECT_EQ(ReadFileBytes(Archive()).substr(0, 4), "PK\x03\x04");
    EXPECT_TRUE(KeepArchive(Archive(), "window-second-export"));
    tool_.Close();
}

TEST_F(ExportE2E, ResetAsksFirstAndTheNextExportUsesTheDefaultSkinFolder) {
    const std::string settings = sample_.dataDir + "\\Init.vtx";
    const std::string settingsBytes = ReadFileBytes(settings);
    ASSERT_FALSE(settingsBytes.empty());
    Start();

    // The question, with Yes as the default button; No changes nothing.
    Click(IDC_CMDRESETDBASE);
    HWND question = WaitForMessageBox(tool_.id());
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(WindowText(question), "Achtung!");
    EXPECT_EQ(MessageBoxText(question), "Hiermit werden alle Einstellungen der Velatrix-Tunes zurückgesetzt! Fortsetzen?");
    ExpectYesIsTheDefault(question);
    ASSERT_TRUE(AnswerMessageBox(question, IDNO));
    Click(IDC_CMDRESETDBASE);  // the next box is this click's question: No showed nothing
    std::string title;
    EXPECT_EQ(AnswerNextBox(IDNO, &title), kResetQuestionText);
    EXPECT_EQ(ReadFileBytes(settings), settingsBytes);

    // A settings file that cannot be copied, or copied but not deleted: said so, no
    // success box, the file kept and no copy left.
    const Tree dataBefore = SnapshotTree(sample_.dataDir);
    struct Held {
        DWORD share;
        std::string message;
    };
    for (const Held& held : {Held{0, BackupFailedText(settings, sample_.dataDir)},
                             Held{FILE_SHARE_READ, ResetFailedText(settings)}}) {
        FileHandle lock(CreateFileW(Widen(settings).c_str(), GENERIC_READ, held.share, nullptr, OPEN_EXISTING,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(lock);
        Click(IDC_CMDRESETDBASE);
        EXPECT_EQ(AnswerNextBox(IDYES), kResetQuestionText);
        EXPECT_EQ(AnswerNextBox(IDOK, &title), held.message);
        EXPECT_EQ(title, "VTX Diagnostic");
    }
    EXPECT_EQ(DescribeDifferences(dataBefore, SnapshotTree(sample_.dataDir)), "");

    // Confirmed: the settings go, their bytes stay as a dated copy beside them,
    // which the box names on its second line.
    Click(IDC_CMDRESETDBASE);
    EXPECT_EQ(AnswerNextBox(IDYES), kResetQuestionText);
    const std::string done = AnswerNextBox(IDOK, &title);
    EXPECT_EQ(title, "Info");
    EXPECT_EQ(GetFileAttributesW(Widen(settings).c_str()), INVALID_FILE_ATTRIBUTES);
    std::vector<std::string> copies;
    for (const auto& [path, entry] : SnapshotTree(sample_.dataDir))
        if (path.starts_with("Init.vtx.") && path.ends_with(".bak")) copies.push_back(path);
    ASSERT_EQ(copies.size(), 1u);
    EXPECT_TRUE(std::regex_match(copies[0], std::regex(R"(Init\.vtx\.20[0-9]{6}-[0-9]{6}\.bak)"))) << copies[0];
    EXPECT_EQ(ReadFileBytes(sample_.dataDir + "\\" + copies[0]), settingsBytes);
    EXPECT_EQ(done, ResetDoneMessage(sample_.dataDir + "\\" + copies[0]));
    EXPECT_THAT(done, StartsWith("Alle Einstellungen wurden zurückgesetzt!\n"));

    // Without a skin in the settings the export names the skin folder "Holz-dunkel";
    // the skin file itself is still the one found at start-up.
    const std::vector<std::string> lines = ListLines(GetDlgItem(main_, IDC_LSTLOG));
    ASSERT_EQ(ExportThroughTheDialogs(), Done());
    Contents exported = ContentsOf(SnapshotTree(ExportFolder()));
    EXPECT_TRUE(TakeSystemProfile(exported).has_value());
    EXPECT_EQ(exported, ExpectedExport(lines, "Holz-dunkel")) << Listing(exported);
    const std::string size = std::to_string(sample_.screenWidth) + "x" + std::to_string(sample_.screenHeight);
    EXPECT_THAT(exported.at("APP\\Skins\\Holz-dunkel\\" + size + "\\Skin.t6s"), StartsWith("[Skin]"));
    EXPECT_EQ(exported.at("APP\\Skins\\Holz-Dunkel 2\\" + size + "\\Skin.t6s"), "");
    EXPECT_EQ(exported.count("USR\\Init.vtx"), 0u);
    tool_.Close();
}

TEST_F(ExportE2E, ClicksWhileAnExportRunsAreIgnored) {
    // Enough files for a walk that lets messages run for a while.
    for (int i = 0; i < 1500; ++i)
        ASSERT_TRUE(WriteFileBytes(sample_.dataDir + "\\Viele\\Datei " + std::to_string(i) + ".txt", "x"));
    Start();

    // Clicks while the folder dialog is open reach the window through the dialog's
    // message loop; clicks while the walk runs, through the export's own pump.
    HWND dialog = OpenFolderDialog();
    ASSERT_NE(dialog, nullptr);
    Click(IDC_CMDCREATERUNTIME);
    Click(IDC_CMDRESETDBASE);
    ASSERT_TRUE(SelectFolder(dialog, target_));
    ASSERT_TRUE(AnswerMessageBox(dialog, IDOK));
    ASSERT_NE(WaitForWindow(tool_.id(), VTX_WAIT_CLASS, true, 30000), nullptr);
    for (int i = 0; i < 3; ++i) {
        Click(IDC_CMDCREATERUNTIME);
        Click(IDC_CMDRESETDBASE);
    }

    // The first box is the end of this export: no second export, no reset question.
    EXPECT_EQ(AnswerNextBox(IDNO), Done());
    EXPECT_TRUE(FileExists(ExportFolder() + "\\USR\\Viele\\Datei 1499.txt"));
    EXPECT_TRUE(FileExists(sample_.dataDir + "\\Init.vtx"));

    // Nothing was queued either: the next click is answered by its own box.
    Click(IDC_CMDRESETDBASE);
    EXPECT_EQ(AnswerNextBox(IDNO), kResetQuestionText);
    tool_.Close();
}

TEST_F(ExportE2E, TheProgressIsShownAndAbbrechenLeavesNothingBehind) {
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(WriteFileBytes(sample_.dataDir + "\\Viele\\Ordner " + std::to_string(i % 30) + "\\Datei " +
                                       std::to_string(i) + ".txt",
                                   "x"));
    Start();
    const Tree jukeboxBefore = JukeboxFolders();
    HWND progress = BeginExport();
    ASSERT_NE(progress, nullptr);
    HWND count = GetDlgItem(progress, IDC_WAIT_COUNT);
    HWND folder = GetDlgItem(progress, IDC_WAIT_FOLDER);
    HWND cancel = GetDlgItem(progress, IDC_WAIT_CANCEL);
    ASSERT_NE(count, nullptr);
    ASSERT_NE(cancel, nullptr);
    EXPECT_EQ(WindowText(cancel), "Abbrechen");
    EXPECT_EQ(WindowText(GetDlgItem(progress, IDC_WAIT_LABEL1)), "Bitte warten, Informationen werden gesammelt...");

    // The count grows while the walk goes on, and names the folder being walked.
    const auto files = [&] {
        const std::string text = WindowText(count);
        std::string digits;
        for (const char c : text)
            if (c >= '0' && c <= '9') digits += c;
        return digits.empty() ? -1L : std::stol(digits);
    };
    long first = 0;
    ASSERT_TRUE(WaitUntil([&] { return (first = files()) >= 200; }, 60000)) << WindowText(count);
    EXPECT_THAT(WindowText(count), StartsWith("Dateien: "));
    EXPECT_THAT(WindowText(folder), StartsWith(sample_.dataDir.substr(0, 3)));
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("export-progress")));
    ASSERT_TRUE(WaitUntil([&] { return files() > first; }, 30000)) << WindowText(count);
    ASSERT_LT(files(), 3000) << "the walk ended before it could be stopped";

    PostClick(cancel);
    EXPECT_EQ(AnswerNextBox(IDOK), ExportCancelledText(ExportFolder(), true));
    EXPECT_EQ(GetFileAttributesW(Widen(ExportFolder()).c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(SnapshotTree(target_).empty());
    EXPECT_EQ(DescribeDifferences(jukeboxBefore, JukeboxFolders()), "");

    // The window goes on as before: the next export runs to its end.
    ASSERT_EQ(ExportThroughTheDialogs(), Done());
    EXPECT_TRUE(FileExists(ExportFolder() + "\\USR\\Viele\\Ordner 29\\Datei 2999.txt"));
    tool_.Close();
}

// "Abbrechen" while the archive is being written takes back the whole export: no
// archive, no temporary one, no folder.
TEST_F(ExportE2E, AbbrechenWhileTheArchiveIsWrittenLeavesNothingBehind) {
    // Enough entries that the archive takes a while; the walk itself is quick.
    for (int i = 0; i < 4000; ++i)
        ASSERT_TRUE(WriteFileBytes(sample_.dataDir + "\\Viele\\Ordner " + std::to_string(i % 40) + "\\Datei " +
                                       std::to_string(i) + ".ini",
                                   std::string(2000, 'x')));
    Start();
    const Tree jukeboxBefore = JukeboxFolders();
    HWND progress = BeginExport();
    ASSERT_NE(progress, nullptr);
    HWND cancel = GetDlgItem(progress, IDC_WAIT_CANCEL);
    const std::wstring temporary = Widen(ArchivePathFor(ExportFolder()) + ".tmp");
    ASSERT_TRUE(WaitUntil([&] { return GetFileAttributesW(temporary.c_str()) != INVALID_FILE_ATTRIBUTES; }, 120000))
        << "the archive was never begun";

    PostClick(cancel);
    EXPECT_EQ(AnswerNextBox(IDOK), ExportCancelledText(ExportFolder(), true));
    EXPECT_TRUE(SnapshotTree(target_).empty());
    EXPECT_EQ(DescribeDifferences(jukeboxBefore, JukeboxFolders()), "");
    tool_.Close();
}

TEST_F(ExportE2E, ClosingTheWindowDuringAnExportStopsItLikeAbbrechenAndEndsTheProgram) {
    for (int i = 0; i < 1500; ++i)
        ASSERT_TRUE(WriteFileBytes(sample_.dataDir + "\\Viele\\Datei " + std::to_string(i) + ".txt", "x"));
    Start();
    ASSERT_NE(BeginExport(), nullptr);

    // The walk stops, the half-made folder goes, the user is told, and the program
    // ends normally.
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(AnswerNextBox(IDOK), ExportCancelledText(ExportFolder(), true));
    EXPECT_EQ(tool_.WaitForExit(30000), 0);
    // Nothing stays in the target: no half-made folder, no archive, no temporary one.
    EXPECT_TRUE(SnapshotTree(target_).empty());
}

}  // namespace
}  // namespace vtx::testing
