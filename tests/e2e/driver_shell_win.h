// The file manager's folder windows, as the tool opens them through the shell: found
// among the windows that appeared, read and closed again from the test process.
//
// What Wine 8 shows: SHOpenFolderAndSelectItems and ShellExecute "open" on a folder
// both start a new explorer.exe (not the desktop's) whose top-level window has the
// class "ExplorerWClass" and the folder's last name as its title ("Fehlerbericht"
// for C:\...\Fehlerbericht); its "Location:" box shows that name too. The files are
// a SysListView32 inside it; the item passed to SHOpenFolderAndSelectItems is its
// one selected entry. WM_CLOSE closes the window and that explorer ends.
#pragma once
#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace vtx::testing {

// The visible top-level windows of every process now.
std::set<HWND> VisibleTopLevelWindows();
// A folder window ("ExplorerWClass") titled `title` that is not in `before`; nullptr
// after the time-out.
HWND WaitForFolderWindow(const std::set<HWND>& before, const std::string& title, DWORD timeoutMs = 30000);
// The names of the entries selected in the folder window's file list, read across
// processes.
std::vector<std::string> SelectedItems(HWND folderWindow);
// Closes every folder window that is not in `before` and waits until they are gone;
// the number closed.
int CloseFolderWindowsSince(const std::set<HWND>& before);

}  // namespace vtx::testing
