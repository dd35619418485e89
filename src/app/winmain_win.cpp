// VTXDiagnostic.exe: the support and diagnostic tool of the jukebox.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include "app/main_window_win.h"
#include "app/prompts_win.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
    // Form_Initialize: the common controls first of all.
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_WIN95_CLASSES};
    InitCommonControlsEx(&controls);
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    int exitCode = 1;
    {
        vtx::MessageBoxPrompts prompts;
        vtx::Main main(prompts);
        if (main.Start(vtx::GatherStartupInputs())) {
            MSG message;
            while (GetMessageW(&message, nullptr, 0, 0) > 0) {
                if (main.PreviewKey(message)) continue;
                if (main.hwnd() && IsDialogMessageW(main.hwnd(), &message)) continue;
                TranslateMessage(&message);
                DispatchMessageW(&message);
            }
            exitCode = static_cast<int>(message.wParam);
        }
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return exitCode;
}
