// The profile's section "Dauerbetrieb:" from gathered facts: its lines character
// for character and the table of warnings, each rule on, off and with its fact
// unknown.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "profile/all_day.h"
#include "profile/system_profile.h"

namespace vtx {
namespace {

using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr const char* kJukebox = "C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe";

// A PC set up for unattended running: nothing sleeps, no screen saver although
// its flag is set, no restart pending, updates only notify, the jukebox starts
// from the Startup folder and as the user's shell, Windows logs on by itself.
AllDayFacts WellSetUp() {
    AllDayFacts f;
    f.power = {ProbeOutcome::Answered, "Höchstleistung", {0, 0, 0, 0}, {}, false, false};
    f.screenSaver = {true, "", 600, false};
    f.restarts.updateRebootRequired = false;
    f.restarts.servicingRebootPending = false;
    f.restarts.fileRenamesPending = false;
    f.restarts.auOptions = {true, 2};
    f.restarts.noAutoUpdate = {true, std::nullopt};
    f.restarts.noAutoRebootWithLoggedOnUsers = {true, 1};
    f.restarts.activeHoursStart = {true, 10};
    f.restarts.activeHoursEnd = {true, 2};
    f.restarts.hiberbootEnabled = {true, 0};
    f.restarts.windowsVersion = 1000;
    f.autostart.outcome = ProbeOutcome::Answered;
    f.autostart.allPlacesRead = true;
    f.autostart.jukebox = {{"Autostart (Benutzer)", kJukebox},
                           {"Shell (Benutzer)", "\"C:\\Jukebox\\Velatrix-Tunes 6.exe\" /kiosk"}};
    f.autostart.machineShell = "explorer.exe";
    f.autostart.userShell = {true, "\"C:\\Jukebox\\Velatrix-Tunes 6.exe\" /kiosk"};
    f.autostart.autoLogon = true;
    f.autostart.autoLogonUser = "Kasse";
    return f;
}

// A laptop on Windows 10 as it comes: everything that can stop the jukebox is on.
AllDayFacts SetUpBadly() {
    AllDayFacts f = WellSetUp();
    f.power = {ProbeOutcome::Answered, "Ausbalanciert", {1800, 10800, 600, 1200}, {900, 3600, 300, 600}, true, true};
    f.screenSaver = {true, "C:\\Windows\\system32\\Mystify.scr", 300, true};
    f.restarts.updateRebootRequired = true;
    f.restarts.fileRenamesPending = true;
    f.restarts.auOptions = {true, std::nullopt};
    f.restarts.noAutoRebootWithLoggedOnUsers = {true, std::nullopt};
    f.restarts.activeHoursStart = {true, 8};
    f.restarts.activeHoursEnd = {true, 17};
    f.restarts.hiberbootEnabled = {true, 1};
    f.autostart.jukebox.clear();
    f.autostart.userShell = {true, std::nullopt};
    f.autostart.autoLogon = false;
    f.autostart.autoLogonUser.reset();
    return f;
}

std::vector<std::string> Section(const AllDayFacts& allDay) {
    SystemProfileFacts facts;
    facts.allDay = allDay;
    const std::vector<std::string> lines = BuildSystemProfileLines(facts);
    const auto at = std::find(lines.begin(), lines.end(), "Dauerbetrieb:");
    return {at, std::find(at, lines.end(), "")};
}

TEST(AllDay, APcSetUpBadlyShowsEveryRiskBelowItsFacts) {
    EXPECT_THAT(Section(SetUpBadly()),
                ElementsAreArray({
                    "Dauerbetrieb:",
                    "  Energieplan:              Ausbalanciert",
                    "    Standby nach:           30 Minuten (Akku: 15 Minuten)",
                    "    Ruhezustand nach:       3 Stunden (Akku: 1 Stunde)",
                    "    Bildschirm aus nach:    10 Minuten (Akku: 5 Minuten)",
                    "    Festplatte aus nach:    20 Minuten (Akku: 10 Minuten)",
                    "    Ruhezustand möglich:    Ja",
                    "  Bildschirmschoner:        Ein",
                    "    Wartezeit:              5 Minuten",
                    "    Programm:               C:\\Windows\\system32\\Mystify.scr",
                    "    Kennwortschutz:         Ja",
                    "  Neustart steht aus:       Ja (Windows Update, Dateiumbenennungen)",
                    "  Automatische Updates:     Windows-Standard (automatisch installieren)",
                    "  Nutzungszeit:             08:00 bis 17:00 Uhr",
                    "  Schnellstart:             Ein",
                    "  Autostart Velatrix-Tunes: Nein",
                    "  Windows-Shell:            explorer.exe",
                    "  Automatische Anmeldung:   Nein",
                    "  Achtung: Der PC geht nach 30 Minuten in den Standby.",
                    "  Achtung: Der PC geht nach 3 Stunden in den Ruhezustand.",
                    "  Achtung: Der Bildschirm schaltet sich nach 10 Minuten ab.",
                    "  Achtung: Die Festplatte schaltet sich nach 20 Minuten ab; das nächste Lied kann dann verzögert "
                    "starten.",
                    "  Achtung: Der Bildschirmschoner verdeckt Velatrix-Tunes nach 5 Minuten ohne Eingabe.",
                    "  Achtung: Nach dem Bildschirmschoner verlangt Windows ein Kennwort.",
                    "  Achtung: Ein Neustart steht aus.",
                    "  Achtung: Windows Update kann den PC außerhalb der Nutzungszeit (08:00 bis 17:00 Uhr) selbständig "
                    "neu starten.",
                    "  Achtung: Der Schnellstart ist eingeschaltet: Windows fährt beim Ausschalten nicht ganz herunter, "
                    "Geräte starten danach nicht immer richtig.",
                    "  Achtung: Velatrix-Tunes startet nicht automatisch mit Windows.",
                    "  Achtung: Windows meldet sich nicht automatisch an; nach einem Neustart wartet der PC auf eine "
                    "Anmeldung (außer bei einem Benutzer ohne Kennwort).",
                }));
}

TEST(AllDay, APcSetUpWellHasNoWarningAndNothingKnownIsNoRiskEither) {
    EXPECT_THAT(Section(WellSetUp()),
                ElementsAreArray({
                    "Dauerbetrieb:",
                    "  Energieplan:              Höchstleistung",
                    "    Standby nach:           nie",
                    "    Ruhezustand nach:       nie",
                    "    Bildschirm aus nach:    nie",
                    "    Festplatte aus nach:    nie",
                    "    Ruhezustand möglich:    Nein",
                    "  Bildschirmschoner:        Aus (kein Programm gewählt)",
                    "    Wartezeit:              10 Minuten",
                    "    Programm:               keines",
                    "    Kennwortschutz:         Nein",
                    "  Neustart steht aus:       Nein",
                    "  Automatische Updates:     nur benachrichtigen",
                    "  Neustart trotz Anmeldung: Nein (Richtlinie)",
                    "  Nutzungszeit:             10:00 bis 02:00 Uhr",
                    "  Schnellstart:             Aus",
                    "  Autostart Velatrix-Tunes: Ja",
                    "    Autostart (Benutzer):   C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe",
                    "    Shell (Benutzer):       \"C:\\Jukebox\\Velatrix-Tunes 6.exe\" /kiosk",
                    "  Windows-Shell:            explorer.exe",
                    "  Shell des Benutzers:      \"C:\\Jukebox\\Velatrix-Tunes 6.exe\" /kiosk",
                    "  Automatische Anmeldung:   Ja (Benutzer: Kasse)",
                }));

    // Nothing known (the whole profile's test shows that section) is no risk;
    // probes given up at their deadline say so.
    EXPECT_THAT(AllDayWarnings(AllDayFacts{}), IsEmpty());
    AllDayFacts late;
    late.power.outcome = ProbeOutcome::TimedOut;
    late.autostart.outcome = ProbeOutcome::TimedOut;
    const std::vector<std::string> lines = Section(late);
    EXPECT_EQ(lines[1], "  Energieplan:              nicht ermittelbar (keine Antwort)");
    EXPECT_EQ(lines[6], "    Ruhezustand möglich:    nicht ermittelbar (keine Antwort)");
    EXPECT_EQ(lines[14], "  Autostart Velatrix-Tunes: nicht ermittelbar (keine Antwort)");
    EXPECT_EQ(lines[16], "  Automatische Anmeldung:   nicht ermittelbar (keine Antwort)");
}

TEST(AllDay, EachRuleOnOffAndWithItsFactUnknown) {
    struct Case {
        const char* what;
        std::function<void(AllDayFacts&)> change;  // of a PC set up well
        std::vector<std::string> warnings;
    };
    const std::string standby = "Achtung: Der PC geht nach 30 Minuten in den Standby.";
    const std::string pending = "Achtung: Ein Neustart steht aus.";
    const std::string restarts = "Achtung: Windows Update kann den PC selbständig neu starten.";
    const std::string noAutostart = "Achtung: Velatrix-Tunes startet nicht automatisch mit Windows.";
    const Case cases[] = {
        {"standby on mains", [](AllDayFacts& f) { f.power.mains.standby = 1800; }, {standby}},
        {"standby unknown", [](AllDayFacts& f) { f.power.mains.standby.reset(); }, {}},
        {"a battery PC: only mains power counts",
         [](AllDayFacts& f) {
             f.power.hasBattery = true;
             f.power.battery = {900, 3600, 300, 600};
         },
         {}},
        {"a battery PC sleeping on mains", [](AllDayFacts& f) {
             f.power.hasBattery = true;
             f.power.mains.standby = 1800;
         }, {standby}},
        {"hibernation", [](AllDayFacts& f) {
             f.power.mains.hibernate = 7200;
             f.power.hibernationPossible = true;
         }, {"Achtung: Der PC geht nach 2 Stunden in den Ruhezustand."}},
        {"hibernation possible unknown", [](AllDayFacts& f) {
             f.power.mains.hibernate = 90;
             f.power.hibernationPossible.reset();
         }, {"Achtung: Der PC geht nach 90 Sekunden in den Ruhezustand."}},
        {"a hibernation timeout without hibernation", [](AllDayFacts& f) { f.power.mains.hibernate = 7200; }, {}},
        {"display off", [](AllDayFacts& f) { f.power.mains.displayOff = 60; },
         {"Achtung: Der Bildschirm schaltet sich nach 1 Minute ab."}},
        {"disk off", [](AllDayFacts& f) { f.power.mains.diskOff = 1200; },
         {"Achtung: Die Festplatte schaltet sich nach 20 Minuten ab; das nächste Lied kann dann verzögert starten."}},
        {"a screen saver chosen", [](AllDayFacts& f) { f.screenSaver.program = "C:\\x.scr"; },
         {"Achtung: Der Bildschirmschoner verdeckt Velatrix-Tunes nach 10 Minuten ohne Eingabe."}},
        {"a screen saver chosen, without a timeout", [](AllDayFacts& f) {
             f.screenSaver.program = "C:\\x.scr";
             f.screenSaver.timeoutSeconds.reset();
         }, {"Achtung: Der Bildschirmschoner verdeckt Velatrix-Tunes, wenn niemand den PC bedient."}},
        {"a screen saver chosen but switched off", [](AllDayFacts& f) {
             f.screenSaver.program = "C:\\x.scr";
             f.screenSaver.active = false;
             f.screenSaver.passwordOnResume = true;
         }, {}},
        {"a screen saver chosen, its flag unknown", [](AllDayFacts& f) {
             f.screenSaver.program = "C:\\x.scr";
             f.screenSaver.active.reset();
         }, {}},
        {"a screen saver that asks for a password", [](AllDayFacts& f) {
             f.screenSaver.program = "C:\\x.scr";
             f.screenSaver.timeoutSeconds = 0;
             f.screenSaver.passwordOnResume = true;
         }, {"Achtung: Der Bildschirmschoner verdeckt Velatrix-Tunes, wenn niemand den PC bedient.",
             "Achtung: Nach dem Bildschirmschoner verlangt Windows ein Kennwort."}},
        {"a password without a screen saver", [](AllDayFacts& f) { f.screenSaver.passwordOnResume = true; }, {}},
        {"each sign of a pending restart", [](AllDayFacts& f) { f.restarts.servicingRebootPending = true; }, {pending}},
        {"a pending restart, other signs unknown", [](AllDayFacts& f) {
             f.restarts.fileRenamesPending = true;
             f.restarts.updateRebootRequired.reset();
         }, {pending}},
        {"no sign, one unknown", [](AllDayFacts& f) { f.restarts.fileRenamesPending.reset(); }, {}},
        {"updates install by themselves (Windows 7)", [](AllDayFacts& f) {
             f.restarts.windowsVersion = 601;
             f.restarts.auOptions = {true, 4};
             f.restarts.noAutoRebootWithLoggedOnUsers = {true, std::nullopt};
         }, {restarts}},
        {"... but no restart while someone is logged on", [](AllDayFacts& f) { f.restarts.auOptions = {true, 4}; }, {}},
        {"... or updates off", [](AllDayFacts& f) {
             f.restarts.auOptions = {true, 4};
             f.restarts.noAutoRebootWithLoggedOnUsers = {true, std::nullopt};
             f.restarts.noAutoUpdate = {true, 1};
         }, {}},
        {"Windows 10's own default outside the active hours", [](AllDayFacts& f) {
             f.restarts.auOptions = {true, std::nullopt};
             f.restarts.noAutoRebootWithLoggedOnUsers = {true, 0};
         }, {"Achtung: Windows Update kann den PC außerhalb der Nutzungszeit (10:00 bis 02:00 Uhr) selbständig neu "
             "starten."}},
        {"Windows 10's default, active hours not set", [](AllDayFacts& f) {
             f.restarts.auOptions = {true, std::nullopt};
             f.restarts.noAutoRebootWithLoggedOnUsers = {true, std::nullopt};
             f.restarts.activeHoursEnd = {true, std::nullopt};
         }, {restarts}},
        {"the update policy unreadable", [](AllDayFacts& f) {
             f.restarts.auOptions = {true, 4};
             f.restarts.noAutoRebootWithLoggedOnUsers = {};
         }, {}},
        {"Windows unknown and nothing set", [](AllDayFacts& f) {
             f.restarts.auOptions = {true, std::nullopt};
             f.restarts.noAutoRebootWithLoggedOnUsers = {true, std::nullopt};
             f.restarts.windowsVersion.reset();
         }, {}},
        {"fast start-up", [](AllDayFacts& f) {
             f.restarts.hiberbootEnabled = {true, 1};
             f.power.hibernationPossible.reset();
         }, {"Achtung: Der Schnellstart ist eingeschaltet: Windows fährt beim Ausschalten nicht ganz herunter, Geräte "
             "starten danach nicht immer richtig."}},
        {"fast start-up without hibernation", [](AllDayFacts& f) { f.restarts.hiberbootEnabled = {true, 1}; }, {}},
        {"no autostart", [](AllDayFacts& f) { f.autostart.jukebox.clear(); }, {noAutostart}},
        {"no autostart found, one place unreadable", [](AllDayFacts& f) {
             f.autostart.jukebox.clear();
             f.autostart.allPlacesRead = false;
         }, {}},
        {"the autostart probe gave no answer", [](AllDayFacts& f) {
             f.autostart = {};
             f.autostart.outcome = ProbeOutcome::TimedOut;
         }, {}},
        {"no automatic logon", [](AllDayFacts& f) { f.autostart.autoLogon = false; },
         {"Achtung: Windows meldet sich nicht automatisch an; nach einem Neustart wartet der PC auf eine Anmeldung "
          "(außer bei einem Benutzer ohne Kennwort)."}},
        {"automatic logon unknown", [](AllDayFacts& f) { f.autostart.autoLogon.reset(); }, {}},
    };
    std::vector<bool> switchedOn(AllDayRules().size());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        AllDayFacts facts = WellSetUp();
        c.change(facts);
        EXPECT_THAT(AllDayWarnings(facts), ElementsAreArray(c.warnings));
        for (size_t i = 0; i < switchedOn.size(); ++i) switchedOn[i] = switchedOn[i] || AllDayRules()[i].holds(facts);
    }
    // Every rule of the table has a case that switches it on.
    for (size_t i = 0; i < switchedOn.size(); ++i) EXPECT_TRUE(switchedOn[i]) << AllDayRules()[i].fact;
    EXPECT_THAT(AllDayWarnings(WellSetUp()), IsEmpty());
    EXPECT_THAT(AllDayWarnings(AllDayFacts{}), IsEmpty());
}

TEST(AllDay, LinesOfSingleFacts) {
    const auto line = [](const AllDayFacts& f, const std::string& start) {
        const std::vector<std::string> lines = Section(f);
        const auto at = std::find_if(lines.begin(), lines.end(), [&](const std::string& l) { return l.starts_with(start); });
        return at == lines.end() ? std::string("<none>") : *at;
    };
    AllDayFacts f = WellSetUp();
    f.screenSaver.active = false;
    EXPECT_EQ(line(f, "  Bildschirmschoner:"), "  Bildschirmschoner:        Aus");
    f.restarts.windowsVersion = 601;
    f.restarts.auOptions = {true, std::nullopt};
    f.restarts.noAutoRebootWithLoggedOnUsers = {true, std::nullopt};
    EXPECT_EQ(line(f, "  Schnellstart:"), "  Schnellstart:             nicht vorhanden (vor Windows 8)");
    EXPECT_EQ(line(f, "  Automatische Updates:"), "  Automatische Updates:     nicht eingerichtet");
    EXPECT_EQ(line(f, "  Nutzungszeit:"), "<none>");
    EXPECT_EQ(line(f, "  Neustart trotz Anmeldung:"), "<none>");
    f.restarts.noAutoUpdate = {true, 1};
    EXPECT_EQ(line(f, "  Automatische Updates:"), "  Automatische Updates:     aus (Richtlinie)");
    f.restarts.windowsVersion = 1000;
    f.restarts.activeHoursStart = {};
    EXPECT_EQ(line(f, "  Nutzungszeit:"), "  Nutzungszeit:             nicht ermittelbar");
    f.restarts.activeHoursStart = {true, std::nullopt};
    EXPECT_EQ(line(f, "  Nutzungszeit:"), "  Nutzungszeit:             nicht festgelegt");
    f.restarts.hiberbootEnabled = {true, std::nullopt};
    EXPECT_EQ(line(f, "  Schnellstart:"), "  Schnellstart:             nicht festgelegt");
    f.restarts.hiberbootEnabled = {true, 1};
    EXPECT_EQ(line(f, "  Schnellstart:"), "  Schnellstart:             Aus (kein Ruhezustand)");
    f.restarts.fileRenamesPending.reset();
    EXPECT_EQ(line(f, "  Neustart steht aus:"), "  Neustart steht aus:       nicht ermittelbar");
    f.restarts.servicingRebootPending = true;
    EXPECT_EQ(line(f, "  Neustart steht aus:"), "  Neustart steht aus:       Ja (Systemwartung)");
    f.autostart.machineShell = "";
    EXPECT_EQ(line(f, "  Windows-Shell:"), "  Windows-Shell:            nicht festgelegt");
    f.autostart.autoLogonUser.reset();
    EXPECT_EQ(line(f, "  Automatische Anmeldung:"), "  Automatische Anmeldung:   Ja");
    f.power.hasBattery = true;
    EXPECT_EQ(line(f, "    Standby nach:"), "    Standby nach:           nie (Akku: nicht ermittelbar)");
}

TEST(AllDay, TimeoutsAndTheProgramACommandStarts) {
    EXPECT_EQ(TimeoutText(0), "nie");
    EXPECT_EQ(TimeoutText(1), "1 Sekunde");
    EXPECT_EQ(TimeoutText(45), "45 Sekunden");
    EXPECT_EQ(TimeoutText(60), "1 Minute");
    EXPECT_EQ(TimeoutText(90 * 60), "90 Minuten");
    EXPECT_EQ(TimeoutText(3600), "1 Stunde");
    EXPECT_EQ(TimeoutText(5 * 3600), "5 Stunden");

    struct Command {
        const char* command;
        bool starts;
    } commands[] = {
        {"\"C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe\" /auto", true},
        {"C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe", true},
        {"  C:\\Programme\\VELATRIX-TUNES 6.EXE /kiosk", true},
        {"Velatrix-Tunes 6.exe", true},
        {"%ProgramFiles%\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe", true},
        {"\"C:\\Velatrix-Tunes 6\\SetUp-Tool.exe\" \"C:\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe\"", false},
        {"C:\\Tools\\Starter.exe Velatrix-Tunes 6.exe", false},
        {"explorer.exe", false},
        {"C:\\Velatrix-Tunes 6.exe.bak", false},
        {"\"\"", false},
        {"", false},
    };
    for (const Command& c : commands) EXPECT_EQ(CommandStarts(c.command, "Velatrix-Tunes 6.exe"), c.starts) << c.command;
}

}  // namespace
}  // namespace vtx
