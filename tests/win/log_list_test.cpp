// The log list's horizontal scroll range follows its widest line.
#include <windows.h>

#include <gtest/gtest.h>

#include "app/layout.h"
#include "app/main_window_win.h"
#include "app/window_base_win.h"
#include "common/handles_win.h"

namespace vtx {
namespace {

TEST(AdjustListExtent, ReachesTheWidestLinePlusTenPixels) {
    WindowHandle list(CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | WS_HSCROLL | WS_VSCROLL, 0, 0, 273, 228, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
    ASSERT_TRUE(list);
    GdiObject font = CreatePointFont(kListFontFace, kListFontCentiPoints, ScreenDpi(), FIXED_PITCH | FF_MODERN);
    SendMessageW(list.get(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);

    Main::AdjustListExtent(list.get());
    EXPECT_EQ(SendMessageW(list.get(), LB_GETHORIZONTALEXTENT, 0, 0), 10);  // empty list

    const std::wstring wide = L"  Velatrix-Tunes: 6.02.00.15 und eine Zeile, die breiter ist als die Liste";
    for (const wchar_t* line : {L"kurz", wide.c_str(), L"mittel lang"})
        SendMessageW(list.get(), LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line));
    Main::AdjustListExtent(list.get());

    HDC dc = GetDC(list.get());
    HGDIOBJ old = SelectObject(dc, font.get());
    SIZE size{};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(list.get(), dc);
    EXPECT_GT(size.cx, 273);
    EXPECT_EQ(SendMessageW(list.get(), LB_GETHORIZONTALEXTENT, 0, 0), size.cx + 10);
}

}  // namespace
}  // namespace vtx
