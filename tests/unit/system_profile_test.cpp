// The system profile's lines from gathered facts, character for character.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "profile/system_profile.h"

namespace vtx {
namespace {

using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::Not;

// A Windows 11 machine whose registry still calls itself "Windows 10", with two
// monitors, two sound devices, one serial and one parallel port, two drives and
// the jukebox running.
SystemProfileFacts Windows11Machine() {
    SystemProfileFacts f;
    f.windows.kernel = KernelVersion{10, 0, 22631, ""};
    f.windows.productName = "Windows 10 Pro";
    f.windows.editionId = "Professional";
    f.windows.displayVersion = "23H2";
    f.windows.releaseId = "2009";
    f.windows.currentBuild = "22631";
    f.windows.ubr = 3007;
    f.windows.is64Bit = true;
    f.tool = {"1.0.0", 32, "C:\\Program Files (x86)\\Velatrix-Tunes 6\\Tools\\VTXDiagnostic.exe", "Müller", true, false,
              true};
    f.displays.outcome = ProbeOutcome::Answered;
    f.displays.monitors = {{"\\\\.\\DISPLAY1", 1920, 1080, 32, 60, 0, 0, true},
                           {"\\\\.\\DISPLAY2", 1280, 1024, 32, 75, -1280, 56, false}};
    f.sound.outcome = ProbeOutcome::Answered;
    f.sound.outputs = {"Lautsprecher (Realtek(R) Audio)", "Kopfhörer (USB Audio)"};
    f.sound.defaultOutput = "Lautsprecher (Realtek(R) Audio)";
    f.sound.volumePercent = 35;
    f.sound.muted = false;
    f.ports.serial = std::vector<PortFacts>{{"COM1", "\\Device\\Serial0"}};
    f.ports.parallel = std::vector<PortFacts>{{"LPT1", "\\Device\\Parallel0"}};
    DriveFacts c{"C:\\", ProbeOutcome::Answered, "NTFS", 53687091200ull, 255013683200ull,
                 {{"Installationsordner", "C:\\Program Files (x86)\\Velatrix-Tunes 6"},
                  {"Datenordner", "C:\\Users\\Müller\\AppData\\Roaming\\Velatrix-Tunes 6"},
                  {"Listenordner", "C:\\Users\\Müller\\AppData\\Roaming\\Velatrix-Tunes 6\\Daten"}}};
    DriveFacts d{"D:\\", ProbeOutcome::Answered, "exFAT", 1536ull * 1024 * 1024, 1099511627776ull,
                 {{"Coverordner", "D:\\Cover"}}};
    f.drives = {c, d};
    f.jukebox.processes = std::vector<JukeboxProcess>{
        {4312, "C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe"}};
    f.jukebox.virtualStoreFiles = 2;
    f.time = {"05.03.2024", "14:07:09", "Mitteleuropäische Zeit", 60, 2 * 86400 + 3 * 3600 + 4 * 60 + 5};
    using State = DriverFacts::State;
    f.devices.adapters = {ProbeOutcome::Answered,
                          {{"NVIDIA GeForce GTX 1050 Ti", true, {State::Installed, "NVIDIA", "31.0.15.3179", "3-22-2023", {}}}}};
    f.devices.touch = {ProbeOutcome::Answered, 0x01 | 0x40 | 0x80, 10};
    f.devices.sound = {ProbeOutcome::Answered,
                       {{"Realtek(R) Audio", {State::Installed, "Realtek Semiconductor Corp.", "6.0.9235.1", "8-15-2021", {}}}}};
    f.devices.problems = {ProbeOutcome::Answered, {{"USB-Serial Controller", "", 28}}};
    return f;
}

TEST(SystemProfile, TheWholeProfileOfAWindows11Machine) {
    const std::vector<std::string> expected = {
        "Systemprofil",
        "",
        "Windows:",
        "  Name:                     Windows 11 Pro",
        "  Edition:                  Professional",
        "  Version:                  23H2",
        "  Build:                    22631.3007",
        "  Kernel-Version:           10.0.22631",
        "  Architektur:              64-Bit",
        "",
        "VTX Diagnostic:",
        "  Version:                  1.0.0",
        "  Architektur:              32-Bit",
        "  Pfad:                     C:\\Program Files (x86)\\Velatrix-Tunes 6\\Tools\\VTXDiagnostic.exe",
        "  Benutzer:                 Müller",
        "  Administrator:            Ja",
        "  Erhöhte Rechte:           Nein",
        "  UAC eingeschaltet:        Ja",
        "",
        "Bildschirme:",
        "  Anzahl:                   2",
        "  Bildschirm 1:             \\\\.\\DISPLAY1",
        "    Auflösung:              1920 x 1080",
        "    Farbtiefe:              32 Bit",
        "    Bildwiederholrate:      60 Hz",
        "    Position:               0, 0",
        "    Hauptbildschirm:        Ja",
        "  Bildschirm 2:             \\\\.\\DISPLAY2",
        "    Auflösung:              1280 x 1024",
        "    Farbtiefe:              32 Bit",
        "    Bildwiederholrate:      75 Hz",
        "    Position:               -1280, 56",
        "    Hauptbildschirm:        Nein",
        "  Grafikkarten:             1",
        "  Grafikkarte 1:            NVIDIA GeForce GTX 1050 Ti",
        "    Zeigt den Desktop:      Ja",
        "    Treiberanbieter:        NVIDIA",
        "    Treiberversion:         31.0.15.3179",
        "    Treiberdatum:           22.03.2023",
        "  Touchscreen:              eingebaut",
        "    Bereit:                 Ja",
        "    Berührungspunkte:       10",
        "",
        "Sound:",
        "  Ausgabegeräte:            2",
        "  Ausgabegerät 1:           Lautsprecher (Realtek(R) Audio)",
        "  Ausgabegerät 2:           Kopfhörer (USB Audio)",
        "  Standardgerät:            Lautsprecher (Realtek(R) Audio)",
        "  Lautstärke:               35 %",
        "  Stumm:                    Nein",
        "  Soundgeräte:              1",
        "  Soundgerät 1:             Realtek(R) Audio",
        "    Treiberanbieter:        Realtek Semiconductor Corp.",
        "    Treiberversion:         6.0.9235.1",
        "    Treiberdatum:           15.08.2021",
        "",
        "Anschlüsse:",
        "  Serielle Anschlüsse:      1",
        "    COM1:                   \\Device\\Serial0",
        "  Parallele Anschlüsse:     1",
        "    LPT1:                   \\Device\\Parallel0",
        "",
        "Geräte mit Problemen:",
        "  Geräte:                   1",
        "  Gerät 1:                  USB-Serial Controller",
        "    Klasse:                 Andere Geräte",
        "    Problem:                kein Treiber installiert (Code 28)",
        "",
        "Laufwerke:",
        "  Laufwerk:                 C:\\",
        "    Dateisystem:            NTFS",
        "    Frei:                   50,0 GB",
        "    Gesamt:                 237,5 GB",
        "    Installationsordner:    C:\\Program Files (x86)\\Velatrix-Tunes 6",
        "    Datenordner:            C:\\Users\\Müller\\AppData\\Roaming\\Velatrix-Tunes 6",
        "    Listenordner:           C:\\Users\\Müller\\AppData\\Roaming\\Velatrix-Tunes 6\\Daten",
        "  Laufwerk:                 D:\\",
        "    Dateisystem:            exFAT",
        "    Frei:                   1,5 GB",
        "    Gesamt:                 1.024,0 GB",
        "    Coverordner:            D:\\Cover",
        "",
        "Velatrix-Tunes läuft:       Ja",
        "  Prozess-ID:               4312",
        "  Pfad:                     C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe",
        "  Dateien im VirtualStore:  2",
        "",
        "Zeit:",
        "  Datum:                    05.03.2024",
        "  Uhrzeit:                  14:07:09",
        "  Zeitzone:                 Mitteleuropäische Zeit (UTC+01:00)",
        "  Windows läuft seit:       2 Tage, 03:04:05",
        "",
        "Dauerbetrieb:",
        "  Energieplan:              nicht ermittelbar",
        "    Standby nach:           nicht ermittelbar",
        "    Ruhezustand nach:       nicht ermittelbar",
        "    Bildschirm aus nach:    nicht ermittelbar",
        "    Festplatte aus nach:    nicht ermittelbar",
        "    Ruhezustand möglich:    nicht ermittelbar",
        "  Bildschirmschoner:        nicht ermittelbar",
        "    Wartezeit:              nicht ermittelbar",
        "    Programm:               nicht ermittelbar",
        "    Kennwortschutz:         nicht ermittelbar",
        "  Neustart steht aus:       nicht ermittelbar",
        "  Automatische Updates:     nicht ermittelbar",
        "  Schnellstart:             nicht ermittelbar",
        "  Autostart Velatrix-Tunes: nicht ermittelbar",
        "  Windows-Shell:            nicht ermittelbar",
        "  Automatische Anmeldung:   nicht ermittelbar",
    };
    EXPECT_THAT(BuildSystemProfileLines(Windows11Machine()), ElementsAreArray(expected));
}

TEST(SystemProfile, WindowsNameEditionVersionAndBuild) {
    struct Case {
        const char* what;
        std::optional<KernelVersion> kernel;
        std::optional<std::string> productName, displayVersion, releaseId, currentBuild;
        std::optional<unsigned long> ubr;
        std::vector<std::string> lines;  // Name, Version, Build, Kernel-Version
    } cases[] = {
        {"Windows 11 from build 22000 although the registry says Windows 10", KernelVersion{10, 0, 22000, ""},
         "Windows 10 Home", std::nullopt, "2009", "22000", 194,
         {"Windows 11 Home", "2009", "22000.194", "10.0.22000"}},
        {"Windows 10 below build 22000 stays Windows 10", KernelVersion{10, 0, 19045, ""}, "Windows 10 Pro", "22H2",
         "2009", "19045", 3930, {"Windows 10 Pro", "22H2", "19045.3930", "10.0.19045"}},
        {"a name that already says Windows 11 is kept", KernelVersion{10, 0, 26100, ""}, "Windows 11 Pro", "24H2",
         std::nullopt, "26100", 1, {"Windows 11 Pro", "24H2", "26100.1", "10.0.26100"}},
        {"Windows 100 is no Windows 10", KernelVersion{10, 0, 22621, ""}, "Windows 100 Ultra", std::nullopt,
         std::nullopt, "22621", std::nullopt, {"Windows 100 Ultra", "nicht ermittelbar", "22621", "10.0.22621"}},
        {"Windows 7 has neither DisplayVersion nor ReleaseId", KernelVersion{6, 1, 7601, "Service Pack 1"},
         "Windows 7 Professional", std::nullopt, std::nullopt, "7601", std::nullopt,
         {"Windows 7 Professional", "keine (vor Windows 10)", "7601", "6.1.7601"}},
        {"without a ProductName the kernel names it", KernelVersion{10, 0, 22631, ""}, std::nullopt, std::nullopt,
         std::nullopt, std::nullopt, std::nullopt, {"Windows 11", "nicht ermittelbar", "22631", "10.0.22631"}},
        {"without the kernel's answer the registry's build decides", std::nullopt, "Windows 10 Enterprise", "21H2",
         std::nullopt, "22000", 2538, {"Windows 11 Enterprise", "21H2", "22000.2538", "nicht ermittelbar"}},
        {"a registry lagging behind the kernel gives no revision", KernelVersion{10, 0, 22631, ""}, "Windows 10 Pro",
         "23H2", std::nullopt, "22621", 2861, {"Windows 11 Pro", "23H2", "22631", "10.0.22631"}},
        {"nothing known", std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt, std::nullopt,
         {"nicht ermittelbar", "nicht ermittelbar", "nicht ermittelbar", "nicht ermittelbar"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SystemProfileFacts facts = Windows11Machine();
        facts.windows = {c.kernel, c.productName, std::nullopt, c.displayVersion, c.releaseId, c.currentBuild, c.ubr,
                         false};
        const std::vector<std::string> lines = BuildSystemProfileLines(facts);
        const std::string pad(28, ' ');
        EXPECT_EQ(lines[3], "  Name:" + pad.substr(7) + c.lines[0]);
        EXPECT_EQ(lines[4], "  Edition:                  nicht ermittelbar");
        EXPECT_EQ(lines[5], "  Version:" + pad.substr(10) + c.lines[1]);
        EXPECT_EQ(lines[6], "  Build:" + pad.substr(8) + c.lines[2]);
        EXPECT_EQ(lines[7], "  Kernel-Version:" + pad.substr(17) + c.lines[3]);
        const bool servicePack = c.kernel && !c.kernel->servicePack.empty();
        EXPECT_EQ(lines[8], servicePack ? "  Service Pack:             Service Pack 1" : "  Architektur:              32-Bit");
    }
}

// Lines from `heading` up to the next blank line.
std::vector<std::string> SectionOf(const std::vector<std::string>& lines, const std::string& heading) {
    auto at = std::find(lines.begin(), lines.end(), heading);
    auto end = std::find(at, lines.end(), "");
    return {at, end};
}

TEST(SystemProfile, AbsentDevicesAndProbesThatFailedOrDidNotAnswer) {
    SystemProfileFacts f = Windows11Machine();
    // One monitor, no sound device at all, no ports; the drive D: did not answer,
    // the jukebox does not run, its process list and the VirtualStore still fine.
    f.displays.monitors.resize(1);
    f.sound = {ProbeOutcome::Answered, {}, std::nullopt, std::nullopt, std::nullopt};
    f.devices.sound = {ProbeOutcome::Answered, {}};
    f.devices.problems = {ProbeOutcome::Answered, {}};
    f.ports.serial = std::vector<PortFacts>{};
    f.ports.parallel = std::vector<PortFacts>{};
    f.drives[1] = {"D:\\", ProbeOutcome::TimedOut, std::nullopt, std::nullopt, std::nullopt, {{"Coverordner", "D:\\Cover"}}};
    f.jukebox.processes = std::vector<JukeboxProcess>{};
    f.jukebox.virtualStoreFiles = 0;
    std::vector<std::string> lines = BuildSystemProfileLines(f);

    EXPECT_THAT(SectionOf(lines, "Bildschirme:"), Not(Contains("  Bildschirm 2:             \\\\.\\DISPLAY2")));
    EXPECT_THAT(SectionOf(lines, "Bildschirme:")[1], "  Anzahl:                   1");
    EXPECT_THAT(SectionOf(lines, "Sound:"), ElementsAreArray({"Sound:", "  Ausgabegeräte:            keine",
                                                              "  Standardgerät:            keines",
                                                              "  Soundgeräte:              keine"}));
    EXPECT_THAT(SectionOf(lines, "Geräte mit Problemen:"),
                ElementsAreArray({"Geräte mit Problemen:", "  Geräte:                   keine"}));
    EXPECT_THAT(SectionOf(lines, "Anschlüsse:"),
                ElementsAreArray({"Anschlüsse:", "  Serielle Anschlüsse:      keine", "  Parallele Anschlüsse:     keine"}));
    const auto drives = SectionOf(lines, "Laufwerke:");
    ASSERT_EQ(drives.size(), 13u);
    EXPECT_THAT(std::vector<std::string>(drives.begin() + 8, drives.end()),
                ElementsAreArray({"  Laufwerk:                 D:\\",
                                  "    Dateisystem:            nicht ermittelbar (keine Antwort)",
                                  "    Frei:                   nicht ermittelbar (keine Antwort)",
                                  "    Gesamt:                 nicht ermittelbar (keine Antwort)",
                                  "    Coverordner:            D:\\Cover"}));
    EXPECT_THAT(SectionOf(lines, "Velatrix-Tunes läuft:       Nein"),
                ElementsAreArray({"Velatrix-Tunes läuft:       Nein", "  Dateien im VirtualStore:  0"}));

    // The sound service did not answer, the display query failed, the port lists,
    // the process list and the VirtualStore could not be read, the time zone and
    // the token are unknown, and no drive could be named.
    f.sound = {ProbeOutcome::TimedOut, {}, std::nullopt, std::nullopt, std::nullopt};
    f.displays = {ProbeOutcome::Failed, {}};
    f.devices = {};
    f.ports = {};
    f.jukebox = {};
    f.time.timeZone.reset();
    f.time.utcOffsetMinutes.reset();
    f.time.uptimeSeconds.reset();
    f.tool.user.reset();
    f.tool.administrator.reset();
    f.tool.elevated.reset();
    f.tool.uacOn.reset();
    f.drives.clear();
    lines = BuildSystemProfileLines(f);
    EXPECT_THAT(SectionOf(lines, "Sound:"), ElementsAreArray({"Sound:", "  Ausgabegeräte:            nicht ermittelbar (keine Antwort)",
                                                              "  Soundgeräte:              nicht ermittelbar"}));
    EXPECT_THAT(SectionOf(lines, "Bildschirme:"), ElementsAreArray({"Bildschirme:", "  Anzahl:                   nicht ermittelbar",
                                                                    "  Grafikkarten:             nicht ermittelbar",
                                                                    "  Touchscreen:              nicht ermittelbar"}));
    EXPECT_THAT(SectionOf(lines, "Geräte mit Problemen:"),
                ElementsAreArray({"Geräte mit Problemen:", "  Geräte:                   nicht ermittelbar"}));
    EXPECT_THAT(SectionOf(lines, "Anschlüsse:"), ElementsAreArray({"Anschlüsse:", "  Serielle Anschlüsse:      nicht ermittelbar",
                                                                   "  Parallele Anschlüsse:     nicht ermittelbar"}));
    EXPECT_THAT(SectionOf(lines, "Laufwerke:"), ElementsAreArray({"Laufwerke:", "  Laufwerk:                 nicht ermittelbar"}));
    EXPECT_THAT(SectionOf(lines, "Velatrix-Tunes läuft:       nicht ermittelbar"),
                ElementsAreArray({"Velatrix-Tunes läuft:       nicht ermittelbar", "  Dateien im VirtualStore:  nicht ermittelbar"}));
    EXPECT_THAT(SectionOf(lines, "Zeit:"), ElementsAreArray({"Zeit:", "  Datum:                    05.03.2024",
                                                             "  Uhrzeit:                  14:07:09",
                                                             "  Zeitzone:                 nicht ermittelbar",
                                                             "  Windows läuft seit:       nicht ermittelbar"}));
    EXPECT_THAT(SectionOf(lines, "VTX Diagnostic:"), Contains("  Erhöhte Rechte:           nicht ermittelbar"));
    EXPECT_THAT(SectionOf(lines, "VTX Diagnostic:"), Contains("  Benutzer:                 nicht ermittelbar"));

    // A sound device whose volume could not be read; a display without a fixed rate.
    f.sound = {ProbeOutcome::Answered, {"Lautsprecher"}, "Lautsprecher", std::nullopt, true};
    f.displays = {ProbeOutcome::Answered, {{"\\\\.\\DISPLAY1", 800, 600, std::nullopt, 1, 0, 0, true}}};
    lines = BuildSystemProfileLines(f);
    EXPECT_THAT(SectionOf(lines, "Sound:"),
                ElementsAreArray({"Sound:", "  Ausgabegeräte:            1", "  Ausgabegerät 1:           Lautsprecher",
                                  "  Standardgerät:            Lautsprecher", "  Lautstärke:               nicht ermittelbar",
                                  "  Stumm:                    Ja", "  Soundgeräte:              nicht ermittelbar"}));
    EXPECT_THAT(SectionOf(lines, "Bildschirme:"), Contains("    Farbtiefe:              nicht ermittelbar"));
    EXPECT_THAT(SectionOf(lines, "Bildschirme:"), Contains("    Bildwiederholrate:      Standard der Hardware"));
}

TEST(SystemProfile, SeveralJukeboxesAndAPathThatCouldNotBeRead) {
    SystemProfileFacts f = Windows11Machine();
    f.jukebox.processes = std::vector<JukeboxProcess>{{100, "C:\\A\\Velatrix-Tunes 6.exe"}, {200, std::nullopt}};
    EXPECT_THAT(SectionOf(BuildSystemProfileLines(f), "Velatrix-Tunes läuft:       Ja"),
                ElementsAreArray({"Velatrix-Tunes läuft:       Ja", "  Prozess-ID:               100",
                                  "  Pfad:                     C:\\A\\Velatrix-Tunes 6.exe",
                                  "  Prozess-ID:               200", "  Pfad:                     nicht ermittelbar",
                                  "  Dateien im VirtualStore:  2"}));
}

TEST(SystemProfile, SmallFormatters) {
    EXPECT_EQ(UptimeText(0), "00:00:00");
    EXPECT_EQ(UptimeText(5 * 60), "00:05:00");
    EXPECT_EQ(UptimeText(86399), "23:59:59");
    EXPECT_EQ(UptimeText(86400 + 10), "1 Tag, 00:00:10");
    EXPECT_EQ(UptimeText(400ull * 86400 + 3661), "400 Tage, 01:01:01");

    EXPECT_EQ(UtcOffsetText(0), "UTC");
    EXPECT_EQ(UtcOffsetText(60), "UTC+01:00");
    EXPECT_EQ(UtcOffsetText(-210), "UTC-03:30");
    EXPECT_EQ(UtcOffsetText(345), "UTC+05:45");

    struct RootCase {
        const char* path;
        const char* root;
    } roots[] = {
        {"C:\\Program Files (x86)\\Velatrix-Tunes 6", "C:\\"}, {"d:\\Cover", "D:\\"}, {"E:", "E:\\"},
        {"\\\\server\\share\\Cover", "\\\\server\\share\\"}, {"\\\\server\\share", "\\\\server\\share\\"},
        {"\\\\server", ""}, {"\\\\server\\", ""}, {"Cover", ""}, {"", ""}, {"1:\\x", ""},
    };
    for (const RootCase& r : roots) EXPECT_EQ(RootOfPath(r.path), r.root) << r.path;

    std::vector<PortFacts> ports = {{"COM10", "a"}, {"COM2", "b"}, {"LPT1", "c"}, {"COM1", "d"}, {"COMX", "e"}};
    SortPorts(ports);
    std::vector<std::string> names;
    for (const PortFacts& port : ports) names.push_back(port.name);
    EXPECT_THAT(names, ElementsAreArray({"COM1", "COM2", "COM10", "COMX", "LPT1"}));
}

}  // namespace
}  // namespace vtx
