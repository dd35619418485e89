// A sick machine: WMI never answers. A test provider whose class factory never
// returns stands in for the system's wbemprox.dll, loaded as native by the tool's
// process only. The tool must still give its report in time, without memory and
// clock and without the WMI disk, and its window must work and close.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "common/unicode_win.h"
#include "e2e/driver_console_win.h"
#include "e2e/driver_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx::testing {
namespace {

// What the tool must stay within, every such probe hanging: from its start to
// the end of /report, to the window, to the end of the debug rebuild.
constexpr DWORD kWithinMs = 15000;

std::wstring SystemFolder() {
    // The test process has the bitness of the tool it tests, so its system folder
    // (on WoW64 the 32-bit one, through the redirection) is where the tool loads
    // its DLLs from.
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    return std::wstring(folder, length < MAX_PATH ? length : 0);
}

std::wstring EnvironmentValue(const wchar_t* name, bool& present) {
    const DWORD size = GetEnvironmentVariableW(name, nullptr, 0);
    present = size > 0;
    if (!present) return {};
    std::wstring value(size, L'\0');
    value.resize(GetEnvironmentVariableW(name, value.data(), size));
    return value;
}

// For its lifetime the system's wbemprox.dll is the hanging provider, and the
// programs this process starts load it as native. The system's own file is put
// back afterwards, also when a test fails; one left aside by a run that died is
// put back first.
class HangingWmiProvider {
public:
    HangingWmiProvider()
        : target_(SystemFolder() + L"\\wbemprox.dll"), saved_(target_ + L".vtx-saved") {
        if (GetFileAttributesW(saved_.c_str()) != INVALID_FILE_ATTRIBUTES)
            MoveFileExW(saved_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING);
        moved_ = MoveFileExW(target_.c_str(), saved_.c_str(), 0) != FALSE;
        const std::wstring provider = Widen(FixtureProgramsDir() + "\\hanging_wmi.dll");
        ready_ = moved_ && CopyFileW(provider.c_str(), target_.c_str(), FALSE) != FALSE;
        overrides_ = EnvironmentValue(L"WINEDLLOVERRIDES", hadOverrides_);
        const std::wstring withProvider = (hadOverrides_ ? overrides_ + L";" : L"") + L"wbemprox=n";
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", withProvider.c_str());
    }
    HangingWmiProvider(const HangingWmiProvider&) = delete;
    HangingWmiProvider& operator=(const HangingWmiProvider&) = delete;
    ~HangingWmiProvider() {
        SetEnvironmentVariableW(L"WINEDLLOVERRIDES", hadOverrides_ ? overrides_.c_str() : nullptr);
        if (!moved_) return;
        // A tool that has just ended may still hold the file for a moment.
        for (int attempt = 0; attempt < 50; ++attempt) {
            if (MoveFileExW(saved_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING)) return;
            Sleep(100);
        }
        ADD_FAILURE() << "the system's wbemprox.dll could not be put back from " << Narrow(saved_);
    }
    bool ready() const { return ready_; }

private:
    std::wstring target_, saved_, overrides_;
    bool hadOverrides_ = false;
    bool moved_ = false;
    bool ready_ = false;
};

class HangingWmiE2E : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleForThisMachine(root_ / "Velatrix-Tunes 6");
        std::string error;
        ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
        exe_ = sample_.installDir + "\\Tools\\VTXDiagnostic.exe";
    }

    TempFolder root_{"e2e-hanging-wmi"};
    SampleInstallation sample_;
    std::string exe_;
};

// The lines a hanging WMI changes: memory and clock are empty, the WMI disk (IDs
// 3 and 4) failed with status 4. Every other line is the healthy machine's (but
// the time in line 1).
std::vector<std::string> WithHangingWmi(std::vector<std::string> lines) {
    if (lines.size() < 45) return lines;
    lines[0] = "<date - time>";
    lines[4] = "RAM Total:        ";
    lines[5] = "RAM Frei:         ";
    lines[6] = "Prozessortakt:     MHz";
    if (lines.size() == 53) {
        lines[49] = "ID 3: [4]";
        lines[50] = "ID 4: [4]";
    }
    return lines;
}

std::vector<std::string> WithoutTime(std::vector<std::string> lines) {
    if (!lines.empty()) lines[0] = "<date - time>";
    return lines;
}

