// The probes of the profile's section "Dauerbetrieb:": the screen saver, the
// restarts Windows may do by itself, how the jukebox starts with Windows, and
// (power_win.h) the power plan. All of them only read.
#pragma once
#include <chrono>
#include <optional>
#include <string>

#include "common/probe_wait.h"
#include "profile/all_day.h"
#include "profile/system_profile.h"

namespace vtx {

// The user's screen saver: the flag, timeout and password setting as
// SystemParametersInfoW gives them, the program from the user's desktop settings
// ("SCRNSAVE.EXE"); a user policy overrides each where it sets one.
ScreenSaverFacts GetScreenSaverFacts();

// Pending restarts (Windows Update, Component Based Servicing, file renames), the
// automatic update policy, the active hours and fast start-up, all from the
// 64-bit registry view. `windowsVersion` as in RestartFacts.
RestartFacts GetRestartFacts(std::optional<unsigned long> windowsVersion);

// The places that start the program named `exeName` with Windows: the Run keys of
// the user and of the machine (both registry views on 64-bit Windows), the user's
// and all users' Startup folders (shortcuts resolved through the shell's link
// object, never changed), the Winlogon shell of machine and user; and whether
// Windows logs on by itself (AutoAdminLogon and the user's name; no stored
// password is ever read). Runs on a worker for at most `limit` (the link object
// is COM).
AutostartFacts GetAutostartFacts(std::chrono::milliseconds limit, const std::string& exeName, bool windows64,
                                 const ProbeWait& wait = {});

// The same facts read on the calling thread (in a COM apartment of its own for the
// call where it has none yet), without a deadline.
AutostartFacts ReadAutostartFacts(const std::string& exeName, bool windows64);

// Windows's version as RestartFacts keeps it, from the kernel's.
std::optional<unsigned long> AllDayWindowsVersion(const WindowsFacts& windows);

// All of the section for the jukebox: the power probe and the autostart probe each
// wait at most their deadline (kProfilePowerDeadline, kProfileAutostartDeadline)
// within `wait`'s budget.
AllDayFacts GetAllDayFacts(const WindowsFacts& windows, const ProbeWait& wait = {});

}  // namespace vtx
