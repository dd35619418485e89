// The folder picker: the shell's folder dialog, with a status line that shows the
// highlighted folder as "Auswahl: " + its path, shortened with an ellipsis to fit.
#pragma once
#include <windows.h>

#include <string>

#include "common/handles_win.h"

namespace vtx {

inline constexpr const char* kStatusPrefix = "Auswahl: ";

// The shell's item list for a path; empty when the shell does not know the path.
ItemIdList GetIdListFromPath(const std::string& path);

// Shows the folder dialog modally over `owner` and returns the chosen folder's path
// (a drive root with its trailing backslash, any other folder without one), or ""
// when the user cancels. `initialFolder` is highlighted at the start when the shell
// knows it; `root` ("" = the desktop) is the top of the tree. Only file-system
// folders can be confirmed.
std::string BrowseForFolder(const std::string& title, const std::string& initialFolder, HWND owner, bool status,
                            const std::string& root = "", bool newStyle = false, bool includeFiles = false);

// The dialog's callback: highlights the initial folder (callback data: its item
// list) when the dialog opens, and keeps the status line up to date.
int CALLBACK BrowseCallback(HWND dialog, UINT message, LPARAM itemList, LPARAM callbackData);

}  // namespace vtx
