// How the program asks and tells the user. The window answers with message boxes;
// tests and unattended runs answer without a window.
#pragma once
#include <windows.h>

#include <string>

namespace vtx {

class Prompts {
public:
    virtual ~Prompts() = default;
    // Shows `text` with `title` ("" = the program's title) and MessageBox flags;
    // returns the button pressed (IDOK, IDYES, IDNO...).
    virtual int Message(HWND owner, const std::string& text, const std::string& title, UINT flags) = 0;
    // Lets the user choose a folder, titled `title`; the folder's path, or "" when
    // the user cancels. Without a way to ask, the answer is a cancel.
    virtual std::string PickFolder(HWND /*owner*/, const std::string& /*title*/) { return {}; }
};

class MessageBoxPrompts final : public Prompts {
public:
    int Message(HWND owner, const std::string& text, const std::string& title, UINT flags) override;
    // The shell's folder dialog with a status line, opening at the desktop.
    std::string PickFolder(HWND owner, const std::string& title) override;
};

}  // namespace vtx
