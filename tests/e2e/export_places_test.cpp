// Where the tool and the jukebox lie decides what the export may take: a tool in
// C:\Tools or C:\Program Files (x86)\Tools must not walk the drive or every
// installed program; an installation under Program Files is exported as the
// jukebox sees it, with its VirtualStore; a deep tree whose export paths pass the
// old 260-character limit arrives whole. Each through the window and /export.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "app/control_ids.h"
#include "common/files_win.h"
#include "common/unicode_win.h"
#include "e2e/driver_console_win.h"
#include "e2e/driver_win.h"
#include "e2e/export_steps.h"
#include "fixtures/archive_keep_win.h"
#include "export/export_layout.h"
#include "fixtures/expected_export_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/tree_snapshot_win.h"

namespace vtx::testing {
namespace {


// The closing message as /export writes it on standard error: ANSI, CR LF.
std::string AsStandardError(std::string text) {
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.insert(at, "\r");
    return ToAnsi(text) + "\r\n";
}

Contents Without(const Contents& contents, const std::string& prefix) {
    Contents kept;
    for (const auto& [path, bytes] : contents)
        if (!path.starts_with(prefix)) kept[path] = bytes;
    return kept;
}

class ExportPlacesE2E : public ::testing::Test {
protected:
    void SetUp() override {
        target_ = root_ / "Fehlerbericht";
        ASSERT_TRUE(CreateDirectoryW(Widen(target_).c_str(), nullptr));
    }

    void MakeSample(const std::string& installDir) {
        sample_ = SampleForThisMachine(installDir);
        std::string error;
        ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
    }

    // Runs the export once through the window and once through /export of the tool
    // `exe`; both must end with `message` and make `expected` (VTX.log aside, which
    // is checked against the window's lines). `warning`: the export is incomplete
    // (a warning box; /export ends with 1).
    void ExportBothWays(const std::string& exe, const std::string& message, bool warning, const Contents& expected) {
        {
            SCOPED_TRACE("window");
            ToolProcess tool;
            ASSERT_TRUE(tool.Launch(exe));
            HWND main = WaitForMainWindow(tool.id());
            ASSERT_NE(main, nullptr);
            const std::vector<std::string> lines = ListLines(GetDlgItem(main, IDC_LSTLOG));
            HWND dialog = OpenExportFolderDialog(tool.id(), main);
            ASSERT_NE(dialog, nullptr);
            ASSERT_TRUE(SelectFolder(dialog, target_));
            ASSERT_TRUE(AnswerMessageBox(dialog, IDOK));
            HWND box = WaitForMessageBox(tool.id(), 120000);
            ASSERT_NE(box, nullptr);
            EXPECT_EQ(MessageBoxText(box), WithOpenQuestion(WithArchiveLine(message, Archive()), true));
            ASSERT_TRUE(AnswerMessageBox(box, IDNO));
            Contents exported = ContentsOf(SnapshotTree(target_ + "\\VTX Umgebung"));
            EXPECT_EQ(exported["VTX.log"], LogBytes(lines));
            exported.erase("VTX.log");
            EXPECT_TRUE(TakeSystemProfile(exported).has_value());
            EXPECT_TRUE(KeepArchive(Archive(), "places-window"));
            EXPECT_EQ(exported, expected) << "exported:\n" << Listing(exported) << "expected:\n" << Listing(expected);
            tool.Close();
            RemoveTree(target_ + "\\VTX Umgebung");
        }
        {
            SCOPED_TRACE("/export");
            const ToolRun run = RunTool(exe, "/export \"" + target_ + "\"");
            EXPECT_EQ(run.exitCode, warning ? 1 : 0);
            EXPECT_EQ(run.output, ToAnsi(Archive()) + "\r\n");
            EXPECT_EQ(run.error, AsStandardError(WithArchiveLine(message, Archive())));
            Contents exported = ContentsOf(SnapshotTree(target_ + "\\VTX Umgebung"));
            EXPECT_EQ(exported.count("VTX.log"), 1u);
            exported.erase("VTX.log");
            EXPECT_TRUE(TakeSystemProfile(exported).has_value());
            EXPECT_TRUE(KeepArchive(Archive(), "places-command-line"));
            EXPECT_EQ(exported, expected) << "exported:\n" << Listing(exported);
        }
    }

    std::string Archive() const { return target_ + "\\VTX Umgebung.zip"; }

