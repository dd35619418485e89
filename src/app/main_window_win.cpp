#include "app/main_window_win.h"

#include <windowsx.h>

#include <algorithm>

#include "app/clipboard_win.h"
#include "app/control_ids.h"
#include "app/flag_scope.h"
#include "app/layout.h"
#include "app/report_facts_win.h"
#include "profile/system_profile_facts_win.h"
#include "report/report_lines.h"
#include "report/report_text.h"
#include "common/unicode_win.h"
#include "export/file_finder_win.h"

namespace vtx {
namespace {

constexpr DWORD kMainStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

constexpr const char* kCopyReportItem = "Bericht kopieren";
constexpr const char* kCopySystemProfileItem = "Systemprofil kopieren";
constexpr const char* kClipboardFailedText =
    "Der Bericht konnte nicht in die Zwischenablage kopiert werden. Bitte versuchen Sie es noch einmal.";
constexpr const char* kProfileClipboardFailedText =
    "Das Systemprofil konnte nicht in die Zwischenablage kopiert werden. Bitte versuchen Sie es noch einmal.";

RECT PixelRect(const TwipsRect& r, int dpi) {
    const int left = TwipsToPixels(r.left, dpi), top = TwipsToPixels(r.top, dpi);
    return {left, top, left + TwipsToPixels(r.width, dpi), top + TwipsToPixels(r.height, dpi)};
}

}  // namespace

Main::Main(Prompts& prompts) : prompts_(prompts) {}

bool Main::Start(const StartupInputs& inputs) {
    const int dpi = ScreenDpi();
    RECT frame{0, 0, TwipsToPixels(kMainClient.width, dpi), TwipsToPixels(kMainClient.height, dpi)};
    AdjustWindowRectEx(&frame, kMainStyle, FALSE, 0);
    if (!CreateTopLevel(VTX_MAIN_CLASS, VTX_MAIN_CAPTION, kMainStyle, WS_EX_CONTROLPARENT, CW_USEDEFAULT, CW_USEDEFAULT,
                        frame.right - frame.left, frame.bottom - frame.top))
        return false;
    CreateControls();

    FormLoad(inputs, prompts_, hwnd(), state_);
    BuildReport();

    // Centred on the screen's work area (the window has no owner).
    RECT work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    RECT window{};
    GetWindowRect(hwnd(), &window);
    const int width = window.right - window.left, height = window.bottom - window.top;
    SetWindowPos(hwnd(), nullptr, work.left + std::max(0L, (work.right - work.left - width) / 2),
                 work.top + std::max(0L, (work.bottom - work.top - height) / 2), 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(hwnd(), SW_SHOW);
    UpdateWindow(hwnd());
    SetFocus(control(IDC_LSTLOG));
    return true;
}

void Main::CreateControls() {
    const int dpi = ScreenDpi();
    listFont_ = CreatePointFont(kListFontFace, kListFontCentiPoints, dpi, FIXED_PITCH | FF_MODERN);
    dialogFont_ = CreatePointFont(kDialogFontFace, kDialogFontCentiPoints, dpi, VARIABLE_PITCH | FF_SWISS);
    HFONT dialogFont = static_cast<HFONT>(dialogFont_.get());

    for (const ControlLayout& layout : kMainControls) {
        const RECT rect = PixelRect(layout.rect, dpi);
        const std::wstring caption = Widen(layout.caption);
        HWND child = nullptr;
        switch (layout.kind) {
            case ControlKind::ListBox:
                child = CreateChild(hwnd(), L"LISTBOX", L"",
                                    WS_TABSTOP | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                                    WS_EX_CLIENTEDGE, layout.id, rect, static_cast<HFONT>(listFont_.get()));
                break;
            case ControlKind::Frame:
                child = CreateChild(hwnd(), L"BUTTON", caption.c_str(), BS_GROUPBOX, 0, layout.id, rect, dialogFont);
                break;
            case ControlKind::Button:
                child = CreateChild(hwnd(), L"BUTTON", caption.c_str(), WS_TABSTOP | BS_PUSHBUTTON, 0, layout.id, rect,
                                    dialogFont);
                break;
            case ControlKind::Label:
                child = CreateChild(hwnd(), L"STATIC", caption.c_str(), SS_LEFT | SS_NOPREFIX, 0, layout.id, rect,
                                    dialogFont);
                break;
        }
        if (child && !layout.enabled) EnableWindow(child, FALSE);
    }
}

bool Main::PreviewKey(const MSG& message) {
    const bool keyDown = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool keyUp = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    if (!keyDown && !keyUp) return false;
    if (message.hwnd != hwnd() && !IsChild(hwnd(), message.hwnd)) return false;
    const int shift = ((GetKeyState(VK_SHIFT) < 0) ? 1 : 0) | ((GetKeyState(VK_CONTROL) < 0) ? 2 : 0) |
                      ((GetKeyState(VK_MENU) < 0) ? 4 : 0);
    if (keyUp) {
        Form_KeyUp(message.wParam, shift);
        return false;
    }
    // Ctrl+C copies the report, wherever the focus is in the window.
    if (message.wParam == 'C' && shift == 2) {
        CopyReport();
        return true;
    }
    return false;
}

void Main::Form_KeyUp(WPARAM keyCode, int shift) {
    // The hidden key: H with exactly Ctrl and Alt held adds the debug section.
    if (keyCode == 72 && shift == 6) {
        state_.DebugInfo = true;
        BuildReport();
    }
}

void Main::BuildReport() {
    if (reportRunning_) return;
    if (!pleaseWait_) pleaseWait_ = std::make_unique<WaitWindow>();
    pleaseWait_->Show();
    // While a probe is waited for, the windows' messages run: they repaint and
    // move, but the main window's buttons and context menu do nothing and a close
    // waits for the report (see HandleMessage).
    std::vector<std::string> lines;
    {
        const FlagScope running(reportRunning_);
        lines = GatherReportLines(state_, [] { PumpPendingMessages(); });
    }
    HWND list = control(IDC_LSTLOG);
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& line : lines)
        SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Widen(line).c_str()));
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    AdjustListExtent(list);
    pleaseWait_.reset();
    if (closeAfterReport_) PostMessageW(hwnd(), WM_CLOSE, 0, 0);
}

