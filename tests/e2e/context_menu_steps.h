// The list's context menu as a user works it in the tool's real window, both ways:
// opened with the right mouse button and an item clicked, and opened with
// Shift+F10 and an item chosen with the arrow keys. Shared by the end-to-end tests.
#pragma once
#include <gtest/gtest.h>

#include <functional>

#include "e2e/driver_win.h"

namespace vtx::testing {

// Picks item `item` (from 0) of the `items` items of the list's context menu each
// way, the clipboard emptied before; `picked(menu)` checks each outcome. The menu
// opened by the mouse is saved as the screenshot `screenshot`. Call it under
// ASSERT_NO_FATAL_FAILURE.
inline void PickFromContextMenuEachWay(DWORD pid, HWND main, HWND list, int item, int items, const char* screenshot,
                                       const std::function<void(HWND menu)>& picked) {
    struct Way {
        const char* name;
        bool mouse;
    };
    for (const Way& way : {Way{"right click, mouse", true}, Way{"Shift+F10, keyboard", false}}) {
        SCOPED_TRACE(way.name);
        ASSERT_TRUE(ClearClipboard());
        if (way.mouse) {
            SetForegroundWindow(main);
            Click(list, {60, 60}, true);
        } else {
            PressKeys(main, {VK_SHIFT}, VK_F10);
        }
        HWND menu = WaitForPopupMenu(pid);
        ASSERT_NE(menu, nullptr);
        if (way.mouse) {
            Sleep(300);
            EXPECT_TRUE(SaveScreenshot(ScreenshotPath(screenshot)));
            // The middle of the item's row.
            const SIZE size = ClientSize(menu);
            Click(menu, {size.cx / 2, size.cy * (2 * item + 1) / (2 * items)});
        } else {
            for (int down = 0; down <= item; ++down) PressKeys(menu, {}, VK_DOWN);
            PressKeys(menu, {}, VK_RETURN);
        }
        picked(menu);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

}  // namespace vtx::testing
