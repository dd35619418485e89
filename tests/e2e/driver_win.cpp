#include "e2e/driver_win.h"

#include <algorithm>

#include "app/control_ids.h"
#include "common/unicode_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx::testing {
namespace {

struct FindRequest {
    DWORD pid;
    const std::wstring* className;
    bool mustBeVisible;
    HWND found;
};

BOOL CALLBACK FindWindowOf(HWND window, LPARAM param) {
    auto* request = reinterpret_cast<FindRequest*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != request->pid) return TRUE;
    if (request->mustBeVisible && !IsWindowVisible(window)) return TRUE;
    if (!request->className->empty()) {
        wchar_t name[256] = {};
        GetClassNameW(window, name, 256);
        if (*request->className != name) return TRUE;
    }
    request->found = window;
    return FALSE;
}

HWND FindNow(DWORD pid, const std::wstring& className, bool mustBeVisible) {
    FindRequest request{pid, &className, mustBeVisible, nullptr};
    EnumWindows(&FindWindowOf, reinterpret_cast<LPARAM>(&request));
    return request.found;
}

}  // namespace

ToolProcess::~ToolProcess() {
    if (Running()) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

bool ToolProcess::Launch(const std::string& exe, const std::string& arguments, const std::string& folder,
                         const StandardHandles* standard) {
    std::wstring commandLine = L"\"" + Widen(exe) + L"\"";
    if (!arguments.empty()) commandLine += L" " + Widen(arguments);
    const std::wstring workingFolder = Widen(folder.empty() ? exe.substr(0, exe.rfind('\\')) : folder);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (standard) {
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = standard->input;
        startup.hStdOutput = standard->output;
        startup.hStdError = standard->error;
    }
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, standard ? TRUE : FALSE, 0, nullptr,
                        workingFolder.c_str(), &startup, &info))
        return false;
    CloseHandle(info.hThread);
    process_.reset(info.hProcess);
    id_ = info.dwProcessId;
    return true;
}

bool ToolProcess::Running() const {
    return process_ && WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT;
}

int ToolProcess::WaitForExit(DWORD timeoutMs) {
    if (!process_) return -1;
    if (WaitForSingleObject(process_.get(), timeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    GetExitCodeProcess(process_.get(), &code);
    return static_cast<int>(code);
}

void ToolProcess::Close(DWORD timeoutMs) {
    if (!Running()) return;
    if (HWND main = FindNow(id_, VTX_MAIN_CLASS, false)) PostMessageW(main, WM_CLOSE, 0, 0);
    if (WaitForExit(timeoutMs) == -1 && Running()) {
        TerminateProcess(process_.get(), 99);
        WaitForSingleObject(process_.get(), 5000);
    }
}

HWND WaitForWindow(DWORD pid, const std::wstring& className, bool mustBeVisible, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindNow(pid, className, mustBeVisible)) != nullptr; }, timeoutMs);
    return found;
}

HWND WaitForMainWindow(DWORD pid, DWORD timeoutMs) { return WaitForWindow(pid, VTX_MAIN_CLASS, true, timeoutMs); }

HWND WaitForMessageBox(DWORD pid, DWORD timeoutMs) { return WaitForWindow(pid, L"#32770", true, timeoutMs); }

bool HasMessageBox(DWORD pid) { return FindNow(pid, L"#32770", true) != nullptr; }

std::string WindowText(HWND window) {
    const LRESULT length = SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::wstring text(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
    SendMessageW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return Narrow(std::wstring_view(text.c_str()));
}

std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

bool AnswerMessageBox(HWND box, int button, DWORD timeoutMs) {
    HWND control = GetDlgItem(box, button);
    if (!control) return false;
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), reinterpret_cast<LPARAM>(control));
    return WaitUntil([&] { return !IsWindow(box); }, timeoutMs);
}

void PostClick(HWND button) { PostMessageW(button, BM_CLICK, 0, 0); }