void Main::AdjustListExtent(HWND list) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(list, WM_GETFONT, 0, 0));
    WindowDc dc(list, GetDC(list));
    int widest = 0;
    if (dc) {
        SelectedObject selected(dc.get(), font);
        const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
        std::wstring line;
        for (LRESULT i = 0; i < count; ++i) {
            const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
            if (length < 0) continue;
            line.assign(static_cast<size_t>(length) + 1, L'\0');
            SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
            SIZE size{};
            if (GetTextExtentPoint32W(dc.get(), line.c_str(), static_cast<int>(length), &size))
                widest = std::max<int>(widest, size.cx);
        }
    }
    SendMessageW(list, LB_SETHORIZONTALEXTENT, widest + 10, 0);
}

std::vector<std::string> Main::LogLines() const {
    std::vector<std::string> lines;
    HWND list = control(IDC_LSTLOG);
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    std::wstring line;
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
        line.assign(length > 0 ? static_cast<size_t>(length) + 1 : 1, L'\0');
        SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line.data()));
        lines.push_back(Narrow(std::wstring_view(line.c_str())));
    }
    return lines;
}

void Main::CopyReport() {
    if (!SetClipboardText(hwnd(), ClipboardText(LogLines())))
        prompts_.Message(hwnd(), kClipboardFailedText, "", MB_OK | MB_ICONERROR);
}

