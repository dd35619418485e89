#include "e2e/driver_file_win.h"

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "e2e/driver_win.h"

namespace vtx::testing {
namespace {

constexpr int kFileNameControl = 0x47C;

struct OwnedRequest {
    DWORD pid;
    HWND owner;
    HWND found;
};

BOOL CALLBACK FindOwnedDialog(HWND window, LPARAM param) {
    auto* request = reinterpret_cast<OwnedRequest*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != request->pid || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != request->owner) return TRUE;
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring_view(name) != L"#32770") return TRUE;
    request->found = window;
    return FALSE;
}

void PostCommand(HWND dialog, int id) {
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

}  // namespace

HWND WaitForOwnedDialog(DWORD pid, HWND owner, DWORD timeoutMs) {
    OwnedRequest request{pid, owner, nullptr};
    WaitUntil(
        [&] {
            EnumWindows(&FindOwnedDialog, reinterpret_cast<LPARAM>(&request));
            return request.found != nullptr;
        },
        timeoutMs);
    return request.found;
}

void EnterFileName(HWND dialog, const std::string& path) {
    const std::wstring wide = Widen(path);
    SendMessageW(GetDlgItem(dialog, kFileNameControl), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    PostCommand(dialog, IDOK);
}

bool ChooseFile(HWND dialog, const std::string& path, DWORD timeoutMs) {
    EnterFileName(dialog, path);
    return WaitUntil([&] { return !IsWindow(dialog); }, timeoutMs);
}

bool CancelDialog(HWND dialog, DWORD timeoutMs) {
    PostCommand(dialog, IDCANCEL);
    return WaitUntil([&] { return !IsWindow(dialog); }, timeoutMs);
}

bool HeldOpen(const std::string& path) {
    FileHandle probe(CreateFileW(Widen(path).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                 OPEN_EXISTING, 0, nullptr));
    return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
}

}  // namespace vtx::testing
