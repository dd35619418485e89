// Drives the real VTXDiagnostic.exe from a second process: starts it, finds its
// windows and message boxes, reads and clicks controls, takes screenshots.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <optional>
#include <string>
#include <vector>

#include "common/handles_win.h"

namespace vtx::testing {

struct StandardHandles {
    HANDLE input = nullptr;
    HANDLE output = nullptr;
    HANDLE error = nullptr;
};

class ToolProcess {
public:
    ToolProcess() = default;
    ToolProcess(ToolProcess&&) = default;
    ToolProcess& operator=(ToolProcess&&) = default;
    // Ends the program if it still runs.
    ~ToolProcess();

    // Starts `exe` (UTF-8 path) with `arguments`, in `folder` ("" = the exe's own
    // folder). With `standard`, the program inherits these as its standard input,
    // output and error.
    bool Launch(const std::string& exe, const std::string& arguments = "", const std::string& folder = "",
                const StandardHandles* standard = nullptr);
    DWORD id() const { return id_; }
    bool Running() const;
    // Waits for the program to end; its exit code, or -1 on time-out.
    int WaitForExit(DWORD timeoutMs);
    // Asks the main window to close and waits for the end; kills on time-out.
    void Close(DWORD timeoutMs = 20000);

private:
    KernelHandle process_;
    DWORD id_ = 0;
};

// Memory in another process, released when the owner goes: where a request's
// text must lie for a window of that process to read or fill it.
class RemoteMemory {
public:
    RemoteMemory(HANDLE process, size_t size)
        : process_(process), address_(VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)) {}
    RemoteMemory(const RemoteMemory&) = delete;
    RemoteMemory& operator=(const RemoteMemory&) = delete;
    ~RemoteMemory() {
        if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    }
    void* get() const { return address_; }

private:
    HANDLE process_;
    void* address_;
};

// A top-level window of process `pid` with this class ("" = any) that is visible
// (when asked); nullptr after the time-out.
HWND WaitForWindow(DWORD pid, const std::wstring& className, bool mustBeVisible, DWORD timeoutMs);
// The main window of the tool, once visible.
HWND WaitForMainWindow(DWORD pid, DWORD timeoutMs = 30000);
// A message box (#32770) of the process; nullptr after the time-out.
HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs = 30000);
// True when a message box of the process is open now.
bool HasMessageBox(DWORD pid);

std::string WindowText(HWND window);
// The text of a message box (its static with id 0xFFFF).
std::string MessageBoxText(HWND box);
// Presses a button of a message box (IDOK, IDYES, IDNO) and waits until it closes.
bool AnswerMessageBox(HWND box, int button, DWORD timeoutMs = 10000);
// Clicks a button without waiting for what it opens.
void PostClick(HWND button);
// Brings `window` to the front and types `key` with `modifiers` held, as real
// input (posted key messages would not set the modifier state).
void PressKeys(HWND window, std::initializer_list<WORD> modifiers, WORD key);
// The lines of a list box, read across processes.
std::vector<std::string> ListLines(HWND list);
// Moves the mouse to `clientPoint` of `window` and clicks the left or right button.
void Click(HWND window, POINT clientPoint, bool rightButton = false);
// A visible popup menu (#32768) of the process; nullptr after the time-out.
HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs = 10000);

// Empties the clipboard; the Unicode text on it (nullopt when it holds none).
bool ClearClipboard();
std::optional<std::string> ClipboardUnicodeText();

// The client rectangle size of a window.
SIZE ClientSize(HWND window);
// Waits (processing nothing) until `predicate` holds or the time runs out.
template <typename Predicate>
bool WaitUntil(Predicate predicate, DWORD timeoutMs) {
    const ULONGLONG end = GetTickCount64() + timeoutMs;
    for (;;) {
        if (predicate()) return true;
        if (GetTickCount64() > end) return false;
        Sleep(50);
    }
}

// Saves the visible desktop (800x600 virtual desktop) as a 24-bit BMP file.
bool SaveScreenshot(const std::string& bmpPath);
// <folder>\<name>.bmp, the folder named by VTX_SCREENSHOTS (the test command sets
// one per Windows world and turns the pictures into PNG), else the build's
// screenshots folder.
std::string ScreenshotPath(const std::string& name);

}  // namespace vtx::testing
