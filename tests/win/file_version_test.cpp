// The version reader against programs with real version resources, built by the
// build into the fixtures folder.
#include <gtest/gtest.h>

#include "fixtures/sample_install_win.h"
#include "fixtures/temp_folder_win.h"
#include "report/file_version_win.h"

namespace vtx {
namespace {

using testing::FixtureProgramsDir;

TEST(GetFileVersionString, ReadsTheFixedFileVersion) {
    struct Case {
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {"v6.1.7601.17514.exe", "6.01.7601.17514"},
        {"v2.5.0.3.exe", "2.05.00.03"},
        {"v1.0.0.0.exe", "1.00.0000"},
        {"v10.0.19041.1.exe", "10.00.19041.01"},
        {"v1.40000.0.50000.exe", "1.40000.00.50000"},
        {"v3.0.40000.0.exe", "3.00.40000.00"},
        {"v0.9.0.0.exe", "0.09.0000"},
        {"v1.65535.1.65535.exe", "1.65535.01.65535"},
        {"Velatrix-Tunes 6.exe", "6.02.00.15"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(GetFileVersionString(FixtureProgramsDir() + "\\" + c.file), c.expected) << c.file;
}

TEST(GetFileVersionString, EmptyWithoutAVersionRecord) {
    testing::TempFolder temp("vtx version");
    ASSERT_TRUE(testing::WriteFileBytes(temp / "Liesmich.txt", "kein Programm\r\n"));
    const std::string cases[] = {
        FixtureProgramsDir() + "\\NoVersion.exe",
        // A version block whose root holds no fixed record.
        FixtureProgramsDir() + "\\NoFixedRecord.exe",
        temp / "Liesmich.txt",
        temp / "Fehlt.exe",
        temp / "Kein Ordner\\Fehlt.exe",
        temp.path(),
        "",
    };
    for (const std::string& path : cases) EXPECT_EQ(GetFileVersionString(path), "") << "'" << path << "'";
}

TEST(GetFileVersionString, ReadsPathsOutsideTheAnsiCodePage) {
    testing::TempFolder temp("vtx version");
    const std::string copy = temp / "Ελληνικά 版本.exe";
    ASSERT_TRUE(testing::WriteFileBytes(copy, testing::ReadFileBytes(FixtureProgramsDir() + "\\v2.5.0.3.exe")));
    EXPECT_EQ(GetFileVersionString(copy), "2.05.00.03");
}

}  // namespace
}  // namespace vtx
