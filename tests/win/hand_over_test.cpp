// The closing box's offer to open the folder of what is sent: its question, what
// "Ja" and "Nein" do, and what the owner is told when the shell opens nothing.
#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "app/hand_over_win.h"
#include "export/export_layout.h"
#include "fixtures/temp_folder_win.h"

namespace vtx {
namespace {

// Answers the first box with `answer`, every later one with OK, and keeps them all.
class AnsweringPrompts final : public Prompts {
public:
    explicit AnsweringPrompts(int answer) : answer_(answer) {}
    int Message(HWND, const std::string& text, const std::string& title, UINT flags) override {
        boxes.push_back({text, title, flags});
        return boxes.size() == 1 ? answer_ : IDOK;
    }
    struct Box {
        std::string text;
        std::string title;
        UINT flags;
    };
    std::vector<Box> boxes;

private:
    int answer_;
};

// Openers that record what they were asked and answer as told.
struct RecordedOpeners {
    bool selects = false;
    bool opens = false;
    std::vector<std::string> calls;
    FolderOpeners openers() {
        return {[this](HWND, const std::string& item) {
                    calls.push_back("select " + item);
                    return selects;
                },
                [this](HWND, const std::string& folder) {
                    calls.push_back("open " + folder);
                    return opens;
                }};
    }
};

TEST(HandOver, JaShowsTheFolderTheFolderItselfOrSaysWhyNot) {
    const std::string archive = "C:\\Support\\VTX Umgebung.zip";
    const std::string folder = "C:\\VTX Umgebung";  // an export whose archive failed, at a drive root
    struct Case {
        const char* name;
        std::string item;
        bool isArchive;
        int answer;
        bool selects;
        bool opens;
        std::vector<std::string> calls;
        bool toldItFailed;
    };
    const Case cases[] = {
        {"Nein", archive, true, IDNO, true, true, {}, false},
        {"Ja, selected", archive, true, IDYES, true, false, {"select " + archive}, false},
        {"Ja, the folder only", archive, true, IDYES, false, true, {"select " + archive, "open C:\\Support"}, false},
        {"Ja, nothing opens", archive, true, IDYES, false, false, {"select " + archive, "open C:\\Support"}, true},
        {"Ja, nothing opens the root", folder, false, IDYES, false, false, {"select " + folder, "open C:\\"}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        AnsweringPrompts prompts(c.answer);
        RecordedOpeners shell{c.selects, c.opens, {}};
        CloseWithHandOver(prompts, nullptr, "Umgebung wurde erstellt", MB_ICONINFORMATION, c.item, c.isArchive,
                          shell.openers());
        ASSERT_EQ(prompts.boxes.size(), c.toldItFailed ? 2u : 1u);
        // The closing box: its text, the question, Ja the default button.
        EXPECT_EQ(prompts.boxes[0].text, WithOpenQuestion("Umgebung wurde erstellt", c.isArchive));
        EXPECT_EQ(prompts.boxes[0].title, "");
        EXPECT_EQ(prompts.boxes[0].flags, static_cast<UINT>(MB_YESNO | MB_DEFBUTTON1 | MB_ICONINFORMATION));
        EXPECT_EQ(shell.calls, c.calls);
        if (c.toldItFailed) {
            EXPECT_EQ(prompts.boxes[1].text, FolderNotOpenedText(c.item, c.isArchive));
            EXPECT_EQ(prompts.boxes[1].flags, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        }
    }
}

BOOL CALLBACK AddVisible(HWND window, LPARAM windows) {
    if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(windows)->insert(window);
    return TRUE;
}

std::set<HWND> TopLevelWindows() {
    std::set<HWND> windows;
    EnumWindows(&AddVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

// The shell's own ways fail for a place that is not there, without a box or a
// window of their own: the owner's box is the only word.
TEST(HandOver, TheShellOpensNothingForAPlaceThatIsGone) {
    const testing::TempFolder root("hand-over");
    const std::string missing = root / "Weg\\VTX Umgebung.zip";
    const std::set<HWND> before = TopLevelWindows();
    const FolderOpeners shell = ShellFolderOpeners();
    EXPECT_FALSE(shell.showSelected(nullptr, missing));
    EXPECT_FALSE(shell.openFolder(nullptr, FolderHolding(missing)));
    EXPECT_FALSE(ShowInFolder(nullptr, missing, shell));
    Sleep(1000);
    EXPECT_EQ(TopLevelWindows(), before);
}

}  // namespace
}  // namespace vtx
