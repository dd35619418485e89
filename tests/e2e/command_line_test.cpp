// The command-line modes as a remote-support script runs them: the real exe with
// its standard output and error caught through pipes, on the sample installation;
// the report compared with what the window lists, the export with what the
// dialog export makes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/control_ids.h"
#include "app/startup.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "e2e/driver_console_win.h"
#include "e2e/driver_win.h"
#include "e2e/sample_tool_test.h"
#include "export/export_layout.h"
#include "fixtures/archive_keep_win.h"
#include "fixtures/expected_export_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/tree_snapshot_win.h"

namespace vtx::testing {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// The report without what changes from one run to the next: line 1 (date and
// time) goes, the value of "RAM Frei:" (line 6) becomes "<frei>" when it has the
// form of a memory size.
std::vector<std::string> Steady(const std::vector<std::string>& lines) {
    if (lines.empty()) return lines;
    std::vector<std::string> steady(lines.begin() + 1, lines.end());
    static const std::regex kFree("(RAM Frei:         )[0-9.,]+ (GB|MB)");
    if (steady.size() > 4) steady[4] = std::regex_replace(steady[4], kFree, "$1<frei>");
    return steady;
}

// A message as the tool writes it to a stream: every line ended by CR LF, ANSI.
std::string OnStream(std::string text) {
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 2)) text.insert(at, "\r");
    return ToAnsi(text) + "\r\n";
}

// A drive letter that names no drive on this machine.
std::string MissingDrive() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Z'; ++letter)
        if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":";
    return "";
}

class CommandLineE2E : public SampleToolTest {
protected:
    CommandLineE2E() : SampleToolTest("e2e-cmdline") {}

    // What the window lists on this installation right now.
    std::vector<std::string> WindowLines() {
        ToolProcess tool;
        if (!tool.Launch(exe_)) return {};
        HWND main = WaitForMainWindow(tool.id());
        if (!main) return {};
        std::vector<std::string> lines = ListLines(GetDlgItem(main, IDC_LSTLOG));
        tool.Close();
        return lines;
    }
};

TEST_F(CommandLineE2E, ReportGoesToStandardOutputOrAFileWithTheWindowsLines) {
    const std::vector<std::string> window = WindowLines();
    ASSERT_EQ(window.size(), 45u);

    // Standard output: the window's lines, ANSI with CR LF, and nothing else.
    const ToolRun printed = Run("/report");
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_EQ(printed.error, "");
    const std::vector<std::string> lines = AnsiLines(printed.output);
    ASSERT_EQ(lines.size(), 45u) << printed.output;
    EXPECT_TRUE(std::regex_match(lines[0], std::regex(".+ - .+"))) << lines[0];
    EXPECT_THAT(Steady(lines), ElementsAreArray(Steady(window)));
    EXPECT_THAT(printed.output, HasSubstr("\r\nAufl\xF6sung:        "));

    // A file, named relative to the folder the script runs in, replacing what was
    // there: the same bytes as VTX.log, nothing on the streams.
    const std::string file = root_ / "Bericht für Müller.txt";
    ASSERT_TRUE(WriteFileBytes(file, std::string(10000, 'x')));
    const ToolRun written = Run("-REPORT \"Bericht für Müller.txt\"", root_.path());
    EXPECT_EQ(written.exitCode, 0);
    EXPECT_EQ(written.output, "");
    EXPECT_EQ(written.error, "");
    const std::string bytes = ReadFileBytes(file);
    const std::vector<std::string> fileLines = AnsiLines(bytes);
    ASSERT_EQ(fileLines.size(), 45u) << bytes.substr(0, 200);
    EXPECT_THAT(Steady(fileLines), ElementsAreArray(Steady(window)));
    // ANSI, every line ended by CR LF, nothing else in the file.
    EXPECT_EQ(bytes, LogBytes(fileLines));
    EXPECT_THAT(bytes, HasSubstr("\r\nAufl\xF6sung:        "));
}

TEST_F(CommandLineE2E, WithoutRedirectionTheReportGoesToTheConsoleItWasStartedFrom) {
    if (HasConsole()) GTEST_SKIP() << "needs a test process without a console (run it through ctest)";
    const std::vector<std::string> window = WindowLines();
    ASSERT_EQ(window.size(), 45u);
    // Written as Unicode: "Auflösung" whatever the console's code page.
    const ConsoleRun run = RunToolInConsole(exe_, "/report");
    EXPECT_EQ(run.exitCode, 0);
    ASSERT_EQ(run.rows.size(), 45u);
    // The console keeps no trailing blanks: compare without them.
    std::vector<std::string> expected = Steady(window);
    for (std::string& line : expected) line.erase(line.find_last_not_of(' ') + 1);
    EXPECT_THAT(Steady(run.rows), ElementsAreArray(expected));

    const ConsoleRun wrong = RunToolInConsole(exe_, "/reprot");
    EXPECT_EQ(wrong.exitCode, 2);
    ASSERT_FALSE(wrong.rows.empty());
    EXPECT_EQ(wrong.rows[0], "Unbekannter Schalter: /reprot");
    EXPECT_THAT(wrong.rows, ::testing::Contains("  /debug  hängt die Debug-Information an den Bericht an."));
}

