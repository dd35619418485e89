// The report as a user sees it in the real window, on the sample installation.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <regex>

#include "app/control_ids.h"
#include "app/startup.h"
#include "common/files_win.h"
#include "common/unicode_win.h"
#include "e2e/context_menu_steps.h"
#include "e2e/driver_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/windows_world_win.h"
#include "version.h"

namespace vtx::testing {
namespace {

class ReportE2E : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleForThisMachine(root_ / "Velatrix-Tunes 6");
        std::string error;
        ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
    }

    // Starts the tool from `exe` and returns its list once the window shows.
    // Started outside a Tools folder the tool first warns ("Achtung!"); the box is
    // answered before the window is looked for.
    HWND StartAndFindList(ToolProcess& tool, const std::string& exe, bool warns = false) {
        if (!tool.Launch(exe)) return nullptr;
        if (warns) {
            HWND box = WaitForMessageBox(tool.id(), 30000);
            if (!box) return nullptr;
            AnswerMessageBox(box, IDOK);
        }
        HWND main = WaitForMainWindow(tool.id());
        return main ? GetDlgItem(main, IDC_LSTLOG) : nullptr;
    }

    TempFolder root_{"e2e-report"};
    SampleInstallation sample_;
};

// A runtime file the jukebox looks for in its system folder, there for the scope
// of one test (unless Windows had it already).
class SystemFolderFile {
public:
    explicit SystemFolderFile(const std::string& name) : path_(JukeboxSystemFolder() + "\\" + name) {
        if (!FileExists(path_)) made_ = WriteFileBytes(path_, "MZ");
    }
    SystemFolderFile(const SystemFolderFile&) = delete;
    SystemFolderFile& operator=(const SystemFolderFile&) = delete;
    ~SystemFolderFile() {
        if (made_) DeleteFileW(Widen(path_).c_str());
    }

private:
    std::string path_;
    bool made_ = false;
};

TEST_F(ReportE2E, TheWindowShowsTheFortyFiveLinesOfTheSampleInstallation) {
    // The jukebox's system folder is SysWOW64 on 64-bit Windows, System32 on
    // 32-bit Windows: a file placed there is found by either build.
    SystemFolderFile runtime("MSCMCDE.DLL");
    ToolProcess tool;
    HWND list = StartAndFindList(tool, sample_.installDir + "\\Tools\\VTXDiagnostic.exe");
    ASSERT_NE(list, nullptr);
    const std::vector<std::string> lines = ListLines(list);
    ASSERT_EQ(lines.size(), 45u);
    for (size_t i = 0; i < lines.size(); ++i) std::printf("  %2zu |%s|\n", i + 1, lines[i].c_str());

    EXPECT_TRUE(std::regex_match(lines[0], std::regex(".+ - .+"))) << lines[0];
    EXPECT_EQ(lines[2], "Allgemeine Infos:");
    EXPECT_TRUE(std::regex_match(lines[4], std::regex("RAM Total:        [0-9.,]+ (GB|MB)"))) << lines[4];
    EXPECT_TRUE(std::regex_match(lines[5], std::regex("RAM Frei:         [0-9.,]+ (GB|MB)"))) << lines[5];
    EXPECT_TRUE(std::regex_match(lines[6], std::regex("Prozessortakt:    [0-9]+ MHz"))) << lines[6];
    EXPECT_EQ(lines[8], "Betriebssystem:   Windows 7 (Service Pack 1)");
    EXPECT_TRUE(lines[9] == "Administrator:    Ja" || lines[9] == "Administrator:    Nein") << lines[9];
    EXPECT_EQ(lines[10], "Auflösung:        " + std::to_string(sample_.screenWidth) + " x " +
                             std::to_string(sample_.screenHeight));
    EXPECT_EQ(lines[12], "Versionen:");
    EXPECT_EQ(lines[13], "  Velatrix-Tunes: 6.02.00.15");
    EXPECT_EQ(lines[14], "  SetUp:          6.02.00.03");
    EXPECT_EQ(lines[15], "  Diagnostic:     " VTX_VERSION_TEXT);

    // Files: OK exactly where the file is, looked up from here.
    const auto files = MakeFileList(JukeboxSystemFolder(), sample_.installDir, sample_.skinName, sample_.screenWidth,
                                    sample_.screenHeight);
    EXPECT_EQ(lines[17], "Dateien:");
    for (size_t i = 0; i < files.size(); ++i) {
        const std::string name = files[i].substr(files[i].rfind('\\') + 1);
        EXPECT_EQ(lines[18 + i], "  " + name + std::string(24 - name.size(), ' ') + (FileExists(files[i]) ? " OK" : " XX"));
    }
    for (size_t i = 1; i <= 4; ++i) EXPECT_EQ(lines[18 + i].substr(26), " OK") << lines[18 + i];
    EXPECT_EQ(lines[24], "  MSCMCDE.DLL              OK");

    // Components: the sample registers two with their servers in place and one
    // whose server is missing.
    EXPECT_EQ(lines[27], "Registrierungen:");
    EXPECT_EQ(lines[28], "  MSCOMM32.OCX             REG");
    EXPECT_EQ(lines[31], "  TabCtl32.ocx             REG");
    EXPECT_EQ(lines[34], "  mswinsck.ocx             ---");

    EXPECT_EQ(lines[39], "Sonstiges:");
    EXPECT_EQ(lines[41], "Anzahl Werbung: 2");  // Werbung\Archiv is not counted
    EXPECT_EQ(lines[42], "Anzahl Cover:   3");
    EXPECT_EQ(lines[43], "Anzahl Verz.:   3");
    EXPECT_EQ(lines[44], "Anzahl Fav.:    3");  // CR LF, lone CR; a lone LF does not end a line

    // The list scrolls sideways exactly to its widest line.
    EXPECT_GT(SendMessageW(list, LB_GETHORIZONTALEXTENT, 0, 0), 10);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("report")));
    tool.Close();
}

