#include "app/window_base_win.h"

#include <exception>

#include "app/control_ids.h"
#include "app/layout.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"

namespace vtx {

WindowBase::~WindowBase() {
    if (hwnd_) {
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, 0);
        DestroyWindow(hwnd_);
    }
}

void WindowBase::Register(const wchar_t* className) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (GetClassInfoExW(GetModuleHandleW(nullptr), className, &wc)) return;
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = &WindowBase::Procedure;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.hIcon = LoadIconW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(1));
    wc.lpszClassName = className;
    RegisterClassExW(&wc);
}

bool WindowBase::CreateTopLevel(const wchar_t* className, const wchar_t* caption, DWORD style, DWORD exStyle, int x,
                                int y, int width, int height) {
    Register(className);
    CreateWindowExW(exStyle, className, caption, style, x, y, width, height, nullptr, nullptr,
                    GetModuleHandleW(nullptr), this);
    return hwnd_ != nullptr;
}

LRESULT WindowBase::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcW(hwnd_, message, wParam, lParam);
}

void WindowBase::OnUnexpectedError(const char* what) noexcept {
    try {
        const std::wstring text = L"Ein unerwarteter Fehler ist aufgetreten:\n" + Widen(what ? what : "");
        MessageBoxW(hwnd_, text.c_str(), VTX_MAIN_CAPTION, MB_OK | MB_ICONERROR);
    } catch (...) {
    }
}

LRESULT CALLBACK WindowBase::Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    WindowBase* self = nullptr;
    if (message == WM_NCCREATE) {
        self = static_cast<WindowBase*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
        self = reinterpret_cast<WindowBase*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return DefWindowProcW(hwnd, message, wParam, lParam);
    }
    try {
        return self->HandleMessage(message, wParam, lParam);
    } catch (const std::exception& error) {
        self->OnUnexpectedError(error.what());
    } catch (...) {
        self->OnUnexpectedError("");
    }
    return 0;
}

HWND CreateChild(HWND parent, const wchar_t* className, const wchar_t* text, DWORD style, DWORD exStyle, int id,
                 const RECT& rect, HFONT font) {
    HWND child = CreateWindowExW(exStyle, className, text, WS_CHILD | WS_VISIBLE | style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (child && font) SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    return child;
}

GdiObject CreatePointFont(const char* face, int centiPoints, int dpi, BYTE pitchAndFamily) {
    LOGFONTW logFont{};
    logFont.lfHeight = FontHeightPixels(centiPoints, dpi);
    logFont.lfWeight = FW_NORMAL;
    logFont.lfCharSet = DEFAULT_CHARSET;
    logFont.lfPitchAndFamily = pitchAndFamily;
    wcsncpy(logFont.lfFaceName, Widen(face).c_str(), LF_FACESIZE - 1);
    return GdiObject(CreateFontIndirectW(&logFont));
}

int ScreenDpi() {
    WindowDc screen(nullptr, GetDC(nullptr));
    return screen ? GetDeviceCaps(screen.get(), LOGPIXELSX) : 96;
}

}  // namespace vtx