void Main::CopySystemProfile() {
    if (!pleaseWait_) pleaseWait_ = std::make_unique<WaitWindow>();
    pleaseWait_->Show();
    // As while the report is built: the windows repaint and move, the buttons and
    // the context menu do nothing and a close waits for the profile.
    std::vector<std::string> lines;
    {
        const FlagScope running(reportRunning_);
        lines = GatherSystemProfileLines(state_, [] { PumpPendingMessages(); });
    }
    pleaseWait_.reset();
    if (closeAfterReport_) {
        PostMessageW(hwnd(), WM_CLOSE, 0, 0);
        return;
    }
    if (!SetClipboardText(hwnd(), ClipboardText(lines)))
        prompts_.Message(hwnd(), kProfileClipboardFailedText, "", MB_OK | MB_ICONERROR);
}

void Main::lstLog_ContextMenu(POINT screenPoint) {
    HWND list = control(IDC_LSTLOG);
    if (screenPoint.x == -1 && screenPoint.y == -1) {
        // From the keyboard (Shift+F10, the menu key): under the current line.
        RECT item{};
        const LRESULT caret = SendMessageW(list, LB_GETCARETINDEX, 0, 0);
        if (caret == LB_ERR || SendMessageW(list, LB_GETITEMRECT, caret, reinterpret_cast<LPARAM>(&item)) == LB_ERR)
            GetClientRect(list, &item);
        screenPoint = {item.left + 8, item.bottom};
        ClientToScreen(list, &screenPoint);
    }
    MenuHandle menu(CreatePopupMenu());
    if (!menu) return;
    const UINT state = SendMessageW(list, LB_GETCOUNT, 0, 0) > 0 ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu.get(), MF_STRING | state, IDM_COPYREPORT, Widen(kCopyReportItem).c_str());
    AppendMenuW(menu.get(), MF_STRING, IDM_COPYSYSTEMPROFILE, Widen(kCopySystemProfileItem).c_str());
    const UINT chosen = TrackPopupMenu(menu.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_LEFTALIGN | TPM_TOPALIGN,
                                       screenPoint.x, screenPoint.y, 0, hwnd(), nullptr);
    if (chosen == IDM_COPYREPORT) CopyReport();
    if (chosen == IDM_COPYSYSTEMPROFILE) CopySystemProfile();
}

LRESULT Main::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (reportRunning_) {
        // The report is being built and lets messages run: the buttons and the
        // context menu are ignored, as they were when nothing ran, and closing
        // waits until the report is done.
        switch (message) {
            case WM_COMMAND:
                if (HIWORD(wParam) == BN_CLICKED) return 0;
                break;
            case WM_CONTEXTMENU: return 0;
            case WM_CLOSE: closeAfterReport_ = true; return 0;
            default: break;
        }
    }
    switch (message) {
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) {
                switch (LOWORD(wParam)) {
                    case IDC_CMDCREATERUNTIME: cmdCreateRuntime_Click(); return 0;
                    case IDC_CMDRESETDBASE: cmdResetDBase_Click(); return 0;
                    case IDC_CMDSELECTFILE: cmdSelectFile_Click(); return 0;
                    case IDC_CMDPLAY: cmdPlay_Click(); return 0;
                    case IDC_CMDSTOP: cmdStop_Click(); return 0;
                    default: break;
                }
            }
            return WindowBase::HandleMessage(message, wParam, lParam);
        case WM_CONTEXTMENU:
            if (reinterpret_cast<HWND>(wParam) == control(IDC_LSTLOG)) {
                lstLog_ContextMenu({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
                return 0;
            }
            return WindowBase::HandleMessage(message, wParam, lParam);
        case WM_CLOSE:
            // During the export's walks the close waits for the export to stop and
            // remove its half-made folder.
            if (exportWalking_) {
                closeRequested_ = true;
                return 0;
            }
            // Unloading is never cancelled.
            try {
                Form_Unload();
            } catch (...) {
            }
            DestroyWindow(hwnd());
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
        default:
            return WindowBase::HandleMessage(message, wParam, lParam);
    }
}

}  // namespace vtx
