// Round the clock: what on this PC can stop a jukebox that must run all day
// unattended (standby, the screen saver, restarts Windows does by itself, a
// jukebox that does not start again with Windows). Facts gathered by the probes
// (all_day_win.h) go in; the lines of the profile's section "Dauerbetrieb:" come
// out, each fact on its line, and below them one warning line for each risk,
// from one table of rules. Portable.
//
// A fact that could not be learnt is missing and printed as "nicht ermittelbar";
// it is never a risk: no rule warns about what nobody knows.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "profile/probe_outcome.h"
#include "profile/profile_row.h"

namespace vtx {

inline constexpr const char* kAllDayHeading = "Dauerbetrieb:";

// A setting whose absence means something (a policy nobody set, a value Windows
// leaves out while it keeps its default): `known` is false when it could not be
// read, `value` is empty when it is not set.
template <class T>
struct Setting {
    bool known = false;
    std::optional<T> value;
};

// Timeouts of one power source in seconds; 0 stands for "never".
struct PowerTimeouts {
    std::optional<unsigned long> standby, hibernate, displayOff, diskOff;
};

// The active power plan.
struct PowerFacts {
    ProbeOutcome outcome = ProbeOutcome::Failed;
    std::optional<std::string> planName;
    PowerTimeouts mains;
    PowerTimeouts battery;  // shown only on a PC with a battery
    std::optional<bool> hasBattery;
    std::optional<bool> hibernationPossible;
};

// The user's screen saver. Windows keeps the "active" flag set when "(None)" is
// chosen and only removes the program: it runs only when both say so.
struct ScreenSaverFacts {
    std::optional<bool> active;
    std::optional<std::string> program;  // "" when none is chosen
    std::optional<unsigned long> timeoutSeconds;
    std::optional<bool> passwordOnResume;
};

// Restarts Windows may do by itself.
struct RestartFacts {
    // The signs of a pending restart: present, absent, or unreadable (empty).
    std::optional<bool> updateRebootRequired, servicingRebootPending, fileRenamesPending;
    // Automatic updates: the policy's values where set; AUOptions before Windows 10
    // also from the Control Panel's own setting.
    Setting<unsigned long> auOptions, noAutoUpdate, noAutoRebootWithLoggedOnUsers;
    // The active hours (Windows 10 and 11), hours of the day 0..23.
    Setting<unsigned long> activeHoursStart, activeHoursEnd;
    Setting<unsigned long> hiberbootEnabled;  // fast start-up (Windows 8 and later)
    // Windows's version as major * 100 + minor (601 Windows 7, 602 Windows 8,
    // 1000 Windows 10 and 11); empty when unknown.
    std::optional<unsigned long> windowsVersion;
};

// One place that starts the jukebox with Windows.
struct AutostartEntry {
    std::string place;    // as its line names it: "Run (Benutzer)", "Autostart (alle)", "Shell (Computer)"
    std::string command;  // the command line, or the shortcut's target
};

// How the jukebox starts with Windows, and whether Windows logs on by itself.
// Stored passwords are never read: of the automatic logon only whether it is on
// and the user's name.
struct AutostartFacts {
    ProbeOutcome outcome = ProbeOutcome::Failed;
    std::vector<AutostartEntry> jukebox;  // every place found that starts it
    bool allPlacesRead = false;           // false: some place could not be read
    std::optional<std::string> machineShell;  // Winlogon "Shell" of the machine; "" when not set
    Setting<std::string> userShell;           // ... and of the user, where set
    std::optional<bool> autoLogon;
    std::optional<std::string> autoLogonUser;
};

struct AllDayFacts {
    PowerFacts power;
    ScreenSaverFacts screenSaver;
    RestartFacts restarts;
    AutostartFacts autostart;
};

// The section's lines after its heading: the facts, then the warnings. A fact has
// its label (laid out with a colon); a warning has none and is its value alone.
std::vector<ProfileRow> AllDayLines(const AllDayFacts& facts);

// One risk: which fact it looks at (as its line names it), when it holds (never
// for an unknown value) and what the warning says.
struct AllDayRule {
    const char* fact;
    bool (*holds)(const AllDayFacts&);
    std::string (*text)(const AllDayFacts&);
};

// Every rule, in the order their warnings are printed.
const std::vector<AllDayRule>& AllDayRules();

// The warnings ("Achtung: ...") of the rules that hold.
std::vector<std::string> AllDayWarnings(const AllDayFacts& facts);

// Whether the screen saver runs: the flag and a program both; empty when that
// cannot be told.
std::optional<bool> ScreenSaverRuns(const ScreenSaverFacts& facts);

// Whether a restart is pending: any sign present; false only when every sign was
// read; empty otherwise.
std::optional<bool> RestartPending(const RestartFacts& facts);

// Whether Windows Update may restart the PC by itself while someone is logged on
// (it installs by itself and no policy stops the restart); empty when unknown.
std::optional<bool> UpdatesMayRestart(const RestartFacts& facts);

// A timeout in seconds as the profile writes it: "nie", "30 Minuten", "1 Minute",
// "2 Stunden", "45 Sekunden".
std::string TimeoutText(unsigned long seconds);

// Whether the program a command line starts (quoted, or up to its first ".exe")
// is named `exeName` (compared without regard to ASCII case).
bool CommandStarts(std::string_view command, std::string_view exeName);

}  // namespace vtx
