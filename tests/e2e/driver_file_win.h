// Drives the common file-open dialog of the tool from the test process, and looks
// at the files the tool holds open.
#pragma once
#include <windows.h>

#include <string>

namespace vtx::testing {

// A visible dialog (#32770) of process `pid` owned by `owner`; nullptr after the
// time-out. The file-open dialog is owned by the main window, its message boxes by
// the file-open dialog.
HWND WaitForOwnedDialog(DWORD pid, HWND owner, DWORD timeoutMs = 30000);

// Types `path` into the file-name box (control 0x47C) and presses Open, without
// waiting for what follows.
void EnterFileName(HWND dialog, const std::string& path);
// Enters `path` and waits until the dialog has closed.
bool ChooseFile(HWND dialog, const std::string& path, DWORD timeoutMs = 10000);
// Presses Cancel and waits until the dialog has closed.
bool CancelDialog(HWND dialog, DWORD timeoutMs = 10000);

// True while a handle of some process keeps the file from being deleted (as MCI's
// wave device does with the file it has open).
bool HeldOpen(const std::string& path);

}  // namespace vtx::testing
