// The real program under Wine: where it looks for the jukebox, the warning when it
// is not in a Tools folder, and the main window a user sees.
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "app/layout.h"
#include "app/startup.h"
#include "common/unicode_win.h"
#include "e2e/driver_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx::testing {
namespace {

class StartupE2E : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleForThisMachine(root_ / "Velatrix-Tunes 6");
        std::string error;
        ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
    }

    // A copy of the tool in <root>\<folder>\VTXDiagnostic.exe.
    std::string PlaceTool(const std::string& folder) {
        const std::string exe = root_ / (folder + "\\VTXDiagnostic.exe");
        WriteFileBytes(exe, "");
        EXPECT_TRUE(CopyFileW(Widen(BuildBinDir() + "\\VTXDiagnostic.exe").c_str(), Widen(exe).c_str(), FALSE));
        return exe;
    }

    TempFolder root_{"e2e-startup"};
    SampleInstallation sample_;
};

TEST_F(StartupE2E, FromTheToolsFolderShowsTheMainWindowWithoutWarning) {
    ToolProcess tool;
    ASSERT_TRUE(tool.Launch(sample_.installDir + "\\Tools\\VTXDiagnostic.exe"));
    HWND main = WaitForMainWindow(tool.id());
    ASSERT_NE(main, nullptr);
    EXPECT_FALSE(HasMessageBox(tool.id()));
    EXPECT_EQ(WindowText(main), "VTX Diagnostic");

    // Every control with its caption; the sound buttons wait for a chosen file.
    for (const ControlLayout& layout : kMainControls) {
        HWND control = GetDlgItem(main, layout.id);
        ASSERT_NE(control, nullptr) << layout.id;
        if (layout.kind != ControlKind::ListBox) {
            EXPECT_EQ(WindowText(control), layout.caption);
        }
        EXPECT_EQ(IsWindowEnabled(control) != FALSE, layout.enabled) << layout.caption;
    }
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_CMDPLAY)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(main, IDC_CMDSTOP)));

    // Fixed single border without maximise box; client area 4335 x 5400 twips.
    const LONG style = GetWindowLongW(main, GWL_STYLE);
    EXPECT_FALSE(style & WS_MAXIMIZEBOX);
    EXPECT_FALSE(style & WS_THICKFRAME);
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
    ReleaseDC(nullptr, screen);
    const SIZE client = ClientSize(main);
    EXPECT_EQ(client.cx, TwipsToPixels(4335, dpi));
    EXPECT_EQ(client.cy, TwipsToPixels(5400, dpi));

    // Centred on the screen.
    RECT window{};
    GetWindowRect(main, &window);
    EXPECT_NEAR((window.left + window.right) / 2, GetSystemMetrics(SM_CXSCREEN) / 2, 2);

    Sleep(500);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("main-window")));
    tool.Close();
    EXPECT_EQ(tool.WaitForExit(10000), 0);
}

TEST_F(StartupE2E, OutsideAToolsFolderWarnsFirstThenShowsTheWindow) {
    // "tools" in lower case and a name merely ending in Tools do not count.
    for (const char* folder : {"Velatrix-Tunes 6\\Programme", "Kopie\\tools", "Velatrix-Tunes 6\\MyTools"}) {
        SCOPED_TRACE(folder);
        ToolProcess tool;
        ASSERT_TRUE(tool.Launch(PlaceTool(folder)));
        HWND box = WaitForMessageBox(tool.id());
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(WindowText(box), kAchtungTitle);
        EXPECT_EQ(MessageBoxText(box), kNotInToolsText);
        EXPECT_NE(GetDlgItem(box, IDOK), nullptr);
        EXPECT_EQ(GetDlgItem(box, IDCANCEL), nullptr);
        // The main window stays hidden until start-up has finished.
        EXPECT_EQ(WaitForWindow(tool.id(), VTX_MAIN_CLASS, true, 0), nullptr);

        ASSERT_TRUE(AnswerMessageBox(box, IDOK));
        HWND main = WaitForMainWindow(tool.id());
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(WindowText(GetDlgItem(main, IDC_CMDCREATERUNTIME)), "Fehlerbericht erstellen");
        tool.Close();
        EXPECT_EQ(tool.WaitForExit(10000), 0);
    }
}

}  // namespace
}  // namespace vtx::testing