TEST_F(HangingWmiE2E, ReportEndsInTimeWithoutMemoryClockAndTheWmiDisk) {
    for (const char* arguments : {"/report", "/report /debug"}) {
        SCOPED_TRACE(arguments);
        const ToolRun healthy = RunTool(exe_, arguments);
        ASSERT_EQ(healthy.exitCode, 0) << healthy.error;
        const std::vector<std::string> healthyLines = AnsiLines(healthy.output);

        HangingWmiProvider provider;
        ASSERT_TRUE(provider.ready());
        const ULONGLONG start = GetTickCount64();
        const ToolRun sick = RunTool(exe_, arguments, "", kWithinMs);
        const ULONGLONG took = GetTickCount64() - start;
        std::printf("  %s with a hanging WMI: ended after %llu ms\n", arguments, took);
        ASSERT_EQ(sick.exitCode, 0) << "not ended within " << kWithinMs << " ms; " << sick.error;
        EXPECT_EQ(sick.error, "");
        const std::vector<std::string> lines = AnsiLines(sick.output);
        ASSERT_EQ(lines.size(), healthyLines.size());
        EXPECT_EQ(lines.size(), std::string(arguments) == "/report" ? 45u : 53u);
        EXPECT_EQ(lines[4], "RAM Total:        ");
        EXPECT_EQ(lines[5], "RAM Frei:         ");
        EXPECT_EQ(lines[6], "Prozessortakt:     MHz");
        EXPECT_EQ(WithoutTime(lines), WithHangingWmi(healthyLines));
    }
}

TEST_F(HangingWmiE2E, TheWindowAppearsTheHiddenKeyWorksAndClosingEndsTheTool) {
    HangingWmiProvider provider;
    ASSERT_TRUE(provider.ready());
    ToolProcess tool;
    const ULONGLONG start = GetTickCount64();
    ASSERT_TRUE(tool.Launch(exe_));
    HWND main = WaitForMainWindow(tool.id(), kWithinMs);
    std::printf("  the window with a hanging WMI: after %llu ms\n", GetTickCount64() - start);
    ASSERT_NE(main, nullptr) << "no window within " << kWithinMs << " ms";
    HWND list = GetDlgItem(main, IDC_LSTLOG);
    std::vector<std::string> lines = ListLines(list);
    ASSERT_EQ(lines.size(), 45u);
    EXPECT_EQ(lines[4], "RAM Total:        ");
    EXPECT_EQ(lines[5], "RAM Frei:         ");
    EXPECT_EQ(lines[6], "Prozessortakt:     MHz");
    EXPECT_EQ(lines[8], "Betriebssystem:   Windows 7 (Service Pack 1)");

    // Ctrl+Alt+H: the wait window stands over the main window while the probes
    // hang, and both keep being drawn; then the debug section, the WMI disk failed.
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const ULONGLONG pressed = GetTickCount64();
    PressKeys(main, {VK_CONTROL, VK_MENU}, 'H');
    HWND wait = WaitForWindow(tool.id(), VTX_WAIT_CLASS, true, 5000);
    EXPECT_NE(wait, nullptr);
    Sleep(1000);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("hanging-wmi-wait")));
    ASSERT_TRUE(WaitUntil([&] { return ListLines(list).size() == 53; }, kWithinMs)) << ListLines(list).size();
    std::printf("  the debug rebuild with a hanging WMI: %llu ms\n", GetTickCount64() - pressed);
    lines = ListLines(list);
    EXPECT_EQ(lines[4], "RAM Total:        ");
    EXPECT_EQ(lines[46], "Debug-Information:");
    EXPECT_EQ(lines[47], "ID 1: [1]");
    EXPECT_EQ(lines[48], "ID 2: [1]");
    EXPECT_EQ(lines[49], "ID 3: [4]");
    EXPECT_EQ(lines[50], "ID 4: [4]");
    EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(wait); }, 5000));
    SendMessageW(list, LB_SETTOPINDEX, 52, 0);
    Sleep(300);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("hanging-wmi-debug")));

    // Closed while a rebuild waits for the hanging probes: the report is finished,
    // then the tool ends, leaving its late workers behind.
    PressKeys(main, {VK_CONTROL, VK_MENU}, 'H');
    ASSERT_NE(WaitForWindow(tool.id(), VTX_WAIT_CLASS, true, 5000), nullptr);
    PostMessageW(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool.WaitForExit(kWithinMs), 0) << "the tool did not end by itself";
}

}  // namespace
}  // namespace vtx::testing
