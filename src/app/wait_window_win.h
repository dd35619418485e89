// frmPleaseWait: a borderless window centred on the screen that says the report
// is being gathered. It lives only while a report is built. The export shows it in
// a taller form that also follows the walk and offers "Abbrechen".
#pragma once
#include <string>

#include "app/window_base_win.h"
#include "export/environment_export_win.h"

namespace vtx {

class WaitWindow final : public WindowBase {
public:
    // Creates (if needed) and shows the window modeless, without owner, painted at
    // once: the build that follows does not process messages.
    void Show();
    // The export's form: below the text, the folder being walked and the number of
    // files done, and the button "Abbrechen".
    void ShowProgress();
    // Shows `folder` and `files` where they changed since the last call (painted
    // when the window's messages next run).
    void SetProgress(const std::string& folder, long files);
    // True once "Abbrechen" was pressed.
    bool cancelled() const { return cancelled_; }

protected:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void Create(bool progress);

    GdiObject font_;
    bool cancelled_ = false;
    std::string shownFolder_;
    long shownFiles_ = -1;
};

// The pump of the export's walk in the window: at the pace of WindowMessagePump
// (at most every 10 ms) it lets the messages run and says stop once "Abbrechen"
// was pressed or `stop` has become true; on those runs it shows `progress` in
// `window`, at most every 100 ms.
MessagePump ExportProgressPump(WaitWindow& window, const ExportProgress& progress, const bool& stop);

}  // namespace vtx
