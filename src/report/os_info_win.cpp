#include "report/os_info_win.h"

#include <windows.h>

#include <algorithm>

#include "common/unicode_win.h"
#include "report/os_name.h"

namespace vtx {
namespace {

static_assert(sizeof(OSVERSIONINFOA) == 148, "the version call expects the plain 148-byte record");

// The plain record, not OSVERSIONINFOEXA: the answer is the one every legacy
// program gets. On failure the zeroed record is handed back as it is.
bool QueryVersion(VersionRecord& record) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const bool ok = GetVersionExA(&info) == TRUE;
#pragma GCC diagnostic pop
    if (!ok) info = OSVERSIONINFOA{};
    record.major = info.dwMajorVersion;
    record.minor = info.dwMinorVersion;
    record.build = info.dwBuildNumber;
    record.platformId = info.dwPlatformId;
    std::copy(std::begin(info.szCSDVersion), std::end(info.szCSDVersion), record.service.begin());
    return ok;
}

}  // namespace

std::string GetOSName() {
    VersionRecord record;
    QueryVersion(record);
    // The name table is ASCII; only the service string is in the ANSI code page.
    return FromAnsi(OsNameFor(record));
}

bool IsNT4OrLater() {
    VersionRecord record;
    return QueryVersion(record) && record.platformId == VER_PLATFORM_WIN32_NT && record.major >= 4;
}

}  // namespace vtx
