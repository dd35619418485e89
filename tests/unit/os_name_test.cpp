#include "report/os_name.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace vtx {
namespace {

VersionRecord Record(uint32_t platform, uint32_t major, uint32_t minor, uint32_t build, const char* service) {
    VersionRecord r;
    r.platformId = platform;
    r.major = major;
    r.minor = minor;
    r.build = build;
    std::memcpy(r.service.data(), service, std::strlen(service));
    return r;
}

TEST(OsNameFor, NamesEachWindowsVersionWithItsServiceString) {
    struct Case {
        VersionRecord record;
        const char* expected;
    };
    const Case cases[] = {
        {Record(2, 6, 1, 7600, ""), "Windows 7 ()"},
        {Record(2, 6, 1, 7601, "Service Pack 1"), "Windows 7 (Service Pack 1)"},
        {Record(2, 6, 0, 6002, "Service Pack 2"), "Windows Vista (Service Pack 2)"},
        {Record(2, 5, 1, 2600, "Service Pack 3"), "Windows XP (Service Pack 3)"},
        {Record(2, 5, 0, 2195, "Service Pack 4"), "Windows 2000 (Service Pack 4)"},
        {Record(2, 4, 0, 1381, "Service Pack 6"), "Windows NT (Service Pack 6)"},
        {Record(2, 4, 7, 99, ""), "Windows NT ()"},
        // Only builds 2195 and 2600 of version 5 have a name: 5.2 (build 3790) has none.
        {Record(2, 5, 2, 3790, "Service Pack 2"), "Unbekanntes Betriebssystem (Service Pack 2)"},
        {Record(2, 5, 1, 2601, ""), "Unbekanntes Betriebssystem ()"},
        // 6.2 and later, and majors outside the table.
        {Record(2, 6, 2, 9200, ""), "Unbekanntes Betriebssystem ()"},
        {Record(2, 6, 3, 9600, ""), "Unbekanntes Betriebssystem ()"},
        {Record(2, 10, 0, 19045, ""), "Unbekanntes Betriebssystem ()"},
        {Record(2, 3, 51, 1057, "Service Pack 5"), "Unbekanntes Betriebssystem (Service Pack 5)"},
        // Other platforms, and the zeroed record of a failed call.
        {Record(3, 6, 1, 7601, "Service Pack 1"), "Unbekanntes Betriebssystem (Service Pack 1)"},
        {Record(0, 0, 0, 0, ""), "Unbekanntes Betriebssystem ()"},
        // The 9x family by minor version, with the release letter in the second character.
        {Record(1, 4, 0, 950, ""), "Windows 95 ()"},
        {Record(1, 4, 0, 950, " A"), "Windows 95 ( A)"},
        {Record(1, 4, 0, 1111, " B"), "Windows 95 OSR2 ( B)"},
        {Record(1, 4, 0, 1212, " C"), "Windows 95 OSR2 ( C)"},
        {Record(1, 4, 0, 1111, "B"), "Windows 95 (B)"},
        {Record(1, 4, 10, 1998, " "), "Windows 98 ( )"},
        {Record(1, 4, 10, 2222, " A "), "Windows 98 SE ( A )"},
        {Record(1, 4, 10, 2222, " B"), "Windows 98 ( B)"},
        {Record(1, 4, 90, 3000, " "), "Windows ME ( )"},
        {Record(1, 4, 90, 3000, " A"), "Windows ME ( A)"},
        {Record(1, 3, 11, 0, ""), "Win 32s ()"},
        // Service bytes pass through unchanged (ANSI; the caller converts).
        {Record(2, 6, 1, 7601, "Servicepaket \xE4"), "Windows 7 (Servicepaket \xE4)"},
    };
    for (const Case& c : cases) EXPECT_EQ(OsNameFor(c.record), c.expected);
}

TEST(OsNameFor, ServiceStringEndsAtItsFirstNul) {
    VersionRecord r = Record(2, 6, 1, 7601, "Service Pack 1");
    std::memcpy(r.service.data() + 20, "hidden", 6);  // text after the terminator is ignored
    EXPECT_EQ(OsNameFor(r), "Windows 7 (Service Pack 1)");

    // 127 characters and the final NUL: all of them in the parentheses.
    r.service.fill('x');
    r.service[127] = '\0';
    EXPECT_EQ(OsNameFor(r), "Windows 7 (" + std::string(127, 'x') + ")");

    // No NUL among the 128 characters: no parentheses at all.
    r.service.fill('x');
    EXPECT_EQ(OsNameFor(r), "Windows 7");
    r.platformId = 0;
    EXPECT_EQ(OsNameFor(r), "Unbekanntes Betriebssystem");
}

}  // namespace
}  // namespace vtx
