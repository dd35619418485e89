#include "report/file_version.h"

#include <gtest/gtest.h>

namespace vtx {
namespace {

constexpr uint32_t Word(uint32_t high, uint32_t low) { return high << 16 | low; }

TEST(FileVersion, SplitsWordsExactlyAtBit16) {
    struct Case {
        uint32_t word;
        uint16_t high, low;
    };
    const Case cases[] = {
        {0x0001FFFFu, 1, 65535}, {0xFFFF0001u, 65535, 1}, {0x80008000u, 32768, 32768},
        {0xFFFFFFFFu, 65535, 65535}, {0x00010000u, 1, 0}, {0u, 0, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HiWord(c.word), c.high) << std::hex << c.word;
        EXPECT_EQ(LoWord(c.word), c.low) << std::hex << c.word;
    }
}

TEST(FileVersion, FormatsTheDottedVersion) {
    struct Case {
        uint32_t major, minor, build, revision;
        const char* expected;
    };
    const Case cases[] = {
        {6, 1, 7601, 17514, "6.01.7601.17514"},
        {2, 5, 0, 3, "2.05.00.03"},
        {1, 0, 0, 0, "1.00.0000"},
        {10, 0, 19041, 1, "10.00.19041.01"},
        {0, 9, 0, 0, "0.09.0000"},
        {6, 2, 0, 15, "6.02.00.15"},
        // Parts of 32768 and more are unsigned; a zero revision with a build is still four parts.
        {1, 40000, 0, 50000, "1.40000.00.50000"},
        {3, 0, 40000, 0, "3.00.40000.00"},
        {65535, 65535, 65535, 65535, "65535.65535.65535.65535"},
        {1, 65535, 1, 65535, "1.65535.01.65535"},
        {0, 0, 0, 1, "0.00.00.01"},
        {0, 0, 1, 0, "0.00.01.00"},
        {0, 0, 0, 0, "0.00.0000"},
        {100, 10, 10, 10, "100.10.10.10"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FormatFileVersion(Word(c.major, c.minor), Word(c.build, c.revision)), c.expected)
            << c.major << "." << c.minor << "." << c.build << "." << c.revision;
}

}  // namespace
}  // namespace vtx
