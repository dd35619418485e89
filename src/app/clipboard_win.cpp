#include "app/clipboard_win.h"

#include <cstring>
#include <string>

#include "common/unicode_win.h"

namespace vtx {
namespace {

bool OpenClipboardWaiting(HWND owner) {
    for (int attempt = 0; attempt < 20; ++attempt) {
        if (OpenClipboard(owner)) return true;
        Sleep(25);
    }
    return false;
}

}  // namespace

bool SetClipboardText(HWND owner, std::string_view text) {
    const std::wstring wide = Widen(text);
    const size_t bytes = (wide.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory) return false;
    if (void* target = GlobalLock(memory)) {
        std::memcpy(target, wide.c_str(), bytes);
        GlobalUnlock(memory);
    } else {
        GlobalFree(memory);
        return false;
    }
    if (!OpenClipboardWaiting(owner)) {
        GlobalFree(memory);
        return false;
    }
    // Once SetClipboardData took the memory, the clipboard owns it.
    const bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    CloseClipboard();
    if (!placed) GlobalFree(memory);
    return placed;
}

}  // namespace vtx
