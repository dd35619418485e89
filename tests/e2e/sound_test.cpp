// The sound test through the real window: the file-open dialog, the label, the
// buttons, and the device the tool holds open (MCI's wave device keeps its file
// from being deleted while it is open, which the test can see from outside).
#include <gtest/gtest.h>

#include "app/control_ids.h"
#include "e2e/driver_file_win.h"
#include "e2e/driver_win.h"
#include "fixtures/media_clips_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx::testing {
namespace {

class SoundE2E : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = SampleForThisMachine(root_ / "Velatrix-Tunes 6");
        std::string error;
        ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
        ASSERT_TRUE(tool_.Launch(sample_.installDir + "\\Tools\\VTXDiagnostic.exe"));
        main_ = WaitForMainWindow(tool_.id());
        ASSERT_NE(main_, nullptr);
    }

    std::string Clip(const std::string& relative, const std::string& bytes) {
        const std::string path = root_ / relative;
        EXPECT_TRUE(WriteFileBytes(path, bytes));
        return path;
    }

    // Clicks "Datei öffnen" and gives the file-open dialog it shows.
    HWND OpenFileDialog() {
        PostClick(GetDlgItem(main_, IDC_CMDSELECTFILE));
        return WaitForOwnedDialog(tool_.id(), main_);
    }

    std::string Label() const { return WindowText(GetDlgItem(main_, IDC_LBLSOUNDFILE)); }
    bool PlayEnabled() const { return IsWindowEnabled(GetDlgItem(main_, IDC_CMDPLAY)) != FALSE; }
    bool StopEnabled() const { return IsWindowEnabled(GetDlgItem(main_, IDC_CMDSTOP)) != FALSE; }

    TempFolder root_{"e2e-sound"};
    SampleInstallation sample_;
    ToolProcess tool_;
    HWND main_ = nullptr;
};

TEST_F(SoundE2E, ChoosePlayStopAndChooseAgain) {
    const std::string first = Clip("Eigene Musik\\Lied für dich.wav", WaveClip(300));
    const std::string second = Clip("Eigene Musik\\Zweites.wav", WaveClip(300));

    // Cancelling before any choice changes nothing.
    HWND dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(CancelDialog(dialog));
    EXPECT_EQ(Label(), "");
    EXPECT_FALSE(PlayEnabled());
    EXPECT_FALSE(StopEnabled());

    // A name that does not exist: the dialog says so and stays open.
    dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    EnterFileName(dialog, root_ / "Eigene Musik\\fehlt.wav");
    HWND box = WaitForOwnedDialog(tool_.id(), dialog);
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(IsWindow(dialog));
    ASSERT_TRUE(CancelDialog(dialog));
    EXPECT_EQ(Label(), "");
    EXPECT_FALSE(PlayEnabled());

    // The first choice: its name in the label, the buttons enabled, the file open.
    dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ChooseFile(dialog, first));
    EXPECT_TRUE(WaitUntil([&] { return Label() == "Lied für dich.wav"; }, 10000)) << Label();
    EXPECT_TRUE(PlayEnabled());
    EXPECT_TRUE(StopEnabled());
    EXPECT_TRUE(WaitUntil([&] { return HeldOpen(first); }, 10000));
    Sleep(500);
    EXPECT_TRUE(SaveScreenshot(ScreenshotPath("sound-test")));

    PostClick(GetDlgItem(main_, IDC_CMDPLAY));
    PostClick(GetDlgItem(main_, IDC_CMDSTOP));
    PostClick(GetDlgItem(main_, IDC_CMDPLAY));

    // A second choice while the first plays closes the first.
    dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ChooseFile(dialog, second));
    EXPECT_TRUE(WaitUntil([&] { return Label() == "Zweites.wav"; }, 10000)) << Label();
    EXPECT_TRUE(WaitUntil([&] { return !HeldOpen(first) && HeldOpen(second); }, 10000));

    // Cancelling now keeps the choice, the buttons and the open file.
    dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(CancelDialog(dialog));
    EXPECT_EQ(Label(), "Zweites.wav");
    EXPECT_TRUE(PlayEnabled());
    EXPECT_TRUE(StopEnabled());
    EXPECT_TRUE(HeldOpen(second));

    // A file that cannot be played is shown and stays silent, with no message.
    dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ChooseFile(dialog, Clip("kaputt.wav", std::string(4000, 'x'))));
    EXPECT_TRUE(WaitUntil([&] { return Label() == "kaputt.wav"; }, 10000)) << Label();
    EXPECT_TRUE(WaitUntil([&] { return !HeldOpen(second); }, 10000));
    PostClick(GetDlgItem(main_, IDC_CMDPLAY));
    Sleep(500);
    EXPECT_FALSE(HasMessageBox(tool_.id()));
    EXPECT_TRUE(PlayEnabled());

    tool_.Close();
    EXPECT_EQ(tool_.WaitForExit(10000), 0);
}

TEST_F(SoundE2E, ClosingTheWindowWhilePlayingEndsTheProgram) {
    const std::string clip = Clip("Lied.wav", WaveClip(300));
    HWND dialog = OpenFileDialog();
    ASSERT_NE(dialog, nullptr);
    ASSERT_TRUE(ChooseFile(dialog, clip));
    ASSERT_TRUE(WaitUntil([&] { return HeldOpen(clip); }, 10000));
    // The click and the close request are handled in this order.
    PostClick(GetDlgItem(main_, IDC_CMDPLAY));
    PostMessageW(main_, WM_CLOSE, 0, 0);
    EXPECT_EQ(tool_.WaitForExit(20000), 0);
    EXPECT_FALSE(HeldOpen(clip));
}

}  // namespace
}  // namespace vtx::testing