TEST_F(CommandLineE2E, WithNowhereToWriteAWrongLineIsShownInABox) {
    // Started from a link or by dropping a file on it: no streams, no console.
    ConsoleScope noConsole(false);
    if (!noConsole.ready()) GTEST_SKIP() << "needs a test process without a console (run it through ctest)";
    const StandardHandles none;
    ToolProcess tool;
    ASSERT_TRUE(tool.Launch(exe_, "\"C:\\Musik\\Lied 1.mp3\"", "", &none));
    HWND box = WaitForMessageBox(tool.id());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(WindowText(box), "VTX Diagnostic");
    EXPECT_THAT(MessageBoxText(box), StartsWith("Unerwartetes Argument: C:\\Musik\\Lied 1.mp3\r\n\r\nVTX Diagnostic "));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_EQ(tool.WaitForExit(10000), 2);

    // The report itself never asks anything: with nowhere to go it just fails.
    ToolProcess report;
    ASSERT_TRUE(report.Launch(exe_, "/report", "", &none));
    EXPECT_EQ(report.WaitForExit(60000), 1);
    EXPECT_FALSE(HasMessageBox(report.id()));
}

TEST_F(CommandLineE2E, DebugAddsTheDebugSectionToTheReportAndToVtxLog) {
    const ToolRun printed = Run("/report -Debug");
    EXPECT_EQ(printed.exitCode, 0);
    const std::vector<std::string> lines = AnsiLines(printed.output);
    ASSERT_EQ(lines.size(), 53u) << printed.output;
    EXPECT_EQ(lines[45], "");
    EXPECT_EQ(lines[46], "Debug-Information:");
    for (int k = 1; k <= 6; ++k)
        EXPECT_TRUE(std::regex_match(lines[46 + k], std::regex("ID " + std::to_string(k) + ": [0-9A-Fa-f]*\\[-?[0-9]+\\]")))
            << lines[46 + k];

    const ToolRun exported = Run("/debug /export \"" + root_.path() + "\"");
    EXPECT_EQ(exported.exitCode, 0) << exported.error;
    const std::vector<std::string> log = AnsiLines(ReadFileBytes(root_ / "VTX Umgebung\\VTX.log"));
    ASSERT_EQ(log.size(), 53u);
    EXPECT_THAT(Steady(log), ElementsAreArray(Steady(lines)));
}

TEST_F(CommandLineE2E, ExportMakesTheDialogsTreeWithoutAsking) {
    const std::vector<std::string> window = WindowLines();
    ASSERT_EQ(window.size(), 45u);
    // The folder need not exist yet; a trailing backslash is fine.
    const std::string target = root_ / "Support\\Jukebox 12";
    const ToolRun run = Run("/export \"" + target + "\\\\\"");
    EXPECT_EQ(run.exitCode, 0);
    // The archive's path for the script; the box's words on standard error.
    const std::string archive = target + "\\VTX Umgebung.zip";
    EXPECT_EQ(run.output, ToAnsi(archive) + "\r\n");
    EXPECT_EQ(run.error, OnStream(WithArchiveLine(kExportDoneText, archive)));
    EXPECT_TRUE(KeepArchive(archive, "command-line-export"));

    Contents exported = ContentsOf(SnapshotTree(target + "\\VTX Umgebung"));
    ASSERT_EQ(exported.count("VTX.log"), 1u) << Listing(exported);
    const auto profile = TakeSystemProfile(exported);
    ASSERT_TRUE(profile.has_value()) << Listing(exported);
    EXPECT_THAT(*profile, ::testing::Contains("Velatrix-Tunes läuft:       Nein"));
    const std::vector<std::string> log = AnsiLines(exported.at("VTX.log"));
    ASSERT_EQ(log.size(), 45u);
    EXPECT_THAT(Steady(log), ElementsAreArray(Steady(window)));
    const Contents expected = ExpectedExport(sample_, log, sample_.skinName);
    EXPECT_EQ(exported, expected) << "exported:\n" << Listing(exported) << "expected:\n" << Listing(expected);
}

