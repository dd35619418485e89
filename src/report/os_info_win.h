// The running Windows version as the jukebox sees it: GetVersionExA with the
// plain OSVERSIONINFOA record (the program's manifest names no supportedOS, so the
// answer is the one a legacy program gets).
#pragma once
#include <string>

namespace vtx {

// The Windows name followed by the service string in parentheses, e.g.
// "Windows 7 (Service Pack 1)"; see OsNameFor. Never fails: a failed version call
// gives "Unbekanntes Betriebssystem ()".
std::string GetOSName();

// True when the version call succeeds and reports the NT family (platform 2) with
// major version 4 or higher; false otherwise, also when the call fails.
bool IsNT4OrLater();

}  // namespace vtx
