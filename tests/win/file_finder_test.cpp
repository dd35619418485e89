// The file finder on real folders: which files the export's mask takes, the order
// of the walk, and the pump that runs between entries.
#include "export/file_finder_win.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/unicode_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;
using vtx::testing::TempFolder;
using vtx::testing::WriteFileBytes;

// Makes a file with the attributes and returns those the file system reports:
// Wine adds the archive bit to every file.
DWORD MakeFile(const std::string& path, DWORD attributes) {
    EXPECT_TRUE(WriteFileBytes(path, "x")) << path;
    EXPECT_TRUE(SetFileAttributesW(Widen(path).c_str(), attributes)) << path;
    const DWORD actual = GetFileAttributesW(Widen(path).c_str());
    constexpr DWORD kLoose = FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_NORMAL;
    EXPECT_EQ(actual & ~kLoose, attributes & ~kLoose) << path;
    return actual;
}

void MakeFolder(const std::string& path, DWORD attributes = 0) {
    ASSERT_TRUE(CreateDirectoryW(Widen(path).c_str(), nullptr)) << path;
    if (attributes) {
        ASSERT_TRUE(SetFileAttributesW(Widen(path).c_str(), attributes)) << path;
    }
}

const MessagePump kNoPump = &NoMessagePump;

// The files of `folder` alone (its subfolders not read) the walk reports,
// checking FoundPath on every call.
std::vector<std::string> FilesFound(const std::string& folder, unsigned mask) {
    std::vector<std::string> found;
    EXPECT_TRUE(WalkTree(
        folder, mask, [](const WalkedFolder& walked) { return walked.root; },
        [&](const std::string& path) {
            EXPECT_EQ(path, FoundPath);
            found.push_back(path);
        },
        kNoPump));
    return found;
}

TEST(WalkTree, TakesFilesByTheExportMask) {
    TempFolder temp("finder-files");
    const std::string root = temp.path();
    const std::string folder = root + "\\";
    struct Case {
        const char* name;
        DWORD attributes;
        bool taken;
    };
    // Which bits count is settled by MaskAccepts' own table; here the real
    // attributes of real entries must reach it. Where the file system adds the
    // archive bit (Wine), hidden-only and system-only files become hidden+archive
    // and system+archive files, and are taken like those.
    const Case cases[] = {
        {"archive.txt", FILE_ATTRIBUTE_ARCHIVE, true},
        {"normal.txt", FILE_ATTRIBUTE_NORMAL, true},
        {"readonly.dll", FILE_ATTRIBUTE_READONLY, true},
        {"hidden.ini", FILE_ATTRIBUTE_HIDDEN, false},
        {"system.sys", FILE_ATTRIBUTE_SYSTEM, false},
        {"hidden system.dat", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, false},
        {"hidden archive.ini", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, true},
        {"system readonly.dat", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY, true},
        // Names outside the ANSI code page reach the callback intact.
        {"Ελληνικά.ini", FILE_ATTRIBUTE_ARCHIVE, true},
        {"日本語.mp3", FILE_ATTRIBUTE_ARCHIVE, true},
    };
    std::vector<std::string> expected;
    for (const Case& c : cases) {
        const DWORD actual = MakeFile(folder + c.name, c.attributes);
        const bool archiveAdded = (actual & FILE_ATTRIBUTE_ARCHIVE) && !(c.attributes & FILE_ATTRIBUTE_ARCHIVE);
        if (c.taken || archiveAdded) expected.push_back(folder + c.name);
    }
    MakeFolder(folder + "sub");
    MakeFolder(folder + "hidden sub", FILE_ATTRIBUTE_HIDDEN);

    // Subfolders, "." and ".." are never files, whatever the mask.
    EXPECT_THAT(FilesFound(root, kExportAttributeMask), UnorderedElementsAreArray(expected));
    EXPECT_THAT(FilesFound(root, kExportAttributeMask | kDirectoryAttribute), UnorderedElementsAreArray(expected));
    EXPECT_THAT(FilesFound(root, kDirectoryAttribute), ElementsAre());

    // A folder that does not exist is an empty folder.
    EXPECT_THAT(FilesFound(folder + "missing", kExportAttributeMask), ElementsAre());
}

