#include "app/hand_over_win.h"

#include <shellapi.h>
#include <shlobj.h>

#include "common/com_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "export/export_layout.h"
#include "export/folder_browse_win.h"

namespace vtx {
namespace {

bool ShellShowSelected(HWND, const std::string& item) {
    // The shell's folder window is reached through COM: the window's thread is in
    // its apartment already; any other caller enters one for the call.
    const ComApartment apartment(COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const ItemIdList list = GetIdListFromPath(item);
    // The item's own list and no children: its folder opens with it selected.
    return list && SUCCEEDED(SHOpenFolderAndSelectItems(list.get(), 0, nullptr, 0));
}

bool ShellOpenFolder(HWND owner, const std::string& folder) {
    if (folder.empty()) return false;
    const std::wstring path = Widen(folder);
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof info;
    // The shell's error box would come on top of ours, which says it in German.
    info.fMask = SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = L"open";
    info.lpFile = path.c_str();
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExW(&info) != FALSE;
}

}  // namespace

FolderOpeners ShellFolderOpeners() { return {&ShellShowSelected, &ShellOpenFolder}; }

bool ShowInFolder(HWND owner, const std::string& item, const FolderOpeners& openers) {
    if (openers.showSelected && openers.showSelected(owner, item)) return true;
    return openers.openFolder && openers.openFolder(owner, FolderHolding(item));
}

void CloseWithHandOver(Prompts& prompts, HWND owner, const std::string& text, UINT icon, const std::string& item,
                       bool archive, const FolderOpeners& openers) {
    const std::string question = WithOpenQuestion(text, archive);
    if (prompts.Message(owner, question, "", MB_YESNO | MB_DEFBUTTON1 | icon) != IDYES) return;
    if (!ShowInFolder(owner, item, openers))
        prompts.Message(owner, FolderNotOpenedText(item, archive), "", MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace vtx
