// The folder picker in this process: a second thread steers the shell's dialog the
// way a user would and reads its status line.
#include "export/folder_browse_win.h"

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <thread>

#include "common/unicode_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx {
namespace {

using ::testing::EndsWith;
using ::testing::HasSubstr;
using ::testing::StartsWith;
using vtx::testing::TempFolder;

constexpr int kTreeId = 0x3741;
constexpr int kTitleId = 0x3742;
constexpr int kStatusId = 0x3743;

std::string WindowText(HWND window) {
    wchar_t text[1024] = {};
    SendMessageW(window, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    return Narrow(text);
}

struct DialogSearch {
    HWND found = nullptr;
};

BOOL CALLBACK FindFolderDialog(HWND window, LPARAM param) {
    wchar_t name[16] = {};
    GetClassNameW(window, name, 16);
    if (std::wstring(name) == L"#32770" && IsWindowVisible(window) && GetDlgItem(window, kTreeId)) {
        reinterpret_cast<DialogSearch*>(param)->found = window;
        return FALSE;
    }
    return TRUE;
}

HWND WaitForFolderDialog(DWORD thread) {
    DialogSearch search;
    for (int tries = 0; tries < 400 && !search.found; ++tries) {
        EnumThreadWindows(thread, &FindFolderDialog, reinterpret_cast<LPARAM>(&search));
        if (!search.found) Sleep(50);
    }
    return search.found;
}

std::string ControlText(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

// Selects `path` in the dialog. The dialog may show before it has filled its tree
// (seen on busy and on quiet machines), and then ignores the selection: it is made
// again until the status line names the folder (ends with its last part), for at
// most five seconds.
void Select(HWND dialog, const std::string& path) {
    const std::wstring wide = Widen(path);
    const size_t slash = path.find_last_of('\\', path.size() >= 2 ? path.size() - 2 : 0);
    const std::string last = path.back() == '\\' || slash == std::string::npos ? path : path.substr(slash + 1);
    for (int tries = 0; tries < 50; ++tries) {
        SendMessageW(dialog, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(wide.c_str()));
        const std::string status = ControlText(dialog, kStatusId);
        if (status.size() >= last.size() && status.compare(status.size() - last.size(), last.size(), last) == 0) return;
        Sleep(100);
    }
}

void Press(HWND dialog, int button) { PostMessageW(dialog, WM_COMMAND, button, 0); }

class FolderBrowseTest : public ::testing::Test {
protected:
    void SetUp() override { com_ = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED); }
    void TearDown() override {
        if (SUCCEEDED(com_)) CoUninitialize();
    }

    // Opens the picker as the export does (or at `initial`) while `steer` works the
    // dialog from another thread; the picker's answer.
    std::string Browse(const std::function<void(HWND)>& steer, const std::string& initial = "",
                       const std::string& title = "Bitte Verzeichnis wählen") {
        const DWORD thread = GetCurrentThreadId();
        bool seen = false;
        std::thread helper([&] {
            if (HWND dialog = WaitForFolderDialog(thread)) {
                seen = true;
                steer(dialog);
            }
        });
        const std::string chosen = BrowseForFolder(title, initial, nullptr, true);
        helper.join();
        EXPECT_TRUE(seen) << "no folder dialog";
        return chosen;
    }

    HRESULT com_ = E_FAIL;
    TempFolder temp_{"browse"};
};

// A folder with a short path (right below C:\), so that the status line can show
// it whole; removed at the end.
class ShortFolder {
public:
    ShortFolder() : path_("C:\\vtxb-" + std::to_string(GetCurrentProcessId())) {
        CreateDirectoryW(Widen(path_).c_str(), nullptr);
    }
    ~ShortFolder() { testing::RemoveTree(path_); }
    std::string operator/(const std::string& name) const { return path_ + "\\" + name; }

private:
    std::string path_;
};

TEST_F(FolderBrowseTest, ReturnsTheChosenFolderAndShowsItInTheStatusLine) {
    const ShortFolder folder;
    struct Case {
        std::string folder;
        std::string returned;
    };
    const Case cases[] = {
        {folder / "Ziel", folder / "Ziel"},
        {folder / "Ελληνικά 日本語", folder / "Ελληνικά 日本語"},
        // A drive root keeps its backslash.
        {"C:\\", "C:\\"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.folder);
        CreateDirectoryW(Widen(c.folder).c_str(), nullptr);
        std::string status;
        std::string title;
        const std::string chosen = Browse([&](HWND dialog) {
            title = ControlText(dialog, kTitleId);
            Select(dialog, c.folder);
            status = ControlText(dialog, kStatusId);
            Press(dialog, IDOK);
        });
        EXPECT_EQ(chosen, c.returned);
        EXPECT_EQ(title, "Bitte Verzeichnis wählen");
        // A short path is shown whole.
        EXPECT_EQ(status, "Auswahl: " + c.returned);
    }
}

TEST_F(FolderBrowseTest, ALongPathIsShortenedToFitTheStatusLine) {
    std::string folder = temp_.path();
    for (const char* name : {"Ein ziemlich langer Ordnername", "Noch ein langer Ordnername", "Und noch einer",
                             "Berichte für den Support"}) {
        folder += "\\";
        folder += name;
        ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr)) << folder;
    }
    std::string status;
    int textWidth = 0;
    int lineWidth = 0;
    const std::string chosen = Browse([&](HWND dialog) {
        Select(dialog, folder);
        status = ControlText(dialog, kStatusId);
        HWND line = GetDlgItem(dialog, kStatusId);
        RECT client{};
        GetClientRect(line, &client);
        lineWidth = client.right;
        HDC dc = GetDC(line);
        HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(line, WM_GETFONT, 0, 0)));
        const std::wstring text = Widen(status);
        SIZE size{};
        GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
        textWidth = size.cx;
        SelectObject(dc, old);
        ReleaseDC(line, dc);
        Press(dialog, IDOK);
    });
    EXPECT_EQ(chosen, folder);
    EXPECT_THAT(status, StartsWith("Auswahl: "));
    EXPECT_THAT(status, HasSubstr("..."));
    EXPECT_THAT(status, EndsWith("Berichte für den Support"));
    EXPECT_LE(textWidth, lineWidth) << status;
}