void PressKeys(HWND window, std::initializer_list<WORD> modifiers, WORD key) {
    SetForegroundWindow(window);
    std::vector<INPUT> inputs;
    const auto add = [&](WORD vk, bool up) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = vk;
        input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
        inputs.push_back(input);
    };
    for (WORD m : modifiers) add(m, false);
    add(key, false);
    add(key, true);
    for (auto m = std::rbegin(modifiers); m != std::rend(modifiers); ++m) add(*m, true);
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

std::vector<std::string> ListLines(HWND list) {
    std::vector<std::string> lines;
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        std::wstring line(static_cast<size_t>(length > 0 ? length : 0) + 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        lines.push_back(Narrow(std::wstring_view(line.c_str())));
    }
    return lines;
}

void Click(HWND window, POINT clientPoint, bool rightButton) {
    ClientToScreen(window, &clientPoint);
    SetCursorPos(clientPoint.x, clientPoint.y);
    // Every event carries the position, so the buttons cannot land where the
    // pointer was before.
    const int width = std::max(1, GetSystemMetrics(SM_CXSCREEN) - 1);
    const int height = std::max(1, GetSystemMetrics(SM_CYSCREEN) - 1);
    INPUT inputs[3]{};
    const DWORD down = rightButton ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    const DWORD up = rightButton ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    const DWORD flags[3] = {0, down, up};
    for (int i = 0; i < 3; ++i) {
        inputs[i].type = INPUT_MOUSE;
        inputs[i].mi.dx = clientPoint.x * 65535 / width;
        inputs[i].mi.dy = clientPoint.y * 65535 / height;
        inputs[i].mi.dwFlags = flags[i] | MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    }
    SendInput(3, inputs, sizeof(INPUT));
}

HWND WaitForPopupMenu(DWORD pid, DWORD timeoutMs) { return WaitForWindow(pid, L"#32768", true, timeoutMs); }

bool ClearClipboard() {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5000)) return false;
    const bool emptied = EmptyClipboard();
    CloseClipboard();
    return emptied;
}

std::optional<std::string> ClipboardUnicodeText() {
    if (!WaitUntil([] { return OpenClipboard(nullptr) != FALSE; }, 5000)) return std::nullopt;
    std::optional<std::string> text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* wide = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = NarrowBuffer(wide, GlobalSize(data) / sizeof(wchar_t));
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

SIZE ClientSize(HWND window) {
    RECT rect{};
    GetClientRect(window, &rect);
    return {rect.right - rect.left, rect.bottom - rect.top};
}

bool SaveScreenshot(const std::string& bmpPath) {
    const int width = 800, height = 600;
    WindowDc screen(nullptr, GetDC(nullptr));
    if (!screen) return false;
    HDC memory = CreateCompatibleDC(screen.get());
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    GdiObject bitmap(CreateDIBSection(screen.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    bool ok = false;
    if (bitmap && bits) {
        {
            SelectedObject selected(memory, bitmap.get());
            ok = BitBlt(memory, 0, 0, width, height, screen.get(), 0, 0, SRCCOPY);
        }
        GdiFlush();
        const DWORD stride = ((width * 3 + 3) / 4) * 4;
        const DWORD imageSize = stride * height;
        BITMAPFILEHEADER file{};
        file.bfType = 0x4D42;
        file.bfOffBits = sizeof file + sizeof info.bmiHeader;
        file.bfSize = file.bfOffBits + imageSize;
        info.bmiHeader.biSizeImage = imageSize;
        std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
        bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
        bytes.append(static_cast<const char*>(bits), imageSize);
        ok = ok && WriteFileBytes(bmpPath, bytes);
    }
    DeleteDC(memory);
    return ok;
}

std::string ScreenshotPath(const std::string& name) {
    // The test command names a folder per Windows world the tests run in.
    wchar_t folder[MAX_PATH];
    const DWORD length = GetEnvironmentVariableW(L"VTX_SCREENSHOTS", folder, MAX_PATH);
    if (length > 0 && length < MAX_PATH) return Narrow(folder) + "\\" + name + ".bmp";
    const std::string bin = BuildBinDir();
    return bin.substr(0, bin.rfind('\\')) + "\\screenshots\\" + name + ".bmp";
}

}  // namespace vtx::testing
