// vtxdrive.exe shot EXE BMP: starts the tool, waits for its main window, saves a
// screenshot of the desktop and closes the tool again. Used by run.sh when there
// is no display to show the window on.
#include <cstdio>
#include <string>

#include "common/unicode_win.h"
#include "e2e/driver_win.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 4 || std::wstring(argv[1]) != L"shot") {
        std::fprintf(stderr, "usage: vtxdrive.exe shot EXE BMP\n");
        return 2;
    }
    vtx::testing::ToolProcess tool;
    if (!tool.Launch(vtx::Narrow(argv[2]))) {
        std::fprintf(stderr, "vtxdrive: cannot start %ls\n", argv[2]);
        return 1;
    }
    HWND main = vtx::testing::WaitForMainWindow(tool.id());
    if (!main) {
        std::fprintf(stderr, "vtxdrive: the main window did not appear\n");
        return 1;
    }
    Sleep(1000);  // let the window finish painting
    const bool saved = vtx::testing::SaveScreenshot(vtx::Narrow(argv[3]));
    tool.Close();
    return saved ? 0 : 1;
}