    TempFolder root_{"e2e-places"};
    std::string target_;
    SampleInstallation sample_;
};

// Removes a folder this test made, whatever happens to the test.
struct MadeFolder {
    std::string path;
    ~MadeFolder() { RemoveTree(path); }
};

TEST_F(ExportPlacesE2E, AToolInADriveRootOrProgramFilesToolsFolderTakesNeitherTheDriveNorAllPrograms) {
    ASSERT_NO_FATAL_FAILURE(MakeSample(root_ / "Velatrix-Tunes 6"));
    Contents dataOnly = Without(ExpectedExport(sample_, {}, sample_.skinName), "APP");
    dataOnly.erase("VTX.log");
    const std::string programs = KnownFolderPath(FOLDERID_ProgramFilesX86);
    ASSERT_FALSE(programs.empty());
    struct Case {
        std::string toolsFolder;
        std::string installDir;  // what start-up makes of it
        ProtectedFolder kind;
    };
    for (const Case& c : {Case{"C:\\Tools", "C:", ProtectedFolder::DriveRoot},
                          Case{programs + "\\Tools", programs, ProtectedFolder::ProgramFiles}}) {
        SCOPED_TRACE(c.toolsFolder);
        ASSERT_EQ(GetFileAttributesW(Widen(c.toolsFolder).c_str()), INVALID_FILE_ATTRIBUTES)
            << "left over from an earlier run";
        const MadeFolder tools{c.toolsFolder};
        const std::string exe = c.toolsFolder + "\\VTXDiagnostic.exe";
        ASSERT_TRUE(WriteFileBytes(exe, ""));
        ASSERT_TRUE(CopyFileW(Widen(sample_.installDir + "\\Tools\\VTXDiagnostic.exe").c_str(), Widen(exe).c_str(),
                              FALSE));
        const std::string message =
            IncompleteExportText({TreeNotTakenText(c.installDir, c.kind, true)}, true, 0, {});
        ExportBothWays(exe, message, true, dataOnly);
    }
}

TEST_F(ExportPlacesE2E, AnInstallationUnderProgramFilesIsExportedWithItsVirtualStore) {
    const std::string programs = KnownFolderPath(FOLDERID_ProgramFilesX86);
    const std::string install = programs + "\\Velatrix-Tunes 6";
    const std::string store = KnownFolderPath(FOLDERID_LocalAppData) + "\\VirtualStore" + programs.substr(2) +
                              "\\Velatrix-Tunes 6";
    ASSERT_NO_FATAL_FAILURE(MakeSample(install));
    const MadeFolder madeStore{store};
    ASSERT_TRUE(WriteFileBytes(install + "\\config.ini", "[Config]\r\nLautstaerke=50\r\n"));
    const Contents original = ExpectedExport(sample_, {}, sample_.skinName);
    // What the jukebox wrote and now reads: a changed config.ini, a new ini file
    // and a new file of another kind.
    ASSERT_TRUE(WriteFileBytes(store + "\\config.ini", "[Config]\r\nLautstaerke=80\r\n"));
    ASSERT_TRUE(WriteFileBytes(store + "\\Module\\Neu.ini", "[Neu]\r\nAktiv=1\r\n"));
    ASSERT_TRUE(WriteFileBytes(store + "\\Daten\\Wiedergabe.dat", "gespielt"));

    Contents expected = original;
    expected.erase("VTX.log");
    expected["APP\\config.ini"] = "[Config]\r\nLautstaerke=80\r\n";
    expected["APP\\Module\\Neu.ini"] = "[Neu]\r\nAktiv=1\r\n";
    expected["APP\\Daten"] = kFolder;
    expected["APP\\Daten\\Wiedergabe.dat"] = "";
    ExportBothWays(install + "\\Tools\\VTXDiagnostic.exe", kExportDoneText, false, expected);
    // The installation as the tool found it, for whoever uses it next.
    RemoveTree(store);
    ASSERT_NO_FATAL_FAILURE(MakeSample(install));
}

TEST_F(ExportPlacesE2E, ATreeWhoseExportPathsPassTheOldLimitArrivesWhole) {
    // Sources of about 250 characters; their destinations pass 300.
    std::string install = root_ / "Velatrix-Tunes 6";
    ASSERT_NO_FATAL_FAILURE(MakeSample(install));
    std::string deep = install + "\\Skins\\Sammlung";
    while (deep.size() < 230) deep += "\\Unterordner mit einem langen Namen";
    ASSERT_TRUE(WriteFileBytes(deep + "\\Tief.ini", "[Tief]\r\n"));
    ASSERT_TRUE(WriteFileBytes(deep + "\\Tief.jpg", "JPEG"));
    target_ = root_ / ("Fehlerbericht " + std::string(60, 'x'));
    ASSERT_TRUE(CreateDirectoryW(Widen(target_).c_str(), nullptr));
    const std::string relative = deep.substr(install.size() + 1);
    ASSERT_GT((target_ + "\\VTX Umgebung\\APP\\" + relative + "\\Tief.ini").size(), 300u);

    Contents expected = ExpectedExport(sample_, {}, sample_.skinName);
    expected.erase("VTX.log");
    EXPECT_EQ(expected.at("APP\\" + relative + "\\Tief.ini"), "[Tief]\r\n");
    EXPECT_EQ(expected.at("APP\\" + relative + "\\Tief.jpg"), "");
    ExportBothWays(install + "\\Tools\\VTXDiagnostic.exe", kExportDoneText, false, expected);
}

}  // namespace
}  // namespace vtx::testing
