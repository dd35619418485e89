#include "e2e/driver_folder_win.h"

#include <shlobj.h>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "e2e/driver_win.h"

namespace vtx::testing {
namespace {

constexpr int kTreeId = 0x3741;
constexpr int kTitleId = 0x3742;
constexpr int kStatusId = 0x3743;

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindDialog(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && IsWindowVisible(window) && IsFolderDialog(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

bool IsFolderDialog(HWND window) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    return std::wstring(name) == L"#32770" && GetDlgItem(window, kTreeId) != nullptr;
}

HWND WaitForFolderDialog(DWORD pid, DWORD timeoutMs) {
    Search search{pid, nullptr};
    WaitUntil([&] {
        EnumWindows(&FindDialog, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    }, timeoutMs);
    return search.found;
}

bool SelectFolder(HWND dialog, const std::string& path) {
    DWORD pid = 0;
    GetWindowThreadProcessId(dialog, &pid);
    KernelHandle process(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, pid));
    if (!process) return false;
    // The request's text must lie in the dialog's own memory: a pointer into this
    // process would mean nothing there.
    const std::wstring wide = Widen(path);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    RemoteMemory remote(process.get(), bytes);
    if (!remote.get() || !WriteProcessMemory(process.get(), remote.get(), wide.c_str(), bytes, nullptr)) return false;

    // A dialog that is still filling its tree may pass over the request: it is
    // repeated until the status line names the folder.
    // A drive root ("R:\\") is shown with its backslash, any other folder without.
    std::string last = path;
    while (last.size() > 1 && last.back() == '\\') last.pop_back();
    last = last.substr(last.rfind('\\') + 1);
    const auto named = [&] {
        const std::string status = FolderDialogStatus(dialog);
        return status.ends_with(last) || status.ends_with(last + "\\");
    };
    for (int attempt = 0; attempt < 10; ++attempt) {
        DWORD_PTR answer = 0;
        if (!SendMessageTimeoutW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(remote.get()),
                                 SMTO_NORMAL, 10000, &answer))
            return false;
        if (WaitUntil(named, 1000)) return true;
    }
    return false;
}

std::string FolderDialogTitle(HWND dialog) { return WindowText(GetDlgItem(dialog, kTitleId)); }

std::string FolderDialogStatus(HWND dialog) { return WindowText(GetDlgItem(dialog, kStatusId)); }

}  // namespace vtx::testing
