// frmPleaseWait: a borderless window centred on the screen that says the report
// is being gathered. It lives only while a report is built.
#pragma once
#include "app/window_base_win.h"

namespace vtx {

class WaitWindow final : public WindowBase {
public:
    // Creates (if needed) and shows the window modeless, without owner, painted at
    // once: the build that follows does not process messages.
    void Show();

private:
    GdiObject font_;
};

}  // namespace vtx
