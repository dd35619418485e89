// Handing the export over: the window's closing box offers to open the folder that
// holds what the owner sends (the archive, or the export folder when the archive
// could not be written), so that it can be dragged into a mail from there.
#pragma once
#include <windows.h>

#include <functional>
#include <string>

#include "app/prompts_win.h"

namespace vtx {

// How a folder is shown. The shell's own by default; tests put failing ones in.
struct FolderOpeners {
    // Opens the folder that holds `item` in Explorer with `item` selected; true when
    // the shell did.
    std::function<bool(HWND owner, const std::string& item)> showSelected;
    // Opens `folder` itself in Explorer; true when the shell did.
    std::function<bool(HWND owner, const std::string& folder)> openFolder;
};

// SHOpenFolderAndSelectItems with the item list of the path (COM entered as the
// shell needs it), and ShellExecuteEx "open" on the folder, without error boxes of
// the shell's own.
FolderOpeners ShellFolderOpeners();

// Shows the folder holding `item` with it selected; when that fails, opens the
// folder itself. False when neither worked.
bool ShowInFolder(HWND owner, const std::string& item, const FolderOpeners& openers);

// The closing box `text` with `icon` and the question whether to open the folder
// of `item` (`archive`: the archive, else the export folder) on its last line,
// "Ja" the default button. "Ja" shows the folder (ShowInFolder); when it cannot be
// opened, a box says so and names the path. "Nein" closes the box, nothing else.
void CloseWithHandOver(Prompts& prompts, HWND owner, const std::string& text, UINT icon, const std::string& item,
                       bool archive, const FolderOpeners& openers = ShellFolderOpeners());

}  // namespace vtx
