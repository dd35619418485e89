#include "app/prompts_win.h"

#include "app/control_ids.h"
#include "common/unicode_win.h"
#include "export/folder_browse_win.h"

namespace vtx {

int MessageBoxPrompts::Message(HWND owner, const std::string& text, const std::string& title, UINT flags) {
    const std::wstring caption = title.empty() ? std::wstring(VTX_MAIN_CAPTION) : Widen(title);
    return MessageBoxW(owner, Widen(text).c_str(), caption.c_str(), flags);
}

std::string MessageBoxPrompts::PickFolder(HWND owner, const std::string& title) {
    return BrowseForFolder(title, "", owner, true);
}

}  // namespace vtx
