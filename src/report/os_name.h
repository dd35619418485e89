// The name of a Windows version, from the record GetVersionExA fills.
#pragma once
#include <array>
#include <cstdint>
#include <string>

namespace vtx {

// The fields of OSVERSIONINFOA the name depends on. A failed version call leaves
// every member zero.
struct VersionRecord {
    uint32_t major = 0;
    uint32_t minor = 0;
    uint32_t build = 0;
    uint32_t platformId = 0;            // 1 = Windows 9x family, 2 = NT family
    std::array<char, 128> service{};    // service string, NUL-filled after its text
};

// The Windows name of the first matching row below ("Unbekanntes Betriebssystem"
// when none matches), followed by " (" + service string + ")". The service string
// ends at its first NUL; with no NUL among its 128 characters there are no
// parentheses at all. The service bytes are copied unchanged (they are in the ANSI
// code page; the caller converts).
//
//   platform 1, minor 0   Windows 95      platform 2, major 4             Windows NT
//   platform 1, minor 10  Windows 98      platform 2, 5.x build 2195      Windows 2000
//   platform 1, minor 90  Windows ME      platform 2, 5.x build 2600      Windows XP
//   platform 1, other     Win 32s         platform 2, 6.0 / 6.1           Windows Vista / 7
//
// On the 9x family the release letter sits in the service string's second
// character (the first is a blank, e.g. " B"): Windows 95 with "B" or "C" gets
// " OSR2", Windows 98 with "A" gets " SE".
std::string OsNameFor(const VersionRecord& record);

}  // namespace vtx
