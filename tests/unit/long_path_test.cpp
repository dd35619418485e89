#include "common/long_path.h"

#include <gtest/gtest.h>

namespace vtx {
namespace {

TEST(ExtendedPath, ResolvesAndExtendsAbsolutePathsAndLeavesTheRestAlone) {
    struct Case {
        const char* path;
        const char* resolved;
        const char* extended;
    };
    const Case cases[] = {
        // Drive paths.
        {"C:\\Programme\\Jukebox", "C:\\Programme\\Jukebox", "\\\\?\\C:\\Programme\\Jukebox"},
        {"c:\\", "c:\\", "\\\\?\\c:\\"},
        {"D:\\Ziel\\", "D:\\Ziel\\", "\\\\?\\D:\\Ziel\\"},
        {"C:\\Ziel\\*", "C:\\Ziel\\*", "\\\\?\\C:\\Ziel\\*"},
        // Forward slashes, doubled backslashes (a drive root chosen in the picker
        // followed by "\VTX Umgebung"), "." and "..".
        {"C:/Musik/Rock/", "C:\\Musik\\Rock\\", "\\\\?\\C:\\Musik\\Rock\\"},
        {"C:\\\\VTX Umgebung", "C:\\VTX Umgebung", "\\\\?\\C:\\VTX Umgebung"},
        {"C:\\a\\.\\b\\..\\c", "C:\\a\\c", "\\\\?\\C:\\a\\c"},
        {"C:\\a\\b\\..\\..\\..\\..\\c", "C:\\c", "\\\\?\\C:\\c"},
        {"C:\\a\\..", "C:\\", "\\\\?\\C:\\"},
        {"C:\\a\\.", "C:\\a", "\\\\?\\C:\\a"},
        {"C:\\a\\.\\", "C:\\a\\", "\\\\?\\C:\\a\\"},
        // Names that only look like dots are names.
        {"C:\\...\\.x\\x.", "C:\\...\\.x\\x.", "\\\\?\\C:\\...\\.x\\x."},
        // UNC paths: ".." never climbs above the share.
        {"\\\\server\\share\\Jukebox", "\\\\server\\share\\Jukebox", "\\\\?\\UNC\\server\\share\\Jukebox"},
        {"\\\\server\\share", "\\\\server\\share\\", "\\\\?\\UNC\\server\\share\\"},
        {"//server/share/a/../../b", "\\\\server\\share\\b", "\\\\?\\UNC\\server\\share\\b"},
        {"\\\\server\\\\share\\a", "\\\\server\\share\\a", "\\\\?\\UNC\\server\\share\\a"},
        // UTF-8 passes byte for byte.
        {"C:\\Müller\\日本語\\..\\Ελληνικά.ini", "C:\\Müller\\Ελληνικά.ini", "\\\\?\\C:\\Müller\\Ελληνικά.ini"},
        // Already extended, device paths: unchanged.
        {"\\\\?\\C:\\a\\..\\b", "\\\\?\\C:\\a\\..\\b", "\\\\?\\C:\\a\\..\\b"},
        {"\\\\?\\UNC\\server\\share", "\\\\?\\UNC\\server\\share", "\\\\?\\UNC\\server\\share"},
        {"\\\\.\\PhysicalDrive0", "\\\\.\\PhysicalDrive0", "\\\\.\\PhysicalDrive0"},
        // Relative paths and incomplete roots: unchanged.
        {"", "", ""},
        {"Init.vtx", "Init.vtx", "Init.vtx"},
        {"a\\..\\b", "a\\..\\b", "a\\..\\b"},
        {"C:", "C:", "C:"},
        {"C:a\\b", "C:a\\b", "C:a\\b"},
        {"\\Programme", "\\Programme", "\\Programme"},
        {"\\\\server", "\\\\server", "\\\\server"},
        {"\\\\server\\", "\\\\server\\", "\\\\server\\"},
        {"1:\\a", "1:\\a", "1:\\a"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ResolvedPath(c.path), c.resolved) << c.path;
        EXPECT_EQ(ExtendedPath(c.path), c.extended) << c.path;
    }
}

TEST(ExtendedPath, KeepsPathsLongerThanTheOldLimitWhole) {
    std::string path = "C:\\";
    for (int i = 0; i < 40; ++i) path += "Ordner " + std::to_string(i) + "\\";
    path += "Datei.ini";
    ASSERT_GT(path.size(), 300u);
    EXPECT_EQ(ExtendedPath(path), "\\\\?\\" + path);
    EXPECT_EQ(ExtendedPath(path + "\\..\\x"), "\\\\?\\" + path.substr(0, path.size() - 9) + "x");
}

}  // namespace
}  // namespace vtx