TEST_F(CommandLineE2E, WorkThatFailsEndsWithOneAndSaysWhatFailed) {
    ASSERT_TRUE(WriteFileBytes(root_ / "Datei.txt", "keine Ablage"));
    const std::string drive = MissingDrive();
    ASSERT_NE(drive, "");
    struct Case {
        std::string arguments;
        std::string message;
    } cases[] = {
        // A file stands where the export folder should be.
        {"/export \"" + (root_ / "Datei.txt") + "\"",
         FolderNotCreatedText(root_ / "Datei.txt\\VTX Umgebung")},
        {"/export " + drive + "\\Support", FolderNotCreatedText(drive + "\\Support\\VTX Umgebung")},
        {"/report \"" + (root_ / "Fehlt\\Bericht.txt") + "\"",
         "Der Bericht konnte nicht in die Datei " + (root_ / "Fehlt\\Bericht.txt") + " geschrieben werden."},
        // A folder stands where the report file should be.
        {"/report \"" + root_.path() + "\"",
         "Der Bericht konnte nicht in die Datei " + root_.path() + " geschrieben werden."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(run.output, "");
        EXPECT_EQ(run.error, ToAnsi(c.message) + "\r\n");
    }
    EXPECT_EQ(ReadFileBytes(root_ / "Datei.txt"), "keine Ablage");
    EXPECT_FALSE(FileExists(root_ / "Fehlt\\Bericht.txt"));

    // An export with a file that cannot be copied is not a success either.
    const std::string ini = sample_.installDir + "\\Velatrix-Tunes.ini";
    FileHandle lock(CreateFileW(Widen(ini).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    const ToolRun partial = Run("/export \"" + root_.path() + "\"");
    EXPECT_EQ(partial.exitCode, 1);
    // The warning box's words, one line each; the archive holds what was exported.
    const std::string archive = root_ / "VTX Umgebung.zip";
    EXPECT_EQ(partial.error, OnStream(WithArchiveLine(FailedFilesText(1, {ini}), archive)));
    EXPECT_EQ(partial.output, ToAnsi(archive) + "\r\n");
    EXPECT_TRUE(KeepArchive(archive, "command-line-partial-export"));
}

TEST_F(CommandLineE2E, AnArchiveThatCannotBeWrittenEndsWithOneAndTheFolderStays) {
    // A folder where the archive belongs: kept as it is, the export made in full.
    const std::string target = root_ / "Support";
    const std::string archive = target + "\\VTX Umgebung.zip";
    ASSERT_TRUE(WriteFileBytes(archive + "\\Notiz.txt", "meins"));
    const ToolRun run = Run("/export \"" + target + "\"");
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(run.output, "");
    const std::string folder = target + "\\VTX Umgebung";
    EXPECT_EQ(run.error, OnStream(WithArchiveFailure(kExportDoneText, archive, folder,
                                                     "an seiner Stelle steht ein Verzeichnis gleichen Namens")));
    Contents exported = ContentsOf(SnapshotTree(folder));
    ASSERT_EQ(exported.count("VTX.log"), 1u) << Listing(exported);
    EXPECT_TRUE(TakeSystemProfile(exported).has_value());
    EXPECT_EQ(exported, ExpectedExport(sample_, AnsiLines(exported.at("VTX.log")), sample_.skinName)) << Listing(exported);
    EXPECT_EQ(ReadFileBytes(archive + "\\Notiz.txt"), "meins");
    // Nothing else beside them: no temporary file.
    std::vector<std::string> names;
    for (const auto& [path, entry] : SnapshotNames(target))
        if (path.find('\\') == std::string::npos) names.push_back(path);
    EXPECT_THAT(names, ElementsAreArray({"VTX Umgebung", "VTX Umgebung.zip"}));
}

TEST_F(CommandLineE2E, BadArgumentsEndWithTwoAndTheUsage) {
    const std::string usage = ToAnsi(UsageText());
    struct Case {
        const char* arguments;
        const char* error;
    } cases[] = {
        {"/reprot", "Unbekannter Schalter: /reprot"},
        {"/export", "Nach /export fehlt der Ordner."},
        {"/report a.txt b.txt", "Unerwartetes Argument: b.txt"},
        {"/debug", "/debug gilt nur zusammen mit /report oder /export."},
        {"/report /export C:\\Ziel", "/report und /export lassen sich nicht zusammen angeben."},
        {"/export \"C:\\Ziel\\\" /debug", "Ungültiges Zeichen im Pfad: C:\\Ziel\" /debug "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun run = Run(c.arguments);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_EQ(run.output, "");
        EXPECT_THAT(run.error, StartsWith(ToAnsi(c.error)));
        EXPECT_THAT(run.error, ::testing::EndsWith("\r\n\r\n" + usage));
    }
    for (const char* help : {"/?", "-?"}) {
        const ToolRun run = Run(help);
        EXPECT_EQ(run.exitCode, 0) << help;
        EXPECT_EQ(run.output, usage) << help;
        EXPECT_EQ(run.error, "") << help;
    }
}

TEST_F(CommandLineE2E, OutsideAToolsFolderTheWarningGoesToStandardError) {
    const std::string exe = root_ / "Downloads\\VTXDiagnostic.exe";
    ASSERT_TRUE(WriteFileBytes(exe, ""));
    ASSERT_TRUE(CopyFileW(Widen(exe_).c_str(), Widen(exe).c_str(), FALSE));
    // No box: a box would keep the program from ending.
    const ToolRun run = RunTool(exe, "/report", "", 60000);
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.error, ToAnsi(std::string(kAchtungTitle) + " " + kNotInToolsText) + "\r\n");
    const std::vector<std::string> lines = AnsiLines(run.output);
    ASSERT_EQ(lines.size(), 45u);
    EXPECT_EQ(lines[13], "  Velatrix-Tunes: ---");
}

}  // namespace
}  // namespace vtx::testing
