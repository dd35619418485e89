#include "report/os_name.h"

#include <algorithm>

namespace vtx {
namespace {

std::string WindowsName(const VersionRecord& r) {
    const char release = r.service[1];
    if (r.platformId == 1) {
        switch (r.minor) {
            case 0: return (release == 'B' || release == 'C') ? "Windows 95 OSR2" : "Windows 95";
            case 10: return release == 'A' ? "Windows 98 SE" : "Windows 98";
            case 90: return "Windows ME";
            default: return "Win 32s";
        }
    }
    if (r.platformId == 2) {
        if (r.major == 4) return "Windows NT";
        if (r.major == 5 && r.build == 2195) return "Windows 2000";
        if (r.major == 5 && r.build == 2600) return "Windows XP";
        if (r.major == 6 && r.minor == 0) return "Windows Vista";
        if (r.major == 6 && r.minor == 1) return "Windows 7";
    }
    return "Unbekanntes Betriebssystem";
}

}  // namespace

std::string OsNameFor(const VersionRecord& record) {
    std::string name = WindowsName(record);
    const auto begin = record.service.begin();
    const auto nul = std::find(begin, record.service.end(), '\0');
    if (nul != record.service.end()) name += " (" + std::string(begin, nul) + ")";
    return name;
}

}  // namespace vtx
