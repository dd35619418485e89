#include "common/files_win.h"

#include <windows.h>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/handles_win.h"
#include "common/strings.h"
#include "common/unicode_win.h"
#include "fixtures/temp_folder_win.h"

namespace vtx {
namespace {

using ::testing::ElementsAre;
using ::testing::UnorderedElementsAre;
using ::testing::UnorderedElementsAreArray;
using vtx::testing::ReadFileBytes;
using vtx::testing::TempFolder;
using vtx::testing::WriteFileBytes;

// Outside the ANSI code page (1252), so a narrow API call would mangle it.
const std::string kGreek = "Ελληνικά";

void SetAttributes(const std::string& path, DWORD attributes) {
    ASSERT_TRUE(SetFileAttributesW(Widen(path).c_str(), attributes)) << path;
}

void MakeFolder(const std::string& path) { ASSERT_TRUE(CreateDirectoryW(Widen(path).c_str(), nullptr)) << path; }

void MakeFile(const std::string& path, const std::string& bytes = "x") {
    ASSERT_TRUE(WriteFileBytes(path, bytes)) << path;
}

// The root of a drive letter no drive uses (Wine maps only a few).
std::string MissingDriveRoot() {
    const DWORD drives = GetLogicalDrives();
    for (char letter = 'Q'; letter <= 'Y'; ++letter)
        if (!(drives & (1u << (letter - 'A')))) return std::string(1, letter) + ":\\";
    ADD_FAILURE() << "every drive letter from Q to Y is in use";
    return {};
}

TEST(FileAndDirExists, TellFilesFromFolders) {
    TempFolder temp("exists");
    MakeFile(temp / "plain.txt");
    MakeFile(temp / "hidden.ini");
    SetAttributes(temp / "hidden.ini", FILE_ATTRIBUTE_HIDDEN);
    MakeFile(temp / "readonly.txt");
    SetAttributes(temp / "readonly.txt", FILE_ATTRIBUTE_READONLY);
    MakeFile(temp / "system.dat");
    SetAttributes(temp / "system.dat", FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_HIDDEN);
    MakeFile(temp / (kGreek + ".ini"));
    MakeFolder(temp / "folder");
    MakeFolder(temp / kGreek);
    MakeFolder(temp / "hidden folder");
    SetAttributes(temp / "hidden folder", FILE_ATTRIBUTE_HIDDEN);

    struct Case {
        std::string path;
        bool file;
        bool dir;
    };
    const Case cases[] = {
        {temp / "plain.txt", true, false},
        {temp / "hidden.ini", true, false},
        {temp / "readonly.txt", true, false},
        {temp / "system.dat", true, false},
        {temp / (kGreek + ".ini"), true, false},
        {temp / "folder", false, true},
        {temp / "folder\\", false, true},
        {temp / kGreek, false, true},
        {temp / "hidden folder", false, true},
        {temp.path(), false, true},
        {"C:\\", false, true},
        {temp / "plain.txt\\", false, false},
        {temp / "missing.txt", false, false},
        {temp / "missing\\plain.txt", false, false},
        {temp / "bad<name>.txt", false, false},
        {MissingDriveRoot() + "x.txt", false, false},
        {MissingDriveRoot(), false, false},
        {"", false, false},
        // A NUL inside the text must not make it name the shorter path before it.
        {temp / "plain.txt" + std::string(1, '\0') + "x", false, false},
        {temp / "folder" + std::string(1, '\0') + "x", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileExists(c.path), c.file) << "FileExists " << c.path;
        EXPECT_EQ(DirExists(c.path), c.dir) << "DirExists " << c.path;
    }
}

TEST(CreatePath, CreatesEveryMissingLevel) {
    TempFolder temp("create");
    MakeFolder(temp / "old");
    MakeFile(temp / "old\\keep.txt", "keep");

    struct Case {
        std::string path;
        std::string mustExist;
    };
    const Case cases[] = {
        {temp / "a\\b\\c", temp / "a\\b\\c"},
        {temp / "d\\e\\", temp / "d\\e"},
        {temp / (kGreek + "\\Musik\\" + kGreek), temp / (kGreek + "\\Musik\\" + kGreek)},
        {temp / "old\\new", temp / "old\\new"},
        {temp / "old", temp / "old"},  // existing: true, contents untouched
        {temp.path(), temp.path()},
        {"C:\\", "C:\\"},
        // ".." and "." are resolved first: nothing is made on the way.
        {temp / "f\\..\\g\\.\\h", temp / "g\\h"},
    };
    for (const Case& c : cases) {
        EXPECT_TRUE(CreatePath(c.path)) << c.path;
        EXPECT_TRUE(DirExists(c.mustExist)) << c.mustExist;
    }
    EXPECT_FALSE(DirExists(temp / "f"));
    EXPECT_EQ(ReadFileBytes(temp / "old\\keep.txt"), "keep");
}

TEST(FileHelpers, TakePathsLongerThanTheOldLimit) {
    TempFolder temp("long");
    std::string deep = temp.path();
    while (deep.size() < 320) deep += "\\Ordner mit einem langen Namen";
    EXPECT_TRUE(CreatePath(deep));
    EXPECT_TRUE(DirExists(deep));
    MakeFile(deep + "\\Datei.txt", "tief");
    EXPECT_TRUE(FileExists(deep + "\\Datei.txt"));
    EXPECT_TRUE(FileExists(deep + "\\..\\" + GetFileName(deep, true) + "\\Datei.txt"));
    std::vector<std::string> entries;
    EXPECT_TRUE(GetDirEntries(deep, "*", entries, false, 0));
    EXPECT_EQ(entries, std::vector<std::string>{"Datei.txt"});
    const std::string top = temp / "Ordner mit einem langen Namen";
    EXPECT_TRUE(DeleteDirectory(top));
    EXPECT_FALSE(DirExists(top));
}

TEST(CreatePath, ReportsWhatCannotBeCreated) {
    TempFolder temp("createfail");
    MakeFile(temp / "blocker", "data");
    const std::string missingDrive = MissingDriveRoot();

    EXPECT_FALSE(CreatePath(missingDrive + "x"));
    EXPECT_FALSE(CreatePath(missingDrive + "x\\y"));
    // Nothing can be created for a missing drive's root; it is no success either.
    EXPECT_FALSE(CreatePath(missingDrive));
    EXPECT_FALSE(CreatePath(""));

    // A file where a level should be: false, and the file is intact.
    EXPECT_FALSE(CreatePath(temp / "blocker"));
    EXPECT_FALSE(CreatePath(temp / "blocker\\sub"));
    EXPECT_EQ(ReadFileBytes(temp / "blocker"), "data");

    // A level that cannot be made: the levels made before it stay.
    EXPECT_FALSE(CreatePath(temp / "made\\bad<name>\\sub"));
    EXPECT_TRUE(DirExists(temp / "made"));
}

// A folder with every kind of entry GetDirEntries tells apart.
class DirEntries : public ::testing::Test {
protected:
    void SetUp() override {
        MakeFile(temp_ / "a.txt");
        MakeFile(temp_ / "b.ini");
        MakeFile(temp_ / (kGreek + ".txt"));
        MakeFile(temp_ / "hidden.txt");
        SetAttributes(temp_ / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
        MakeFile(temp_ / "system.txt");
        SetAttributes(temp_ / "system.txt", FILE_ATTRIBUTE_SYSTEM);
        MakeFile(temp_ / "both.txt");
        SetAttributes(temp_ / "both.txt", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
        MakeFile(temp_ / "readonly.txt");
        SetAttributes(temp_ / "readonly.txt", FILE_ATTRIBUTE_READONLY);
        MakeFolder(temp_ / "sub");
        MakeFolder(temp_ / "sub.d");
        MakeFolder(temp_ / "hidden sub");
        SetAttributes(temp_ / "hidden sub", FILE_ATTRIBUTE_HIDDEN);
    }

    TempFolder temp_{"entries"};
};

TEST_F(DirEntries, TakesAnEntryOnlyWhenAllItsAttributesAreAskedFor) {
    struct Case {
        const char* pattern;
        bool foldersOnly;
        unsigned attributes;
        std::vector<std::string> expected;
    };
    const std::string greek = kGreek + ".txt";
    const Case cases[] = {
        {"*.*", false, 0, {"a.txt", "b.ini", greek, "readonly.txt"}},
        {"*.*", false, 2, {"a.txt", "b.ini", greek, "readonly.txt", "hidden.txt"}},
        {"*.*", false, 4, {"a.txt", "b.ini", greek, "readonly.txt", "system.txt"}},
        {"*.*", false, 6, {"a.txt", "b.ini", greek, "readonly.txt", "hidden.txt", "system.txt", "both.txt"}},
        // Files mode asking for directories takes the plain folders too.
        {"*.*", false, 16, {"a.txt", "b.ini", greek, "readonly.txt", "sub", "sub.d"}},
        {"*.txt", false, 0, {"a.txt", greek, "readonly.txt"}},
        {"b.ini", false, 0, {"b.ini"}},
        {"*", false, 0, {"a.txt", "b.ini", greek, "readonly.txt"}},
        // Folders mode: folders only, hidden ones when asked for.
        {"*.*", true, 0, {"sub", "sub.d"}},
        {"*.*", true, 2, {"sub", "sub.d", "hidden sub"}},
        {"*.*", true, 6, {"sub", "sub.d", "hidden sub"}},
        {"*.d", true, 0, {"sub.d"}},
    };
    for (const Case& c : cases) {
        std::vector<std::string> entries;
        EXPECT_TRUE(GetDirEntries(temp_.path(), c.pattern, entries, c.foldersOnly, c.attributes));
        EXPECT_THAT(entries, UnorderedElementsAreArray(c.expected))
            << "pattern " << c.pattern << " foldersOnly " << c.foldersOnly << " attributes " << c.attributes;
    }
}

TEST_F(DirEntries, NothingTakenLeavesOneEmptyEntry) {
    struct Case {
        std::string folder;
        const char* pattern;
        bool foldersOnly;
    };
    const Case cases[] = {
        {temp_.path(), "*.xyz", false},
        {temp_.path(), "hidden.txt", false},  // there, but not asked for
        {temp_.path(), "*.txt", true},        // files only, folders asked for
        {temp_ / "sub", "*.*", false},        // an empty folder
        {temp_ / "sub", "*.*", true},
        {temp_ / "missing", "*.*", false},
        {temp_ / "a.txt", "*.*", false},  // a file, not a folder
        {"", "*.*", true},  // names no folder (not the current drive's root)
        {"", "*.*", false},
        {MissingDriveRoot() + "x", "*.*", false},
    };
    for (const Case& c : cases) {
        std::vector<std::string> entries = {"stale", "entries"};
        EXPECT_FALSE(GetDirEntries(c.folder, c.pattern, entries, c.foldersOnly, 0)) << c.folder << " " << c.pattern;
        EXPECT_THAT(entries, ElementsAre("")) << c.folder << " " << c.pattern;
    }
}

TEST_F(DirEntries, FolderWithTrailingBackslash) {
    std::vector<std::string> entries;
    EXPECT_TRUE(GetDirEntries(temp_.path() + "\\", "*.ini", entries, false, 0));
    EXPECT_THAT(entries, ElementsAre("b.ini"));
}

// root: 2 files + hidden + system file, subfolders s1 and hidden h1;
// s1: 2 files and subfolder deep (1 file, 1 hidden file); h1: 1 file.
class CountFilesTree : public ::testing::Test {
protected:
    void SetUp() override {
        MakeFile(temp_ / "one.txt");
        MakeFile(temp_ / (kGreek + ".mp3"));
        MakeFile(temp_ / "hidden.txt");
        SetAttributes(temp_ / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
        MakeFile(temp_ / "system.txt");
        SetAttributes(temp_ / "system.txt", FILE_ATTRIBUTE_SYSTEM);
        MakeFile(temp_ / "s1\\a.txt");
        MakeFile(temp_ / "s1\\b.dat");
        MakeFile(temp_ / "s1\\deep\\c.txt");
        MakeFile(temp_ / "s1\\deep\\d.txt");
        SetAttributes(temp_ / "s1\\deep\\d.txt", FILE_ATTRIBUTE_HIDDEN);
        MakeFile(temp_ / "h1\\e.txt");
        SetAttributes(temp_ / "h1", FILE_ATTRIBUTE_HIDDEN);
    }

    TempFolder temp_{"count"};
};

TEST_F(CountFilesTree, CountsFilesAndFolders) {
    struct Case {
        const char* name;
        const char* filePattern;
        bool recurse;
        const char* folderPattern;
        long files;
        long folders;
    };
    const Case cases[] = {
        {"one level", "*.*", false, "*.*", 4, 2},
        {"whole tree", "*.*", true, "*.*", 9, 3},
        {"file pattern in every folder", "*.txt", true, "*.*", 7, 3},
        {"folder pattern limits the recursion", "*.*", true, "s*", 6, 1},
        {"no folder matches", "*.*", true, "none*", 4, 0},
    };
    for (const Case& c : cases) {
        // The counters are added to, not set.
        long files = 100;
        long folders = 10;
        EXPECT_EQ(CountFiles(temp_.path(), c.filePattern, files, c.recurse, c.folderPattern, folders), 100 + c.files)
            << c.name;
        EXPECT_EQ(files, 100 + c.files) << c.name;
        EXPECT_EQ(folders, 10 + c.folders) << c.name;
    }
}

TEST_F(CountFilesTree, MissingFolderAddsNothing) {
    long files = 3;
    long folders = 4;
    EXPECT_EQ(CountFiles(temp_ / "missing", "*.*", files, true, "*.*", folders), 3);
    EXPECT_EQ(folders, 4);
    EXPECT_EQ(CountFiles(temp_ / "s1\\deep\\c.txt", "*.*", files, true, "*.*", folders), 3);
    EXPECT_EQ(folders, 4);
    EXPECT_EQ(CountFiles("", "*.*", files, true, "*.*", folders), 3);  // not the current drive's root
    EXPECT_EQ(folders, 4);
}

TEST(CountLines, CountsLinesOfRealFiles) {
    TempFolder temp("lines");
    // A CR LF split across the reader's chunks must count once.
    const std::string straddle = std::string(64 * 1024 - 1, 'x') + "\r\n" + "y";
    std::string manyLines;
    for (int i = 0; i < 100000; ++i) manyLines += "Zeile " + std::to_string(i) + "\r\n";

    struct Case {
        std::string name;
        std::string bytes;
        long expected;
    };
    const Case cases[] = {
        {"empty.txt", "", 0},
        {"crlf.txt", "eins\r\nzwei\r\n", 2},
        {"open end.txt", "eins\r\nzwei", 2},
        {"lf only.txt", "eins\nzwei\ndrei\n", 1},
        {"cr only.txt", "eins\rzwei\rdrei", 3},
        {kGreek + ".log", "α\r\nβ\r\n", 2},
        {"straddle.txt", straddle, 2},
        {"many.txt", manyLines, 100000},
    };
    for (const Case& c : cases) {
        MakeFile(temp / c.name, c.bytes);
        EXPECT_EQ(CountLines(temp / c.name), c.expected) << c.name;
    }
}

TEST(CountLines, GivesZeroForWhatCannotBeRead) {
    TempFolder temp("linesfail");
    MakeFile(temp / "locked.txt", "a\r\nb\r\n");
    MakeFile(temp / "hidden.txt", "a\r\nb\r\n");
    SetAttributes(temp / "hidden.txt", FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(temp / "folder");

    EXPECT_EQ(CountLines(temp / "missing.txt"), 0);
    EXPECT_EQ(CountLines(temp / "folder"), 0);
    EXPECT_EQ(CountLines(""), 0);
    EXPECT_EQ(CountLines(temp / "hidden.txt"), 2);  // hidden files exist and are read
    {
        FileHandle exclusive(CreateFileW(Widen(temp / "locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
        ASSERT_TRUE(exclusive);
        EXPECT_EQ(CountLines(temp / "locked.txt"), 0);
    }
    EXPECT_EQ(CountLines(temp / "locked.txt"), 2);
}

TEST(IsAdmin, AgreesWithTheTokensAdministratorsMembership) {
    SID_IDENTIFIER_AUTHORITY nt = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    ASSERT_TRUE(AllocateAndInitializeSid(&nt, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                         0, &administrators));
    BOOL member = FALSE;
    const BOOL checked = CheckTokenMembership(nullptr, administrators, &member);
    FreeSid(administrators);
    ASSERT_TRUE(checked);
    EXPECT_EQ(IsAdmin(), member != FALSE);
}

TEST(DeleteDirectory, DeletesANestedTree) {
    TempFolder temp("delete");
    const std::string tree = temp / "tree";
    MakeFile(tree + "\\a.txt");
    MakeFile(tree + "\\" + kGreek + ".ini");
    MakeFile(tree + "\\one\\b.txt");
    MakeFile(tree + "\\one\\two\\three\\c.txt");
    MakeFile(tree + "\\" + kGreek + "\\" + kGreek + "\\d.txt");
    MakeFolder(tree + "\\empty");
    MakeFolder(tree + "\\one\\empty too");
    MakeFile(temp / "neighbour.txt", "stays");

    EXPECT_TRUE(DeleteDirectory(tree));
    EXPECT_FALSE(DirExists(tree));
    EXPECT_FALSE(FileExists(tree + "\\" + kGreek + ".ini"));
    EXPECT_EQ(ReadFileBytes(temp / "neighbour.txt"), "stays");

    // A trailing backslash names the same folder.
    MakeFile(tree + "\\again\\x.txt");
    EXPECT_TRUE(DeleteDirectory(tree + "\\"));
    EXPECT_FALSE(DirExists(tree));
}

TEST(DeleteDirectory, StopsAtWhatCannotBeDeleted) {
    struct Case {
        const char* name;
        std::string blocker;  // relative to the tree
        DWORD attributes;
    };
    const Case cases[] = {
        // Hidden and system entries are not listed, so their folder stays non-empty.
        {"hidden file", "hidden.txt", FILE_ATTRIBUTE_HIDDEN},
        {"system file deep down", "one\\two\\system.txt", FILE_ATTRIBUTE_SYSTEM},
        {"hidden file in a subfolder", "one\\hidden.txt", FILE_ATTRIBUTE_HIDDEN},
        {"read-only file", "one\\readonly.txt", FILE_ATTRIBUTE_READONLY},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder temp("deletefail");
        const std::string tree = temp / "tree";
        MakeFile(tree + "\\plain.txt");
        MakeFile(tree + "\\one\\plain.txt");
        MakeFile(tree + "\\one\\two\\plain.txt");
        MakeFile(tree + "\\" + c.blocker, "kept");
        SetAttributes(tree + "\\" + c.blocker, c.attributes);

        EXPECT_FALSE(DeleteDirectory(tree));
        EXPECT_TRUE(DirExists(tree));
        EXPECT_EQ(ReadFileBytes(tree + "\\" + c.blocker), "kept");
    }
}

TEST(DeleteDirectory, RefusesWhatIsNoDeletableFolder) {
    TempFolder temp("deletenone");
    MakeFile(temp / "file.txt", "stays");
    EXPECT_FALSE(DeleteDirectory(temp / "missing"));
    EXPECT_FALSE(DeleteDirectory(temp / "file.txt"));
    EXPECT_FALSE(DeleteDirectory(MissingDriveRoot() + "x"));
    // A drive root however it is spelled: refused before anything is touched.
    EXPECT_FALSE(DeleteDirectory(temp / "..\\..\\..\\..\\..\\..\\.."));
    EXPECT_FALSE(DeleteDirectory("C:/"));
    EXPECT_EQ(ReadFileBytes(temp / "file.txt"), "stays");
}

}  // namespace
}  // namespace vtx
