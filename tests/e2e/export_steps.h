// The export as a user runs it in the tool's real window: the information box,
// the shell's folder dialog, the box that ends it. Shared by the end-to-end tests.
#pragma once
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>

#include "app/control_ids.h"
#include "e2e/driver_folder_win.h"
#include "e2e/driver_win.h"
#include "export/export_layout.h"

namespace vtx::testing {

// Where the wait window is when the box that ends an export shows: closed before a
// box that reports the outcome, still open under an error box that stops the
// export early (it closes after that box).
enum class WaitWindow { Closed, ClosesAfterTheBox };

// Answers a box with the button that only closes it: "Nein" where the box asks
// (the export's closing box: open the folder?), else OK.
inline constexpr int kJustClose = 0;

// Waits for the next message box of process `pid`, answers it with `button` and
// returns its text (and title). No wait window is left once it is answered.
inline std::string AnswerNextBox(DWORD pid, int button, std::string* title = nullptr,
                                 WaitWindow waitWindow = WaitWindow::Closed) {
    HWND box = WaitForMessageBox(pid, 120000);
    if (!box) return "no message box";
    if (button == kJustClose) button = GetDlgItem(box, IDNO) ? IDNO : IDOK;
    const std::string text = MessageBoxText(box);
    if (title) *title = WindowText(box);
    if (waitWindow == WaitWindow::Closed) {
        EXPECT_EQ(WaitForWindow(pid, VTX_WAIT_CLASS, true, 0), nullptr) << text;
    }
    EXPECT_TRUE(AnswerMessageBox(box, button));
    EXPECT_TRUE(WaitUntil([&] { return WaitForWindow(pid, VTX_WAIT_CLASS, true, 0) == nullptr; }, 5000)) << text;
    return text;
}

// "Ja" is the box's default button and has the focus, so that Enter answers it
// (Wine answers DM_GETDEFID with IDOK whatever the box holds, so the buttons
// themselves are asked).
inline void ExpectYesIsTheDefault(HWND box) {
    HWND yes = GetDlgItem(box, IDYES);
    HWND no = GetDlgItem(box, IDNO);
    ASSERT_NE(yes, nullptr);
    ASSERT_NE(no, nullptr);
    EXPECT_EQ(GetDlgItem(box, IDOK), nullptr);
    EXPECT_EQ(GetWindowLongW(yes, GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLongW(no, GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    GUITHREADINFO gui{};
    gui.cbSize = sizeof gui;
    ASSERT_TRUE(GetGUIThreadInfo(GetWindowThreadProcessId(box, nullptr), &gui));
    EXPECT_EQ(gui.hwndFocus, yes);
}

// Clicks "Fehlerbericht erstellen" in `main`, confirms the information box and
// returns the folder dialog that follows.
inline HWND OpenExportFolderDialog(DWORD pid, HWND main) {
    PostClick(GetDlgItem(main, IDC_CMDCREATERUNTIME));
    HWND info = WaitForMessageBox(pid);
    if (!info) return nullptr;
    EXPECT_FALSE(IsFolderDialog(info));
    EXPECT_EQ(WindowText(info), "Info");
    EXPECT_EQ(MessageBoxText(info), kExportInfoText);
    EXPECT_NE(GetDlgItem(info, IDOK), nullptr);
    EXPECT_EQ(GetDlgItem(info, IDCANCEL), nullptr);
    EXPECT_TRUE(AnswerMessageBox(info, IDOK));
    return WaitForFolderDialog(pid);
}

// The whole export through the dialogs into `target`; the text of the box that
// ends it (answered with "Nein", or OK where it does not ask).
inline std::string ExportThroughTheDialogs(DWORD pid, HWND main, const std::string& target,
                                           WaitWindow waitWindow = WaitWindow::Closed) {
    HWND dialog = OpenExportFolderDialog(pid, main);
    if (!dialog) return "no folder dialog";
    EXPECT_EQ(FolderDialogTitle(dialog), kPickFolderTitle);
    // Never confirm a dialog whose selection did not take: the export would go
    // wherever the tree happens to stand.
    if (!SelectFolder(dialog, target)) {
        AnswerMessageBox(dialog, IDCANCEL);
        return "the folder could not be selected";
    }
    EXPECT_THAT(FolderDialogStatus(dialog), ::testing::StartsWith("Auswahl: "));
    EXPECT_TRUE(AnswerMessageBox(dialog, IDOK));
    return AnswerNextBox(pid, kJustClose, nullptr, waitWindow);
}

}  // namespace vtx::testing
