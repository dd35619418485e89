// Main: the program's one window, with the report list, the sound test and the
// two action buttons.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "app/prompts_win.h"
#include "app/startup_win.h"
#include "app/wait_window_win.h"
#include "app/window_base_win.h"
#include "common/handles_win.h"

namespace vtx {

class Main final : public WindowBase {
public:
    explicit Main(Prompts& prompts);

    // Creates the window hidden, runs start-up and the first report, then shows
    // the window centred. False when the window cannot be created.
    bool Start(const StartupInputs& inputs);

    // Lets the window see keys before its controls (Ctrl+Alt+H). True when the
    // message was consumed.
    bool PreviewKey(const MSG& message);

    // Widens the list's horizontal scroll range to its widest line + 10 pixels.
    static void AdjustListExtent(HWND list);

    // Rebuilds the report in the log list, showing the wait window meanwhile.
    void BuildReport();

    const MainState& state() const { return state_; }
    HWND control(int id) const { return GetDlgItem(hwnd(), id); }
    // The lines of the log list, in list order.
    std::vector<std::string> LogLines() const;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    void Form_KeyUp(WPARAM keyCode, int shift);

    Prompts& prompts_;
    MainState state_;
    GdiObject listFont_;
    GdiObject dialogFont_;
    std::unique_ptr<WaitWindow> pleaseWait_;
};

}  // namespace vtx
