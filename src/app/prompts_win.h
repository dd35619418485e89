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
};

class MessageBoxPrompts final : public Prompts {
public:
    int Message(HWND owner, const std::string& text, const std::string& title, UINT flags) override;
};

}  // namespace vtx
