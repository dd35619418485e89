// A small base for the program's top-level windows: binds `this` at creation and
// hands messages to a member; no exception ever leaves the window procedure.
#pragma once
#include <windows.h>

#include "common/handles_win.h"

namespace vtx {

class WindowBase {
public:
    WindowBase() = default;
    WindowBase(const WindowBase&) = delete;
    WindowBase& operator=(const WindowBase&) = delete;
    virtual ~WindowBase();

    HWND hwnd() const { return hwnd_; }

protected:
    // Registers the class once per process (background: dialog face colour).
    static void Register(const wchar_t* className);
    bool CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int x, int y,
                        int width, int height);
    // Handles a message; an exception escaping it is caught by the procedure.
    virtual LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Called when HandleMessage threw: tell the user, keep running.
    virtual void OnUnexpectedError(const char* what) noexcept;

private:
    static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    HWND hwnd_ = nullptr;
};

// A child control at a pixel rectangle, with the given font.
HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int id,
                 const RECT& rect, HFONT font);

// A normal-weight font of `centiPoints` / 100 points at `dpi`.
GdiObject CreatePointFont(const char* face, int centiPoints, int dpi, BYTE pitchAndFamily);

// The screen's pixels per inch, as this (not DPI-aware) program sees it.
int ScreenDpi();

}  // namespace vtx
