// The sound test: choose a file, play it, stop it; closing the window closes a
// playing device. What is sent to MCI is decided in sound/sound_panel.h; this file
// adds the file-open dialog and the controls.
#include <windows.h>
#include <commdlg.h>

#include <string>

#include "app/control_ids.h"
#include "app/main_window_win.h"
#include "common/unicode_win.h"
#include "sound/mci_win.h"
#include "sound/sound_panel.h"

namespace vtx {
namespace {

// The panel's MCI commands go to Windows; put in once, before the first command.
void UseWindowsMci() {
    static const bool installed = (SetMciPlatform(WindowsMciPlatform()), true);
    (void)installed;
}

// The file-open dialog; the chosen file's full path, or "" when the user cancelled
// or the dialog failed.
std::string ShowOpen(HWND owner) {
    const std::wstring filter = Widen(SoundFileFilter());
    std::wstring fileName(32768, L'\0');  // room for any path the dialog can give
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = fileName.data();
    dialog.nMaxFile = static_cast<DWORD>(fileName.size());
    dialog.Flags = OFN_EXPLORER | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) return {};
    return NarrowBuffer(fileName.data(), fileName.size());
}

}  // namespace

void Main::cmdSelectFile_Click() {
    // A cancelled dialog changes nothing: the label, the buttons and the open
    // medium stay as they are. Any failure ends the handler silently; what was
    // done before it stays done.
    try {
        UseWindowsMci();
        const std::string fileName = ShowOpen(hwnd());
        if (fileName.empty()) return;
        SetWindowTextW(control(IDC_LBLSOUNDFILE), Widen(SoundFileLabel(fileName)).c_str());
        EnableWindow(control(IDC_CMDPLAY), TRUE);
        EnableWindow(control(IDC_CMDSTOP), TRUE);
        SoundPanelOpen(fileName);
    } catch (...) {
    }
}

// MCI failures are not reported: a file that cannot be played stays silent.
void Main::cmdPlay_Click() {
    try {
        UseWindowsMci();
        SoundPanelPlay();
    } catch (...) {
    }
}

void Main::cmdStop_Click() {
    try {
        UseWindowsMci();
        SoundPanelStop();
    } catch (...) {
    }
}

void Main::Form_Unload() {
    try {
        UseWindowsMci();
        SoundPanelUnload();
    } catch (...) {
    }
}

}  // namespace vtx
