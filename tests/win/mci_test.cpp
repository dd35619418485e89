// Real playback through Wine's MCI: clips made by the test, played through the
// sound-test panel's operations and the window's handlers, with the Windows
// platform in place.
#include "sound/mci.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

#include "app/main_window_win.h"
#include "app/prompts_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "fixtures/media_clips_win.h"
#include "fixtures/temp_folder_win.h"
#include "sound/mci_win.h"
#include "sound/sound_panel.h"

namespace vtx {
namespace {

using testing::TempFolder;
using testing::WriteFileBytes;

// Waits, with the thread's messages running, until MCI reports `mode`; the last
// mode seen otherwise.
std::string AwaitMode(const std::string& mode) {
    const ULONGLONG end = GetTickCount64() + 20000;
    std::string now;
    while ((now = MciStatusMode()) != mode && GetTickCount64() < end) {
        ProcessWaitingMessages();
        Sleep(20);
    }
    return now;
}

class MciPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        previous_ = SetMciPlatform(WindowsMciPlatform());
        MciState() = {};
        MciClose();
    }
    void TearDown() override {
        MciClose();
        SetMciPlatform(std::move(previous_));
        MciState() = {};
    }

    std::string Clip(const std::string& relative, const std::string& bytes) {
        const std::string path = folder_ / relative;
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }

    // True while some handle on the file keeps it from being deleted (MCI's wave
    // device reads its file with writers and deleters shut out).
    static bool HeldOpen(const std::string& path) {
        FileHandle probe(CreateFileW(Widen(path).c_str(), DELETE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                     OPEN_EXISTING, 0, nullptr));
        return !probe && GetLastError() == ERROR_SHARING_VIOLATION;
    }

    TempFolder folder_{"mci"};
    MciPlatform previous_;
};

TEST_F(MciPlayback, WaveMp3AndMidiPlayStopAndPlayAgain) {
    struct Case {
        const char* relative;
        std::string bytes;
    };
    const Case cases[] = {
        {"Eigene Musik\\Lied für dich.wav", testing::WaveClip(120)},
        {"Eigene Musik\\Zweites Lied.mp3", testing::Mp3Clip(240)},
        {"Eigene Musik\\Walzer.mid", testing::MidiClip(120)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.relative);
        const std::string path = Clip(c.relative, c.bytes);
        SoundPanelOpen(path);
        EXPECT_EQ(AwaitMode("stopped"), "stopped");
        SoundPanelPlay();
        EXPECT_EQ(AwaitMode("playing"), "playing");
        SoundPanelStop();
        EXPECT_EQ(AwaitMode("stopped"), "stopped");
        SoundPanelPlay();
        EXPECT_EQ(AwaitMode("playing"), "playing");
        // Closing the window while it plays closes the device.
        SoundPanelUnload();
        EXPECT_EQ(MciStatusMode(), "");
    }
}

TEST_F(MciPlayback, ASecondChoiceClosesTheFirstWhileItPlays) {
    const std::string first = Clip("Erstes.wav", testing::WaveClip(120));
    const std::string second = Clip("Zweites.wav", testing::WaveClip(120));
    SoundPanelOpen(first);
    SoundPanelPlay();
    ASSERT_EQ(AwaitMode("playing"), "playing");

    SoundPanelOpen(second);
    EXPECT_FALSE(HeldOpen(first));
    EXPECT_TRUE(HeldOpen(second));
    EXPECT_EQ(MciStatusMode(), "stopped");

    // Unloading while stopped leaves the device open.
    SoundPanelUnload();
    EXPECT_TRUE(HeldOpen(second));
}

TEST_F(MciPlayback, APathWithBlanksWithoutShortFormPlaysQuoted) {
    const std::string path = Clip("Neue Aufnahmen\\Mein Lied.wav", testing::WaveClip(120));

    // Sent as it is, MCI takes the path to end at the first blank.
    SendMciCommand("open " + path + " type waveaudio alias VTXMCI", 0);
    EXPECT_EQ(MciStatusMode(), "");

    // A volume without short names gives the long path back unchanged.
    MciPlatform noShortNames = WindowsMciPlatform();
    noShortNames.shortPath = [](const std::string& longPath) { return longPath; };
    SetMciPlatform(noShortNames);
    SoundPanelOpen(path);
    SoundPanelPlay();
    EXPECT_EQ(AwaitMode("playing"), "playing");
}