TEST_F(FolderBrowseTest, AnInitialFolderIsHighlightedAtTheStart) {
    const ShortFolder parent;
    const std::string folder = parent / "Vorgabe";
    ASSERT_TRUE(CreateDirectoryW(Widen(folder).c_str(), nullptr));
    std::string status;
    const std::string chosen = Browse([&](HWND dialog) {
        status = ControlText(dialog, kStatusId);
        Press(dialog, IDOK);
    }, folder);
    EXPECT_EQ(chosen, folder);
    EXPECT_EQ(status, "Auswahl: " + folder);
}

TEST_F(FolderBrowseTest, CancellingGivesNothing) {
    const std::string chosen = Browse([&](HWND dialog) {
        Select(dialog, temp_.path());
        Press(dialog, IDCANCEL);
    });
    EXPECT_EQ(chosen, "");
}

TEST(GetIdListFromPath, KnowsFoldersAndNothingElse) {
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    TempFolder temp("idlist");
    const ItemIdList list = GetIdListFromPath(temp.path());
    ASSERT_TRUE(list);
    wchar_t path[MAX_PATH] = {};
    ASSERT_TRUE(SHGetPathFromIDListW(list.get(), path));
    EXPECT_EQ(Narrow(path), temp.path());
    EXPECT_FALSE(GetIdListFromPath(""));
    EXPECT_FALSE(GetIdListFromPath(temp / "fehlt\\auch"));
    if (SUCCEEDED(com)) CoUninitialize();
}

}  // namespace
}  // namespace vtx
