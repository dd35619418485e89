#include "common/strings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace vtx {
namespace {

TEST(GetField, SplitsAndJoinsFields) {
    struct Case {
        const char* source;
        int index;
        const char* delimiter;
        int count;
        const char* expected;
    };
    const Case cases[] = {
        // No delimiter in the source: "" for every index.
        {"abc", 1, ";", 1, ""},
        {"abc", 1, ";", 3, ""},
        {"", 1, ";", 1, ""},
        // A delimiter at the end gives an empty last field.
        {"abc;", 1, ";", 1, "abc"},
        {"abc;", 2, ";", 1, ""},
        {"abc;", 1, ";", 2, "abc;;"},
        // Count below 2: the field itself, "" when it does not exist.
        {"a;b", 1, ";", 1, "a"},
        {"a;b", 2, ";", 0, "b"},
        {"a;b", 3, ";", 1, ""},
        {"a;b", 0, ";", 1, ""},
        {"a;b", -1, ";", 1, ""},
        // Count 2 or more: each field with its delimiter, up to the first missing one.
        {"a;b", 2, ";", 5, "b;"},
        {"a;b", 1, ";", 2, "a;b;"},
        {"a;b", 3, ";", 2, ""},
        {"a;b", 0, ";", 2, ""},
        {"C:\\A\\B\\", 1, "\\", 2, "C:\\A\\"},
        {"C:\\A\\B\\", 1, "\\", 4, "C:\\A\\B\\\\"},
        // Adjacent delimiters give an empty field between them.
        {"a;;c", 2, ";", 1, ""},
        {"a;;c", 3, ";", 1, "c"},
        {"a;;c", 1, ";", 3, "a;;c;"},
        // Delimiters longer than one character; the search is exact.
        {"x<>y<>z", 2, "<>", 1, "y"},
        {"x<>y<>z", 2, "<>", 2, "y<>z<>"},
        {"aXb", 1, "x", 1, ""},
        // Index and count at the ends of their range must not overflow.
        {"a;b", 2, ";", 2147483647, "b;"},
        {"a;b", 2147483647, ";", 2, ""},
        // An empty delimiter splits nothing.
        {"abc", 1, "", 1, "abc"},
        {"abc", 2, "", 1, ""},
        {"", 1, "", 1, ""},
        // UTF-8 text passes through byte for byte.
        {"Ελληνικά;Straße", 2, ";", 1, "Straße"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(GetField(c.source, c.index, c.delimiter, c.count), c.expected)
            << "source '" << c.source << "' index " << c.index << " delimiter '" << c.delimiter << "' count "
            << c.count;
    }
}

TEST(CountSubstring, CountsOverlappingMatches) {
    struct Case {
        const char* text;
        const char* search;
        int expected;
    };
    const Case cases[] = {
        {"", "a", 0},
        {"", "", 0},
        {"abc", "", 0},
        {"aaa", "aa", 2},
        {"aaaa", "a", 4},
        {"abc", "abcd", 0},
        {"Abc", "a", 0},
        {"C:\\A\\B\\", "\\", 3},
        {"\\\\server\\share\\", "\\", 4},
        {"abab", "ab", 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CountSubstring(c.text, c.search), c.expected) << "'" << c.text << "' / '" << c.search << "'";
}

TEST(PathParts, TakesPathsApart) {
    struct Case {
        const char* path;
        const char* name;       // GetFileName, with extension
        const char* bareName;   // GetFileName, without extension
        const char* extension;  // GetExtension
        const char* parent;     // GetParentPath
    };
    const Case cases[] = {
        {"C:\\dir\\song.mp3", "song.mp3", "song", "mp3", "C:\\dir"},
        {"C:\\dir\\a.b.txt", "a.b.txt", "a.b", "txt", "C:\\dir"},
        {"C:\\file.txt", "file.txt", "file", "txt", "C:"},
        {"C:\\dir\\README", "README", "README", "", "C:\\dir"},
        // Only the dot counts for the extension, not the backslash.
        {"C:\\my.dir\\README", "README", "README", "dir\\README", "C:\\my.dir"},
        {"C:\\x.y\\file", "file", "file", "y\\file", "C:\\x.y"},
        // No backslash: the whole path is the name, and there is no parent.
        {"song.MP3", "song.MP3", "song", "MP3", ""},
        {"README", "README", "README", "", ""},
        {"", "", "", "", ""},
        // A trailing backslash leaves an empty name.
        {"C:\\dir\\", "", "", "", "C:\\dir"},
        {"C:\\", "", "", "", "C:"},
        {".hidden", ".hidden", "", "hidden", ""},
        {"C:\\dir\\name.", "name.", "name", "", "C:\\dir"},
        {"\\\\server\\share\\Lied ä.wav", "Lied ä.wav", "Lied ä", "wav", "\\\\server\\share"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        EXPECT_EQ(GetFileName(c.path, true), c.name);
        EXPECT_EQ(GetFileName(c.path, false), c.bareName);
        EXPECT_EQ(GetExtension(c.path), c.extension);
        EXPECT_EQ(GetParentPath(c.path), c.parent);
    }
}

TEST(CreatePathLevels, ListsEachPrefixToCreate) {
    using Levels = std::vector<std::string>;
    struct Case {
        const char* path;
        Levels expected;
    };
    const Case cases[] = {
        {"D:\\Daten\\Export\\USR", {"D:\\Daten\\", "D:\\Daten\\Export\\", "D:\\Daten\\Export\\USR\\"}},
        {"D:\\Daten\\Export\\USR\\", {"D:\\Daten\\", "D:\\Daten\\Export\\", "D:\\Daten\\Export\\USR\\"}},
        {"C:\\A", {"C:\\A\\"}},
        {"\\\\server\\share\\dir", {"\\\\server\\share\\", "\\\\server\\share\\dir\\"}},
        {"\\\\server\\share", {"\\\\server\\share\\"}},
        {"\\\\server\\share\\", {"\\\\server\\share\\"}},
        // Nothing to create: drive roots, a bare server, single names.
        {"C:\\", {}},
        {"C:", {}},
        {"\\\\server", {}},
        {"\\\\", {}},
        {"name", {}},
        {"name\\", {}},
        {"", {}},
        {"\\", {}},
        {"C:\\Ελληνικά\\Musik", {"C:\\Ελληνικά\\", "C:\\Ελληνικά\\Musik\\"}},
    };
    for (const Case& c : cases) EXPECT_EQ(CreatePathLevels(c.path), c.expected) << "path '" << c.path << "'";
}

TEST(IsRootFolder, TellsDrivesAndSharesFromFolders) {
    struct Case {
        const char* path;
        bool root;
    };
    const Case cases[] = {
        {"", true},
        {"\\", true},
        {"\\\\", true},
        {"C:", true},
        {"C:\\", true},
        {"C:\\\\", true},
        {"\\\\server", true},
        {"\\\\server\\", true},
        {"\\\\server\\share", true},
        {"\\\\server\\share\\", true},
        {"C:\\x", false},
        {"C:\\x\\", false},
        {"\\x", false},
        {"x", false},
        {"\\\\server\\share\\dir", false},
        {"C:\\Ελληνικά", false},
    };
    for (const Case& c : cases) EXPECT_EQ(IsRootFolder(c.path), c.root) << "path '" << c.path << "'";
}

long CountInChunks(const std::vector<std::string>& chunks) {
    LineCounter counter;
    for (const std::string& chunk : chunks) counter.Feed(chunk);
    return counter.Finish();
}

TEST(LineCounter, CountsCrAndCrLfLineEnds) {
    struct Case {
        const char* name;
        std::string text;
        long expected;
    };
    const Case cases[] = {
        {"empty", "", 0},
        {"one line without end", "abc", 1},
        {"CR LF ends", "a\r\nb\r\n", 2},
        {"last line without end", "a\r\nb", 2},
        {"lone CR ends", "a\rb\rc", 3},
        {"LF only is one line", "a\nb\nc\n", 1},
        {"just an LF", "\n", 1},
        {"empty lines", "\r\n\r\n\r\n", 3},
        {"CR CR", "\r\r", 2},
        {"LF CR", "\n\r", 1},
        {"LF after CR LF starts a line", "a\r\n\n", 2},
        {"LF after CR LF then CR", "a\r\n\n\r", 2},
        {"NUL bytes are text", std::string("\0\0", 2), 1},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CountInChunks({c.text}), c.expected) << c.name << " (whole)";
        // Every split into two chunks gives the same count.
        for (size_t at = 0; at <= c.text.size(); ++at)
            EXPECT_EQ(CountInChunks({c.text.substr(0, at), c.text.substr(at)}), c.expected)
                << c.name << " (split at " << at << ")";
    }
}

TEST(LineCounter, CrLfAcrossManyChunksCountsOnce) {
    // One byte per chunk, with empty chunks in between.
    const std::string text = "eins\r\nzwei\r\n\r\ndrei\rvier\n";
    std::vector<std::string> chunks;
    for (char byte : text) {
        chunks.emplace_back(1, byte);
        chunks.emplace_back();
    }
    EXPECT_EQ(CountInChunks(chunks), 5);
}

}  // namespace
}  // namespace vtx
