// Drives the shell's folder dialog of the tool from the test process: finds it,
// highlights a folder the way a click in its tree would, reads its texts.
#pragma once
#include <windows.h>

#include <string>

namespace vtx::testing {

// The folder dialog (a #32770 holding the folder tree) of process `pid`; nullptr
// after the time-out. Message boxes are passed over.
HWND WaitForFolderDialog(DWORD pid, DWORD timeoutMs = 30000);
// True when the window is a folder dialog rather than a message box.
bool IsFolderDialog(HWND window);

// Highlights `path` in the dialog: the path is written into the dialog's process,
// which is sent BFFM_SETSELECTIONW with it. True once the status line names the
// folder (the tool's dialog always has one).
bool SelectFolder(HWND dialog, const std::string& path);

// The title text above the tree and the status line below it.
std::string FolderDialogTitle(HWND dialog);
std::string FolderDialogStatus(HWND dialog);

}  // namespace vtx::testing
