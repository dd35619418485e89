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
#include "e2e/sample_tool_test.h"
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

// Wine's own per-program form of WINEDLLOVERRIDES: the DLLs one program, known by
// its file name, loads otherwise. WINEDLLOVERRIDES itself cannot be set for a
// single child from here: Wine takes it from the Unix environment at every
// process start, whatever the Windows environment handed down says.
constexpr wchar_t kToolOverrides[] = L"Software\\Wine\\AppDefaults\\VTXDiagnostic.exe\\DllOverrides";

// For its lifetime the system's WMI locator (system32\wbem\wbemprox.dll, where
// the registry's InprocServer32 names it) is the hanging provider, and the tool
// loads it as native ("wbemprox=n" for VTXDiagnostic.exe only). The system's own file is put
// back afterwards, also when a test fails; one left aside by a run that died is
// put back first. Where the prefix has no such file (Wine's own serves all the
// same), the provider is removed again instead.
class HangingWmiProvider {
public:
    HangingWmiProvider()
        : folder_(SystemFolder() + L"\\wbem"), target_(folder_ + L"\\wbemprox.dll"), saved_(target_ + L".vtx-saved") {
        if (Exists(saved_)) MoveFileExW(saved_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING);
        if (Exists(target_)) {
            moved_ = MoveFileExW(target_.c_str(), saved_.c_str(), 0) != FALSE;
            if (!moved_) return;
        } else {
            madeFolder_ = !Exists(folder_) && CreateDirectoryW(folder_.c_str(), nullptr);
        }
        const std::wstring provider = Widen(FixtureProgramsDir() + "\\hanging_wmi.dll");
        placed_ = CopyFileW(provider.c_str(), target_.c_str(), FALSE) != FALSE;
        HKEY key = nullptr;
        DWORD disposition = 0;
        if (RegCreateKeyExW(HKEY_CURRENT_USER, kToolOverrides, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key,
                            &disposition) == ERROR_SUCCESS) {
            madeKey_ = disposition == REG_CREATED_NEW_KEY;
            static const wchar_t kNative[] = L"native";
            overridden_ = RegSetValueExW(key, L"wbemprox", 0, REG_SZ, reinterpret_cast<const BYTE*>(kNative),
                                         sizeof kNative) == ERROR_SUCCESS;
            RegCloseKey(key);
        }
    }
    HangingWmiProvider(const HangingWmiProvider&) = delete;
    HangingWmiProvider& operator=(const HangingWmiProvider&) = delete;
    ~HangingWmiProvider() {
        RegDeleteKeyValueW(HKEY_CURRENT_USER, kToolOverrides, L"wbemprox");
        if (madeKey_) RegDeleteKeyW(HKEY_CURRENT_USER, kToolOverrides);
        // A tool that has just ended may still hold the file for a moment.
        const bool restored = WaitUntil(
            [&] {
                if (moved_) return MoveFileExW(saved_.c_str(), target_.c_str(), MOVEFILE_REPLACE_EXISTING) != FALSE;
                return !placed_ || DeleteFileW(target_.c_str()) != FALSE || !Exists(target_);
            },
            5000);
        if (!restored) ADD_FAILURE() << "the system's WMI locator could not be put back: " << Narrow(target_);
        if (madeFolder_) RemoveDirectoryW(folder_.c_str());
    }
    bool ready() const { return placed_ && overridden_; }

private:
    static bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::wstring folder_, target_, saved_;
    bool madeKey_ = false;
    bool overridden_ = false;
    bool moved_ = false;
    bool madeFolder_ = false;
    bool placed_ = false;
};

class HangingWmiE2E : public SampleToolTest {
protected:
    HangingWmiE2E() : SampleToolTest("e2e-hanging-wmi") {}
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