TEST(WalkTree, ReportsEveryFolderBeforeItsFilesAndSubfolders) {
    TempFolder temp("finder-folders");
    const std::string root = temp.path();
    for (const char* folder : {"a", "a\\b", "a\\b\\c", "a\\d", "Ελληνικά", "Ελληνικά\\日本語"}) MakeFolder(root + "\\" + folder);
    MakeFolder(root + "\\hidden", FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(root + "\\hidden\\system", FILE_ATTRIBUTE_SYSTEM);
    MakeFile(root + "\\a\\file.txt", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile(root + "\\a\\b\\c\\deep.txt", FILE_ATTRIBUTE_ARCHIVE);
    MakeFile(root + "\\top.txt", FILE_ATTRIBUTE_ARCHIVE);

    for (const std::string& start : {root, root + "\\"}) {
        SCOPED_TRACE(start);
        std::vector<std::string> found;  // folders, and files behind a "+"
        EXPECT_TRUE(WalkTree(
            start, kExportAttributeMask,
            [&](const WalkedFolder& folder) {
                EXPECT_EQ(folder.root, found.empty()) << folder.path;
                EXPECT_FALSE(folder.linked) << folder.path;
                found.push_back(folder.path);
                return true;
            },
            [&](const std::string& file) { found.push_back("+" + file); }, kNoPump));
        // Each file (one per folder here) comes right after its folder, before the
        // folder's subfolders, named by the folder's text and a backslash.
        const std::pair<std::string, const char*> files[] = {
            {start, "top.txt"}, {root + "\\a", "file.txt"}, {root + "\\a\\b\\c", "deep.txt"}};
        for (const auto& [folderText, name] : files) {
            const std::string path = folderText + "\\" + name;
            const auto at = std::find(found.begin(), found.end(), "+" + path);
            ASSERT_NE(at, found.end()) << path;
            EXPECT_EQ(*std::prev(at), folderText) << path;
        }
        std::erase_if(found, [](const std::string& entry) { return entry.starts_with("+"); });
        // The root exactly as passed, first; below it no trailing backslash.
        ASSERT_FALSE(found.empty());
        EXPECT_EQ(found.front(), start);
        const std::vector<std::string> below(found.begin() + 1, found.end());
        EXPECT_THAT(below, UnorderedElementsAre(root + "\\a", root + "\\a\\b", root + "\\a\\b\\c", root + "\\a\\d",
                                                root + "\\Ελληνικά", root + "\\Ελληνικά\\日本語", root + "\\hidden",
                                                root + "\\hidden\\system"));
        for (size_t i = 1; i < found.size(); ++i) {
            const std::string parent = found[i].substr(0, found[i].rfind('\\'));
            const auto at = std::find_if(found.begin(), found.end(), [&](const std::string& f) {
                return f == parent || f == parent + "\\";
            });
            EXPECT_LT(at - found.begin(), static_cast<std::ptrdiff_t>(i)) << found[i];
        }
    }

    // A folder the callback declines is reported, its subfolders are not.
    std::vector<std::string> found;
    std::vector<std::string> files;
    WalkTree(
        root, kExportAttributeMask,
        [&](const WalkedFolder& folder) {
            found.push_back(folder.path);
            return folder.path != root + "\\a";
        },
        [&](const std::string& file) { files.push_back(file); }, kNoPump);
    EXPECT_THAT(found, ::testing::Contains(root + "\\a"));
    EXPECT_THAT(found, ::testing::Not(::testing::Contains(root + "\\a\\b")));
    EXPECT_THAT(found, ::testing::Contains(root + "\\Ελληνικά\\日本語"));
    // ...and its files are not read either.
    EXPECT_THAT(files, ElementsAre(root + "\\top.txt"));

    // A root that does not exist is reported once, and the walk ends.
    found.clear();
    EXPECT_TRUE(WalkTree(
        root + "\\missing", kExportAttributeMask,
        [&](const WalkedFolder& folder) {
            found.push_back(folder.path);
            return true;
        },
        [](const std::string& file) { ADD_FAILURE() << file; }, kNoPump));
    EXPECT_THAT(found, ElementsAre(root + "\\missing"));
}

TEST(FinderPump, RunsBetweenEntriesAndStopsTheWalk) {
    TempFolder temp("finder-pump");
    const std::string root = temp.path();
    for (const char* name : {"1.txt", "2.txt", "3.txt"}) MakeFile(root + "\\" + name, FILE_ATTRIBUTE_ARCHIVE);
    for (const char* name : {"x", "y", "z"}) MakeFolder(root + "\\" + name);

    const auto walk = [&](int& folders, int& files, const MessagePump& pump) {
        folders = files = 0;
        return WalkTree(
            root, kExportAttributeMask, [&](const WalkedFolder&) { return ++folders, true; },
            [&](const std::string&) { ++files; }, pump);
    };
    // After every folder and every entry of its search ("." and ".." included).
    int pumps = 0;
    int folders = 0;
    int files = 0;
    EXPECT_TRUE(walk(folders, files, [&] { return ++pumps, true; }));
    EXPECT_EQ(folders, 4);
    EXPECT_EQ(files, 3);
    EXPECT_GE(pumps, 4 + 8 + 3 * 2);

    // A pump that says stop ends the walk at once, with nothing more reported.
    EXPECT_FALSE(walk(folders, files, [] { return false; }));
    EXPECT_EQ(folders, 1);
    EXPECT_EQ(files, 0);
    // Also in the middle of a folder: what was reported when the pump said stop is
    // all there is.
    int reportedAtStop = -1;
    pumps = 0;
    EXPECT_FALSE(walk(folders, files, [&] {
        if (++pumps < 6) return true;
        reportedAtStop = folders + files;
        return false;
    }));
    EXPECT_EQ(folders + files, reportedAtStop);
}

LRESULT CALLBACK CountingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
        ++*reinterpret_cast<int*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(PumpPendingMessages, DispatchesWaitingMessagesAndKeepsAQuitRequest) {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &CountingProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"VtxPumpTest";
    RegisterClassW(&windowClass);
    HWND window = CreateWindowExW(0, L"VtxPumpTest", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    int dispatched = 0;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&dispatched));

    PostMessageW(window, WM_APP, 0, 0);
    PostMessageW(window, WM_APP, 0, 0);
    EXPECT_TRUE(PumpPendingMessages());
    EXPECT_EQ(dispatched, 2);

    // A quit request stops the walk and stays for the main loop, however often the
    // pump runs meanwhile.
    PostQuitMessage(7);
    EXPECT_FALSE(PumpPendingMessages());
    EXPECT_FALSE(PumpPendingMessages());
    MSG message{};
    ASSERT_TRUE(PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(message.wParam, 7u);
    EXPECT_FALSE(PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    DestroyWindow(window);
}

}  // namespace
}  // namespace vtx
