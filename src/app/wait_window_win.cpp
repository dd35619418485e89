#include "app/wait_window_win.h"

#include <cstdint>

#include "app/control_ids.h"
#include "app/layout.h"
#include "common/unicode_win.h"
#include "export/export_layout.h"
#include "export/paced_pump.h"

namespace vtx {
namespace {

// How often the progress in the wait window changes at most: ten times a second
// reads as running; every run of the pump (10 ms) would cost a third of a small
// export's time in repaints.
constexpr std::uint64_t kProgressRefreshMs = 100;

RECT PixelRect(const TwipsRect& r, int dpi) {
    const int left = TwipsToPixels(r.left, dpi), top = TwipsToPixels(r.top, dpi);
    return {left, top, left + TwipsToPixels(r.width, dpi), top + TwipsToPixels(r.height, dpi)};
}

}  // namespace

void WaitWindow::Create(bool progress) {
    const int dpi = ScreenDpi();
    const TwipsRect& client = progress ? kProgressClient : kWaitClient;
    const int width = TwipsToPixels(client.width, dpi);
    const int height = TwipsToPixels(client.height, dpi);
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    if (!CreateTopLevel(VTX_WAIT_CLASS, L"", WS_POPUP, WS_EX_TOOLWINDOW, x, y, width, height)) return;
    font_ = CreatePointFont(kDialogFontFace, kDialogFontCentiPoints, dpi, VARIABLE_PITCH | FF_SWISS);
    HFONT font = static_cast<HFONT>(font_.get());
    CreateChild(hwnd(), L"BUTTON", L"", BS_GROUPBOX, 0, IDC_WAIT_FRAME, PixelRect(progress ? kProgressFrame : kWaitFrame, dpi),
                font);
    CreateChild(hwnd(), L"STATIC", Widen(kWaitText).c_str(), SS_LEFT, 0, IDC_WAIT_LABEL1, PixelRect(kWaitLabel, dpi),
                font);
    if (!progress) return;
    CreateChild(hwnd(), L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 0, IDC_WAIT_FOLDER,
                PixelRect(kProgressFolder, dpi), font);
    CreateChild(hwnd(), L"STATIC", Widen(ProgressCountText(0)).c_str(), SS_LEFT | SS_NOPREFIX, 0, IDC_WAIT_COUNT,
                PixelRect(kProgressCount, dpi), font);
    CreateChild(hwnd(), L"BUTTON", Widen(kCancelCaption).c_str(), WS_TABSTOP | BS_PUSHBUTTON, 0, IDC_WAIT_CANCEL,
                PixelRect(kProgressCancel, dpi), font);
    shownFiles_ = 0;
}

void WaitWindow::Show() {
    if (!hwnd()) Create(false);
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WaitWindow::ShowProgress() {
    if (!hwnd()) Create(true);
    ShowWindow(hwnd(), SW_SHOWNOACTIVATE);
    RedrawWindow(hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void WaitWindow::SetProgress(const std::string& folder, long files) {
    if (!hwnd()) return;
    if (folder != shownFolder_) {
        shownFolder_ = folder;
        SetDlgItemTextW(hwnd(), IDC_WAIT_FOLDER, Widen(folder).c_str());
    }
    if (files != shownFiles_) {
        shownFiles_ = files;
        SetDlgItemTextW(hwnd(), IDC_WAIT_COUNT, Widen(ProgressCountText(files)).c_str());
    }
}

LRESULT WaitWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_COMMAND && LOWORD(wParam) == IDC_WAIT_CANCEL && HIWORD(wParam) == BN_CLICKED) {
        cancelled_ = true;
        EnableWindow(reinterpret_cast<HWND>(lParam), FALSE);
        return 0;
    }
    return WindowBase::HandleMessage(message, wParam, lParam);
}

MessagePump ExportProgressPump(WaitWindow& window, const ExportProgress& progress, const bool& stop) {
    return PacedPump(
        [&window, &progress, &stop, shown = std::uint64_t{0}, first = true]() mutable {
            // Each new text costs a repaint (some milliseconds under Wine): the
            // numbers change at most every kProgressRefreshMs, on a run of the pump.
            const std::uint64_t now = GetTickCount64();
            if (first || now - shown >= kProgressRefreshMs) {
                window.SetProgress(progress.folder, progress.files);
                shown = now;
                first = false;
            }
            return PumpPendingMessages() && !window.cancelled() && !stop;
        },
        &GetTickCount64, kWindowPumpIntervalMs);
}

}  // namespace vtx
