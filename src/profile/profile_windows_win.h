// Probes of the system profile that ask Windows about itself, the running tool and
// the clock. None of them can block: they read the kernel, the registry and the
// process's own token.
#pragma once
#include "profile/system_profile.h"

namespace vtx {

// The true version from the kernel (RtlGetVersion, which ignores the program's
// missing supportedOS manifest) and the CurrentVersion key of the 64-bit registry
// view (KEY_WOW64_64KEY: a 32-bit tool would otherwise read the 32-bit copy).
WindowsFacts GetWindowsFacts();

// The running tool: version (`version`), bitness, path, user, administrator rights
// (member of the Administrators group, also with a filtered UAC token), elevation
// and whether UAC (EnableLUA) is on.
ToolFacts GetToolFacts(const std::string& version);

// The time zone now in force (its name for standard or daylight time, and the
// offset from UTC) and the time since Windows started; date and time are left
// to the caller, who takes them as the report does.
TimeFacts GetTimeFacts();

}  // namespace vtx
