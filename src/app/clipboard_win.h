// Text onto the clipboard.
#pragma once
#include <windows.h>

#include <string_view>

namespace vtx {

// Replaces the clipboard's contents with UTF-8 `text` as Unicode text
// (CF_UNICODETEXT; Windows offers it as ANSI and OEM text as well). Waits a
// moment when another program holds the clipboard. False when the clipboard
// stays busy or the text cannot be placed.
bool SetClipboardText(HWND owner, std::string_view text);

}  // namespace vtx
