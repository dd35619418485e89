#include "e2e/driver_shell_win.h"

#include <commctrl.h>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "e2e/driver_win.h"

namespace vtx::testing {
namespace {

constexpr const wchar_t* kFolderWindowClass = L"ExplorerWClass";

BOOL CALLBACK AddVisible(HWND window, LPARAM windows) {
    if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
    return TRUE;
}

bool IsFolderWindow(HWND window) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    return std::wstring(name) == kFolderWindowClass;
}

std::vector<HWND> FolderWindowsSince(const std::set<HWND>& before) {
    std::vector<HWND> found;
    for (HWND window : VisibleTopLevelWindows())
        if (!before.count(window) && IsFolderWindow(window)) found.push_back(window);
    return found;
}

BOOL CALLBACK FindList(HWND window, LPARAM found) {
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (std::wstring(name) != WC_LISTVIEWW) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

bool SameBitness(HANDLE process) {
    BOOL mine = FALSE;
    BOOL theirs = FALSE;
    return IsWow64Process(GetCurrentProcess(), &mine) && IsWow64Process(process, &theirs) && mine == theirs;
}

}  // namespace

std::set<HWND> VisibleTopLevelWindows() {
    std::set<HWND> windows;
    EnumWindows(&AddVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

HWND WaitForFolderWindow(const std::set<HWND>& before, const std::string& title, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : FolderWindowsSince(before))
                if (WindowText(window) == title) return (found = window) != nullptr;
            return false;
        },
        timeoutMs);
    return found;
}

std::vector<std::string> SelectedItems(HWND folderWindow) {
    HWND list = nullptr;
    EnumChildWindows(folderWindow, &FindList, reinterpret_cast<LPARAM>(&list));
    if (!list) return {};
    DWORD pid = 0;
    GetWindowThreadProcessId(list, &pid);
    KernelHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_OPERATION | PROCESS_VM_READ |
                                         PROCESS_VM_WRITE, FALSE, pid));
    // The request is an LVITEMW in the list's own memory, laid out as that process
    // reads it.
    if (!process || !SameBitness(process.get())) return {};
    constexpr size_t kChars = 512;
    RemoteMemory remote(process.get(), sizeof(LVITEMW) + kChars * sizeof(wchar_t));
    if (!remote.get()) return {};
    auto* remoteText = reinterpret_cast<wchar_t*>(static_cast<char*>(remote.get()) + sizeof(LVITEMW));

    std::vector<std::string> names;
    for (LRESULT index = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); index >= 0;
         index = SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(index), LVNI_SELECTED)) {
        LVITEMW item{};
        item.mask = LVIF_TEXT;
        item.iItem = static_cast<int>(index);
        item.pszText = remoteText;
        item.cchTextMax = kChars;
        wchar_t text[kChars] = {};
        if (!WriteProcessMemory(process.get(), remote.get(), &item, sizeof item, nullptr)) break;
        SendMessageW(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.get()));
        if (!ReadProcessMemory(process.get(), remoteText, text, sizeof text - sizeof(wchar_t), nullptr)) break;
        names.push_back(Narrow(std::wstring_view(text)));
    }
    return names;
}

int CloseFolderWindowsSince(const std::set<HWND>& before) {
    int closed = 0;
    for (HWND window : FolderWindowsSince(before)) {
        PostMessageW(window, WM_CLOSE, 0, 0);
        if (WaitUntil([&] { return !IsWindow(window); }, 10000)) ++closed;
    }
    return closed;
}

}  // namespace vtx::testing
