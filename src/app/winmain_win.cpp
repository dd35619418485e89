// VTXDiagnostic.exe: the support and diagnostic tool of the jukebox. Without
// arguments it opens its window; the command-line modes are in unattended_win.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/command_line.h"
#include "app/main_window_win.h"
#include "app/prompts_win.h"
#include "app/unattended_win.h"

namespace {

int RunWindow() {
    vtx::MessageBoxPrompts prompts;
    vtx::Main main(prompts);
    if (!main.Start(vtx::GatherStartupInputs())) return 1;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (main.PreviewKey(message)) continue;
        if (main.hwnd() && IsDialogMessageW(main.hwnd(), &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Form_Initialize: the common controls first of all.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    const vtx::CommandLine command = vtx::ParseCommandLine(vtx::ProgramArguments());
    const int exitCode = command.mode == vtx::RunMode::Window ? RunWindow() : vtx::RunCommandLine(command);

    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