TEST_F(ReportE2E, CtrlAltHAddsTheDebugSectionOnceAndForAll) {
    ToolProcess tool;
    HWND list = StartAndFindList(tool, sample_.installDir + "\\Tools\\VTXDiagnostic.exe");
    ASSERT_NE(list, nullptr);
    HWND main = GetParent(list);
    ASSERT_EQ(ListLines(list).size(), 45u);

    // Shift as well: nothing happens.
    PressKeys(main, {VK_CONTROL, VK_SHIFT, VK_MENU}, 'H');
    Sleep(1000);
    EXPECT_EQ(ListLines(list).size(), 45u);

    // With the focus on a button, then again: one report of 53 lines each time.
    SetFocus(GetDlgItem(main, IDC_CMDCREATERUNTIME));
    for (int press = 0; press < 2; ++press) {
        SendMessageW(list, LB_RESETCONTENT, 0, 0);
        PressKeys(main, {VK_CONTROL, VK_MENU}, 'H');
        ASSERT_TRUE(WaitUntil([&] { return ListLines(list).size() == 53; }, 30000)) << ListLines(list).size();
        const auto lines = ListLines(list);
        EXPECT_EQ(lines[45], "");
        EXPECT_EQ(lines[46], "Debug-Information:");
        for (int k = 1; k <= 6; ++k) {
            std::printf("  %s\n", lines[46 + k].c_str());
            EXPECT_TRUE(std::regex_match(lines[46 + k], std::regex("ID " + std::to_string(k) + ": [0-9A-Fa-f]*\\[[0124]\\]")))
                << lines[46 + k];
        }
        // SMART needs a real drive: Wine refuses, so IDs 1 and 2 are empty.
        EXPECT_EQ(lines[47], "ID 1: [1]");
        EXPECT_EQ(lines[48], "ID 2: [1]");
    }
    // Scrolled to the end, so the picture shows the debug section.
    SendMessageW(list, LB_SETTOPINDEX, 52, 0);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("report-debug")));
    tool.Close();
}

TEST_F(ReportE2E, CtrlCAndTheListsContextMenuCopyTheReport) {
    ToolProcess tool;
    HWND list = StartAndFindList(tool, sample_.installDir + "\\Tools\\VTXDiagnostic.exe");
    ASSERT_NE(list, nullptr);
    HWND main = GetParent(list);
    // The lines as they are on screen, separated by CR LF.
    const auto listText = [&] {
        std::string text;
        for (const std::string& line : ListLines(list)) text += (text.empty() ? "" : "\r\n") + line;
        return text;
    };
    const auto copied = [&] { return ClipboardUnicodeText().value_or("<no Unicode text>"); };
    const std::string expected = listText();
    ASSERT_EQ(std::count(expected.begin(), expected.end(), '\n'), 44);

    // Ctrl+C in the list.
    ASSERT_TRUE(ClearClipboard());
    PressKeys(main, {VK_CONTROL}, 'C');
    EXPECT_TRUE(WaitUntil([&] { return copied() == expected; }, 10000)) << copied();

    // The context menu, opened with the right mouse button and from the keyboard;
    // its first item ("Systemprofil kopieren" follows) is picked with the mouse and
    // with the keyboard.
    ASSERT_NO_FATAL_FAILURE(PickFromContextMenuEachWay(tool.id(), main, list, 0, 2, "context-menu", [&](HWND menu) {
        EXPECT_TRUE(WaitUntil([&] { return copied() == expected; }, 10000)) << copied();
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
    }));

    // The hidden key still works next to Ctrl+C, and Ctrl+C then copies its 53 lines.
    PressKeys(main, {VK_CONTROL, VK_MENU}, 'H');
    ASSERT_TRUE(WaitUntil([&] { return ListLines(list).size() == 53; }, 30000));
    ASSERT_TRUE(ClearClipboard());
    PressKeys(main, {VK_CONTROL}, 'C');
    EXPECT_TRUE(WaitUntil([&] { return copied() == listText(); }, 10000)) << copied();
    EXPECT_NE(copied().find("\r\nDebug-Information:\r\nID 1: "), std::string::npos);
    tool.Close();
}

TEST_F(ReportE2E, WithoutTheJukeboxNextToTheToolProgramsAndFilesAreMissing) {
    const std::string exe = root_ / "Downloads\\VTXDiagnostic.exe";
    WriteFileBytes(exe, "");
    ASSERT_TRUE(CopyFileW(Widen(BuildBinDir() + "\\VTXDiagnostic.exe").c_str(), Widen(exe).c_str(), FALSE));
    ToolProcess tool;
    HWND list = StartAndFindList(tool, exe, true);
    ASSERT_NE(list, nullptr);
    const auto lines = ListLines(list);
    ASSERT_EQ(lines.size(), 45u);
    EXPECT_EQ(lines[13], "  Velatrix-Tunes: ---");
    EXPECT_EQ(lines[14], "  SetUp:          ---");
    for (size_t i = 1; i <= 4; ++i) EXPECT_EQ(lines[18 + i].substr(26), " XX") << lines[18 + i];
    tool.Close();
}

}  // namespace
}  // namespace vtx::testing
