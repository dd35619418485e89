#include "export/folder_browse_win.h"

#include <windows.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <string>

#include "common/unicode_win.h"

namespace vtx {
namespace {

// The marker the status line shows for a moment, so that it can be told from the
// dialog's other static texts.
constexpr const wchar_t* kStatusMarker = L"$";

void SetStatusText(HWND dialog, const std::wstring& text) {
    SendMessageW(dialog, BFFM_SETSTATUSTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The path shortened with an ellipsis to the room the status line leaves after the
// prefix, both measured in the font the line is drawn in; the whole path when the
// line cannot be measured or shortening fails.
std::wstring FitToStatusLine(HWND dialog, const std::wstring& path) {
    SetStatusText(dialog, kStatusMarker);
    HWND status = FindWindowExW(dialog, nullptr, L"Static", kStatusMarker);
    if (!status || path.size() >= MAX_PATH) return path;
    RECT client{};
    WindowDc dc(status, GetDC(status));
    if (!dc || !GetClientRect(status, &client)) return path;
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(status, WM_GETFONT, 0, 0));
    SelectedObject selected(dc.get(), font ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT));

    const std::wstring prefix = Widen(kStatusPrefix);
    SIZE prefixSize{};
    if (!GetTextExtentPoint32W(dc.get(), prefix.c_str(), static_cast<int>(prefix.size()), &prefixSize)) return path;
    const int room = client.right - client.left - prefixSize.cx;

    wchar_t buffer[MAX_PATH] = {};
    path.copy(buffer, path.size());
    if (room <= 0 || !PathCompactPathW(dc.get(), buffer, static_cast<UINT>(room))) return path;
    return std::wstring(buffer);
}

UINT BrowseFlags(bool status, bool newStyle, bool includeFiles) {
    UINT flags = BIF_RETURNONLYFSDIRS;
    if (status) flags |= BIF_STATUSTEXT;
    if (newStyle) flags |= BIF_NEWDIALOGSTYLE;
    if (includeFiles) flags |= BIF_BROWSEINCLUDEFILES;
    return flags;
}

}  // namespace

ItemIdList GetIdListFromPath(const std::string& path) {
    // "" names no folder (the shell would answer with the desktop).
    if (path.empty() || path.find('\0') != std::string::npos) return ItemIdList();
    return ItemIdList(ILCreateFromPathW(Widen(path).c_str()));
}

int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM itemList, LPARAM callbackData) {
    try {
        switch (message) {
            case BFFM_INITIALIZED:
                // Second parameter an item list, not a path text.
                if (callbackData) SendMessageW(dialog, BFFM_SETSELECTIONW, FALSE, callbackData);
                break;
            case BFFM_SELCHANGED: {
                wchar_t path[MAX_PATH] = {};
                const auto item = reinterpret_cast<PCIDLIST_ABSOLUTE>(itemList);
                if (!item || !SHGetPathFromIDListW(item, path)) {
                    SetStatusText(dialog, L"");  // an item without a file-system path
                    break;
                }
                SetStatusText(dialog, Widen(kStatusPrefix) + FitToStatusLine(dialog, path));
                break;
            }
            default:
                break;
        }
    } catch (...) {
        // The dialog goes on without a status text.
    }
    return 0;
}

std::string BrowseForFolder(const std::string& title, const std::string& initialFolder, HWND owner, bool status,
                            const std::string& root, bool newStyle, bool includeFiles) {
    const ItemIdList rootList = root.empty() ? ItemIdList() : GetIdListFromPath(root);
    const ItemIdList initialList = GetIdListFromPath(initialFolder);
    const std::wstring wideTitle = Widen(title);

    BROWSEINFOW info{};
    info.hwndOwner = owner;
    info.pidlRoot = rootList.get();
    info.pszDisplayName = nullptr;
    info.lpszTitle = wideTitle.c_str();
    info.ulFlags = BrowseFlags(status, newStyle, includeFiles);
    info.lpfn = &BrowseCallback;
    info.lParam = reinterpret_cast<LPARAM>(initialList.get());
    info.iImage = 0;

    const ItemIdList chosen(SHBrowseForFolderW(&info));
    if (!chosen) return {};
    wchar_t path[MAX_PATH] = {};
    if (!SHGetPathFromIDListW(chosen.get(), path)) return {};
    return NarrowBuffer(path, MAX_PATH);
}

}  // namespace vtx