TEST_F(MciPlayback, WhatCannotBePlayedStaysSilent) {
    struct Case {
        const char* what;
        std::string path;
    };
    const Case cases[] = {
        {"missing file", folder_ / "fehlt.wav"},
        {"not a wave file", Clip("kaputt.wav", std::string(4000, 'x'))},
        {"no extension", Clip("Lied", testing::WaveClip(2))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SoundPanelOpen(c.path);
        SoundPanelPlay();
        EXPECT_EQ(MciStatusMode(), "");
        SoundPanelStop();
        SoundPanelUnload();
    }
}

// A visible dialog (#32770) of this process, stored through `found`.
BOOL CALLBACK FindOwnDialog(HWND window, LPARAM found) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (pid != GetCurrentProcessId() || !IsWindowVisible(window) || std::wstring_view(name) != L"#32770") return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

// Answers the next file-open dialog of this process from a second thread: types
// `path` and presses Open, or presses Cancel when `path` is empty.
std::thread AnswerFileDialog(std::string path) {
    return std::thread([path = std::move(path)] {
        HWND dialog = nullptr;
        const ULONGLONG end = GetTickCount64() + 20000;
        while (!dialog && GetTickCount64() < end) {
            EnumWindows(&FindOwnDialog, reinterpret_cast<LPARAM>(&dialog));
            if (!dialog) Sleep(50);
        }
        if (!dialog) return;
        if (!path.empty())
            SendMessageW(GetDlgItem(dialog, 0x47C), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Widen(path).c_str()));
        const int button = path.empty() ? IDCANCEL : IDOK;
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, button)));
    });
}

// The window's own handlers, with no window around them: the dialog, then play,
// stop and unload reach the real device.
TEST(SoundHandlers, ChoosePlayStopAndUnloadReachTheDevice) {
    TempFolder folder("sound-handlers");
    const std::string path = folder / "Eigene Musik\\Lied für dich.wav";
    ASSERT_TRUE(WriteFileBytes(path, testing::WaveClip(300)));
    MessageBoxPrompts prompts;
    Main main(prompts);

    std::thread answer = AnswerFileDialog(path);
    main.cmdSelectFile_Click();
    answer.join();
    EXPECT_EQ(AwaitMode("stopped"), "stopped");
    main.cmdPlay_Click();
    EXPECT_EQ(AwaitMode("playing"), "playing");

    // Cancelling the next dialog leaves the medium playing.
    answer = AnswerFileDialog("");
    main.cmdSelectFile_Click();
    answer.join();
    EXPECT_EQ(MciStatusMode(), "playing");

    main.cmdStop_Click();
    EXPECT_EQ(AwaitMode("stopped"), "stopped");
    main.Form_Unload();  // stopped: stays open
    EXPECT_EQ(MciStatusMode(), "stopped");
    main.cmdPlay_Click();
    EXPECT_EQ(AwaitMode("playing"), "playing");
    main.Form_Unload();  // playing: closed
    EXPECT_EQ(MciStatusMode(), "");
}

TEST(MciShortPath, HasNoBlanksUnderWineAndIsEmptyForAMissingFile) {
    TempFolder folder("mci-short");
    const std::string path = folder / "Eigene Musik\\Lied für dich.wav";
    ASSERT_TRUE(WriteFileBytes(path, "RIFF"));
    const std::string shortPath = ShortPathOf(path);
    EXPECT_FALSE(shortPath.empty());
    EXPECT_EQ(shortPath.find(' '), std::string::npos) << shortPath;
    EXPECT_EQ(ShortPathOf(folder / "fehlt.wav"), "");
}

TEST(ProcessWaitingMessages, RunsWaitingMessagesAndKeepsAQuitRequest) {
    MSG stale;
    while (PeekMessageW(&stale, nullptr, 0, 0, PM_REMOVE)) {
    }
    PostThreadMessageW(GetCurrentThreadId(), WM_APP, 0, 0);
    PostQuitMessage(7);
    ProcessWaitingMessages();

    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_APP, WM_APP, PM_REMOVE));
}

}  // namespace
}  // namespace vtx
