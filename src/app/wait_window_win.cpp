#include "app/wait_window_win.h"

#include "app/control_ids.h"
#include "app/layout.h"
#include "common/unicode_win.h"

namespace vtx {
namespace {

RECT PixelRect(const TwipsRect& r, int dpi) {
    const int left = TwipsToPixels(r.left, dpi), top = TwipsToPixels(r.top, dpi);
    return {left, top, left + TwipsToPixels(r.width, dpi), top + TwipsToPixels(r.height, dpi)};
}

}  // namespace

void WaitWindow::Show() {
    if (!hwnd()) {
        const int dpi = ScreenDpi();
        const int width = TwipsToPixels(kWaitClient.width, dpi);
        const int height = TwipsToPixels(kWaitClient.height, dpi);
        const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
        if (!CreateTopLevel(VTX_WAIT_CLASS, L"", WS_POPUP, WS_EX_TOOLWINDOW, x, y, width, height)) return;
        font_ = CreatePointFont(kDialogFontFace, kDialogFontCentiPoints, dpi, VARIABLE_PITCH | FF_SWISS);
        HFONT font = static_cast<HFONT>(font_.get());
        CreateChild(hwnd(), L"BUTTON", L"", BS_GROUPBOX, 0, IDC_WAIT_FRAME, PixelRect(kWaitFrame, dpi), font);
        CreateChild(hwnd(), L"STATIC", Widen(kWaitText).c_str(), SS_LEFT, 0, IDC_WAIT_LABEL1, PixelRect(kWaitLabel, dpi),
                    font);
    }
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace vtx
