#include "profile/all_day.h"

#include <cstdio>

#include "profile/system_profile.h"

namespace vtx {
namespace {

std::string Missing(ProbeOutcome outcome) { return outcome == ProbeOutcome::TimedOut ? kNoAnswer : kNotDetermined; }

bool Positive(const std::optional<unsigned long>& seconds) { return seconds && *seconds > 0; }

std::string Timeout(const std::optional<unsigned long>& seconds, const std::string& missing) {
    return seconds ? TimeoutText(*seconds) : missing;
}

std::string HourText(unsigned long hour) {
    char text[16];
    std::snprintf(text, sizeof text, "%02lu:00", hour % 100);
    return text;
}

// "08:00 bis 17:00 Uhr" where both are set.
std::optional<std::string> ActiveHours(const RestartFacts& r) {
    if (!r.activeHoursStart.value || !r.activeHoursEnd.value) return std::nullopt;
    return HourText(*r.activeHoursStart.value) + " bis " + HourText(*r.activeHoursEnd.value) + " Uhr";
}

bool WindowsBefore(const RestartFacts& r, unsigned long version) { return r.windowsVersion && *r.windowsVersion < version; }

std::string UpdatesText(const RestartFacts& r) {
    if (!r.noAutoUpdate.known || !r.auOptions.known) return kNotDetermined;
    if (r.noAutoUpdate.value == 1ul) return "aus (Richtlinie)";
    if (!r.auOptions.value) {
        if (!r.windowsVersion) return "nicht festgelegt";
        return *r.windowsVersion >= 1000 ? "Windows-Standard (automatisch installieren)" : "nicht eingerichtet";
    }
    switch (*r.auOptions.value) {
        case 1: return "aus";
        case 2: return "nur benachrichtigen";
        case 3: return "herunterladen, Installation nach Rückfrage";
        case 4: return "automatisch installieren";
        case 5: return "Wahl des lokalen Administrators";
        case 7: return "herunterladen, Installation und Neustart nach Rückfrage";
        default: return "Einstellung " + std::to_string(*r.auOptions.value);
    }
}

bool FastStartupOn(const AllDayFacts& f) {
    const RestartFacts& r = f.restarts;
    return !WindowsBefore(r, 602) && r.hiberbootEnabled.value && *r.hiberbootEnabled.value != 0 &&
           f.power.hibernationPossible != false;
}

std::string FastStartupText(const AllDayFacts& f) {
    const RestartFacts& r = f.restarts;
    if (WindowsBefore(r, 602)) return "nicht vorhanden (vor Windows 8)";
    if (!r.hiberbootEnabled.known) return kNotDetermined;
    if (!r.hiberbootEnabled.value) return "nicht festgelegt";
    if (*r.hiberbootEnabled.value == 0) return "Aus";
    return FastStartupOn(f) ? "Ein" : "Aus (kein Ruhezustand)";
}

std::string PendingText(const RestartFacts& r) {
    const std::optional<bool> pending = RestartPending(r);
    if (!pending) return kNotDetermined;
    if (!*pending) return "Nein";
    std::string reasons;
    const auto add = [&](const std::optional<bool>& sign, const char* reason) {
        if (sign == true) reasons += (reasons.empty() ? "" : ", ") + std::string(reason);
    };
    add(r.updateRebootRequired, "Windows Update");
    add(r.servicingRebootPending, "Systemwartung");
    add(r.fileRenamesPending, "Dateiumbenennungen");
    return "Ja (" + reasons + ")";
}

std::string ScreenSaverText(const ScreenSaverFacts& s) {
    const std::optional<bool> runs = ScreenSaverRuns(s);
    if (!runs) return kNotDetermined;
    if (*runs) return "Ein";
    return s.active == true ? "Aus (kein Programm gewählt)" : "Aus";
}

std::string AutostartText(const AutostartFacts& a) {
    if (a.outcome != ProbeOutcome::Answered) return Missing(a.outcome);
    if (!a.jukebox.empty()) return "Ja";
    return a.allPlacesRead ? "Nein" : kNotDetermined;
}

std::string AutoLogonText(const AutostartFacts& a) {
    if (!a.autoLogon) return a.outcome == ProbeOutcome::Answered ? kNotDetermined : Missing(a.outcome);
    if (!*a.autoLogon) return "Nein";
    return a.autoLogonUser && !a.autoLogonUser->empty() ? "Ja (Benutzer: " + *a.autoLogonUser + ")" : "Ja";
}

// A timeout the rule has found positive.
std::string Duration(const std::optional<unsigned long>& seconds) { return TimeoutText(seconds.value_or(0)); }

const std::vector<AllDayRule> kRules = {
    {"Standby nach", [](const AllDayFacts& f) { return Positive(f.power.mains.standby); },
     [](const AllDayFacts& f) { return "Achtung: Der PC geht nach " + Duration(f.power.mains.standby) + " in den Standby."; }},
    {"Ruhezustand nach",
     [](const AllDayFacts& f) { return Positive(f.power.mains.hibernate) && f.power.hibernationPossible != false; },
     [](const AllDayFacts& f) {
         return "Achtung: Der PC geht nach " + Duration(f.power.mains.hibernate) + " in den Ruhezustand.";
     }},
    {"Bildschirm aus nach", [](const AllDayFacts& f) { return Positive(f.power.mains.displayOff); },
     [](const AllDayFacts& f) {
         return "Achtung: Der Bildschirm schaltet sich nach " + Duration(f.power.mains.displayOff) + " ab.";
     }},
    {"Festplatte aus nach", [](const AllDayFacts& f) { return Positive(f.power.mains.diskOff); },
     [](const AllDayFacts& f) {
         return "Achtung: Die Festplatte schaltet sich nach " + Duration(f.power.mains.diskOff) +
                " ab; das nächste Lied kann dann verzögert starten.";
     }},
    {"Bildschirmschoner", [](const AllDayFacts& f) { return ScreenSaverRuns(f.screenSaver) == true; },
     [](const AllDayFacts& f) {
         const std::optional<unsigned long>& timeout = f.screenSaver.timeoutSeconds;
         if (!Positive(timeout)) return std::string("Achtung: Der Bildschirmschoner verdeckt Velatrix-Tunes, wenn niemand den PC bedient.");
         return "Achtung: Der Bildschirmschoner verdeckt Velatrix-Tunes nach " + Duration(timeout) + " ohne Eingabe.";
     }},
    {"Kennwortschutz",
     [](const AllDayFacts& f) { return ScreenSaverRuns(f.screenSaver) == true && f.screenSaver.passwordOnResume == true; },
     [](const AllDayFacts&) { return std::string("Achtung: Nach dem Bildschirmschoner verlangt Windows ein Kennwort."); }},
    {"Neustart steht aus", [](const AllDayFacts& f) { return RestartPending(f.restarts) == true; },
     [](const AllDayFacts&) { return std::string("Achtung: Ein Neustart steht aus."); }},
    {"Automatische Updates", [](const AllDayFacts& f) { return UpdatesMayRestart(f.restarts) == true; },
     [](const AllDayFacts& f) {
         const std::optional<std::string> hours =
             WindowsBefore(f.restarts, 1000) ? std::nullopt : ActiveHours(f.restarts);
         return "Achtung: Windows Update kann den PC " +
                (hours ? "außerhalb der Nutzungszeit (" + *hours + ") " : std::string()) + "selbständig neu starten.";
     }},
    {"Schnellstart", FastStartupOn,
     [](const AllDayFacts&) {
         return std::string("Achtung: Der Schnellstart ist eingeschaltet: Windows fährt beim Ausschalten nicht ganz "
                            "herunter, Geräte starten danach nicht immer richtig.");
     }},
    {"Autostart Velatrix-Tunes",
     [](const AllDayFacts& f) {
         const AutostartFacts& a = f.autostart;
         return a.outcome == ProbeOutcome::Answered && a.allPlacesRead && a.jukebox.empty();
     },
     [](const AllDayFacts&) { return std::string("Achtung: Velatrix-Tunes startet nicht automatisch mit Windows."); }},
    {"Automatische Anmeldung", [](const AllDayFacts& f) { return f.autostart.autoLogon == false; },
     [](const AllDayFacts&) {
         return std::string("Achtung: Windows meldet sich nicht automatisch an; nach einem Neustart wartet der PC "
                            "auf eine Anmeldung (außer bei einem Benutzer ohne Kennwort).");
     }},
};

void PowerLines(std::vector<ProfileRow>& out, const PowerFacts& p) {
    const std::string missing = Missing(p.outcome);
    out.push_back({2, "Energieplan", p.planName && !p.planName->empty() ? *p.planName : missing});
    const auto timeout = [&](const char* label, std::optional<unsigned long> PowerTimeouts::*member) {
        std::string value = Timeout(p.mains.*member, missing);
        if (p.hasBattery == true) value += " (Akku: " + Timeout(p.battery.*member, missing) + ")";
        out.push_back({4, label, value});
    };
    timeout("Standby nach", &PowerTimeouts::standby);
    timeout("Ruhezustand nach", &PowerTimeouts::hibernate);
    timeout("Bildschirm aus nach", &PowerTimeouts::displayOff);
    timeout("Festplatte aus nach", &PowerTimeouts::diskOff);
    out.push_back({4, "Ruhezustand möglich",
                   p.hibernationPossible ? (*p.hibernationPossible ? "Ja" : "Nein") : missing});
}

void ScreenSaverLines(std::vector<ProfileRow>& out, const ScreenSaverFacts& s) {
    out.push_back({2, "Bildschirmschoner", ScreenSaverText(s)});
    out.push_back({4, "Wartezeit", Timeout(s.timeoutSeconds, kNotDetermined)});
    out.push_back({4, "Programm", s.program ? (s.program->empty() ? "keines" : *s.program) : kNotDetermined});
    out.push_back({4, "Kennwortschutz", s.passwordOnResume ? (*s.passwordOnResume ? "Ja" : "Nein") : kNotDetermined});
}

void RestartLines(std::vector<ProfileRow>& out, const AllDayFacts& f) {
    const RestartFacts& r = f.restarts;
    out.push_back({2, "Neustart steht aus", PendingText(r)});
    out.push_back({2, "Automatische Updates", UpdatesText(r)});
    if (r.noAutoRebootWithLoggedOnUsers.value)
        out.push_back({2, "Neustart trotz Anmeldung",
                       *r.noAutoRebootWithLoggedOnUsers.value != 0 ? "Nein (Richtlinie)" : "Ja (Richtlinie)"});
    if (r.windowsVersion && *r.windowsVersion >= 1000) {
        std::string hours = kNotDetermined;
        if (r.activeHoursStart.known && r.activeHoursEnd.known) hours = ActiveHours(r).value_or("nicht festgelegt");
        out.push_back({2, "Nutzungszeit", hours});
    }
    out.push_back({2, "Schnellstart", FastStartupText(f)});
}

void AutostartLines(std::vector<ProfileRow>& out, const AutostartFacts& a) {
    out.push_back({2, "Autostart Velatrix-Tunes", AutostartText(a)});
    for (const AutostartEntry& entry : a.jukebox) out.push_back({4, entry.place, entry.command});
    const std::string missing = Missing(a.outcome);
    out.push_back({2, "Windows-Shell",
                   a.machineShell ? (a.machineShell->empty() ? "nicht festgelegt" : *a.machineShell) : missing});
    if (a.userShell.value) out.push_back({2, "Shell des Benutzers", *a.userShell.value});
    out.push_back({2, "Automatische Anmeldung", AutoLogonText(a)});
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (Lower(a[i]) != Lower(b[i])) return false;
    return true;
}

}  // namespace

std::vector<ProfileRow> AllDayLines(const AllDayFacts& facts) {
    std::vector<ProfileRow> out;
    PowerLines(out, facts.power);
    ScreenSaverLines(out, facts.screenSaver);
    RestartLines(out, facts);
    AutostartLines(out, facts.autostart);
    for (std::string& warning : AllDayWarnings(facts)) out.push_back({2, "", std::move(warning)});
    return out;
}

const std::vector<AllDayRule>& AllDayRules() { return kRules; }

std::vector<std::string> AllDayWarnings(const AllDayFacts& facts) {
    std::vector<std::string> warnings;
    for (const AllDayRule& rule : kRules)
        if (rule.holds(facts)) warnings.push_back(rule.text(facts));
    return warnings;
}

std::optional<bool> ScreenSaverRuns(const ScreenSaverFacts& s) {
    if (s.active == false || (s.program && s.program->empty())) return false;
    if (!s.active || !s.program) return std::nullopt;
    return true;
}

std::optional<bool> RestartPending(const RestartFacts& r) {
    const std::optional<bool> signs[] = {r.updateRebootRequired, r.servicingRebootPending, r.fileRenamesPending};
    bool allRead = true;
    for (const std::optional<bool>& sign : signs) {
        if (sign == true) return true;
        allRead = allRead && sign.has_value();
    }
    if (!allRead) return std::nullopt;
    return false;
}

std::optional<bool> UpdatesMayRestart(const RestartFacts& r) {
    if (!r.noAutoUpdate.known || !r.noAutoRebootWithLoggedOnUsers.known || !r.auOptions.known) return std::nullopt;
    if (r.noAutoUpdate.value == 1ul || r.noAutoRebootWithLoggedOnUsers.value == 1ul) return false;
    if (r.auOptions.value) return *r.auOptions.value == 4;
    if (!r.windowsVersion) return std::nullopt;
    // Windows 10 and 11 install and restart by themselves unless told otherwise.
    return *r.windowsVersion >= 1000;
}

std::string TimeoutText(unsigned long seconds) {
    if (seconds == 0) return "nie";
    const auto count = [](unsigned long n, const char* one, const char* many) {
        return std::to_string(n) + " " + (n == 1 ? one : many);
    };
    if (seconds % 3600 == 0) return count(seconds / 3600, "Stunde", "Stunden");
    if (seconds % 60 == 0) return count(seconds / 60, "Minute", "Minuten");
    return count(seconds, "Sekunde", "Sekunden");
}

bool CommandStarts(std::string_view command, std::string_view exeName) {
    while (!command.empty() && (command.front() == ' ' || command.front() == '\t')) command.remove_prefix(1);
    std::string_view program;
    if (!command.empty() && command.front() == '"') {
        const size_t end = command.find('"', 1);
        program = command.substr(1, end == std::string_view::npos ? std::string_view::npos : end - 1);
    } else {
        // Unquoted: up to the first ".exe" that ends a word, else up to the first blank.
        program = command.substr(0, command.find(' '));
        for (size_t at = 0; at + 4 <= command.size(); ++at) {
            const size_t after = at + 4;
            if (SameIgnoringCase(command.substr(at, 4), ".exe") && (after == command.size() || command[after] == ' ')) {
                program = command.substr(0, after);
                break;
            }
        }
    }
    const size_t slash = program.find_last_of("\\/");
    if (slash != std::string_view::npos) program.remove_prefix(slash + 1);
    return !program.empty() && SameIgnoringCase(program, exeName);
}

}  // namespace vtx
