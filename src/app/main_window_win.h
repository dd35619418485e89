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
#include "export/export_archive_win.h"
#include "common/handles_win.h"

namespace vtx {

class Main final : public WindowBase {
public:
    explicit Main(Prompts& prompts);

    // Creates the window hidden, runs start-up and the first report, then shows
    // the window centred. False when the window cannot be created.
    bool Start(const StartupInputs& inputs);

    // Lets the window see keys before its controls (Ctrl+Alt+H, Ctrl+C). True when
    // the message was consumed.
    bool PreviewKey(const MSG& message);

    // Widens the list's horizontal scroll range to its widest line + 10 pixels.
    static void AdjustListExtent(HWND list);

    // Rebuilds the report in the log list, showing the wait window meanwhile. The
    // window's messages run while a probe is waited for (see GatherReportLines);
    // a rebuild asked for meanwhile is ignored.
    void BuildReport();

    const MainState& state() const { return state_; }
    HWND control(int id) const { return GetDlgItem(hwnd(), id); }
    // The lines of the log list, in list order.
    std::vector<std::string> LogLines() const;
    // Puts the report's lines on the clipboard as Unicode text, separated by CR LF
    // (Ctrl+C and "Bericht kopieren" in the list's context menu); tells the user
    // when the clipboard cannot take them.
    void CopyReport();
    // Gathers a fresh system profile (the wait window shows meanwhile) and puts it
    // on the clipboard the same way ("Systemprofil kopieren" in the list's context
    // menu); tells the user when the clipboard cannot take it.
    void CopySystemProfile();

    // Button handlers. The export and the reset live in main_export_win.cpp, the
    // sound test in main_sound_win.cpp.
    void cmdCreateRuntime_Click();
    void cmdResetDBase_Click();
    void cmdSelectFile_Click();
    void cmdPlay_Click();
    void cmdStop_Click();
    // The window closes: a playing sound is stopped by closing its device.
    void Form_Unload();

    // Where the last export went (the chosen folder + "\VTX Umgebung"); "" before
    // the first one and after a cancelled one.
    std::string ExportDir;

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void CreateControls();
    // The export's walks with the progress shown in `pleaseWait`; closing the
    // window meanwhile stops them like "Abbrechen".
    ExportResult RunExportWalk(const ExportRequest& request, WaitWindow& pleaseWait, ExportProgress& progress);
    // The archive of a finished export, stopped like the walk.
    ArchiveResult RunArchive(const std::string& folder, WaitWindow& pleaseWait, const ExportProgress& progress);
    void Form_KeyUp(WPARAM keyCode, int shift);
    // The list's context menu at `screenPoint`, or under the list's current line
    // when opened from the keyboard (-1, -1).
    void lstLog_ContextMenu(POINT screenPoint);

    Prompts& prompts_;
    MainState state_;
    GdiObject listFont_;
    GdiObject dialogFont_;
    std::unique_ptr<WaitWindow> pleaseWait_;
    // An export or a reset is under way: a click on either action button is
    // ignored, also while the export lets messages run.
    bool actionRunning_ = false;
    // BuildReport is under way; the window was asked to close meanwhile.
    bool reportRunning_ = false;
    bool closeAfterReport_ = false;
    // The export's walks or its archive are running: closing the window stops them
    // first (closeRequested_), and the window closes once the export has said so.
    bool exportWalking_ = false;
    bool closeRequested_ = false;
};

}  // namespace vtx
