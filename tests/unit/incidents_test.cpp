// The profile's section of what happened: which reports and records are the
// jukebox's, what the export takes of them, and the lines support reads.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "profile/incidents.h"
#include "profile/system_profile.h"

namespace vtx {
namespace {

using ::testing::ElementsAre;
using ::testing::ElementsAreArray;

const JukeboxPrograms kPrograms{{"Velatrix-Tunes 6.exe", "SetUp-Tool.exe", "VTXDiagnostic.exe"},
                                "C:\\Program Files (x86)\\Velatrix-Tunes 6", {}};

WerReport Report(const std::string& type, std::vector<std::optional<std::string>> signature,
                 const std::string& appPath = "") {
    WerReport report;
    report.eventType = type;
    report.signature = std::move(signature);
    report.appPath = appPath;
    return report;
}

TEST(Incidents, WhichReportsAndRecordsAreTheJukeboxs) {
    struct Case {
        WerReport report;
        JukeboxPrograms programs;
        bool jukebox;
    } reports[] = {
        {Report("APPCRASH", {"Velatrix-Tunes 6.exe"}), kPrograms, true},
        {Report("APPCRASH", {"velatrix-tunes 6.EXE"}), kPrograms, true},
        {Report("AppHangB1", {"SetUp-Tool.exe"}), kPrograms, true},
        {Report("BEX", {"VTXDiagnostic.exe"}), kPrograms, true},
        {Report("APPCRASH", {"notepad.exe"}, "C:\\Windows\\notepad.exe"), kPrograms, false},
        // Another program of the install folder (a plug-in's helper), also under another kind.
        {Report("APPCRASH", {"Helfer.exe"}, "C:\\program files (x86)\\Velatrix-Tunes 6\\Module\\Helfer.exe"), kPrograms, true},
        {Report("MoAppCrash", {"Pkg_1.0"}, "C:\\Program Files (x86)\\Velatrix-Tunes 6\\x.exe"), kPrograms, true},
        // A folder of a similar name is not the install folder; a drive's root never is.
        {Report("APPCRASH", {"x.exe"}, "C:\\Program Files (x86)\\Velatrix-Tunes 6 Alt\\x.exe"), kPrograms, false},
        {Report("APPCRASH", {"x.exe"}, "C:\\x.exe"), {{"Velatrix-Tunes 6.exe"}, "C:", {}}, false},
        {Report("APPCRASH", {"x.exe"}, "C:\\x.exe"), {{"Velatrix-Tunes 6.exe"}, "", {}}, false},
        // Without a program position: the file of AppPath names it.
        {Report("APPCRASH", {}, "D:\\Jukebox\\Velatrix-Tunes 6.exe"), kPrograms, true},
        {Report("APPCRASH", {std::nullopt}), kPrograms, false},
    };
    for (const Case& c : reports)
        EXPECT_EQ(IsJukeboxReport(c.report, c.programs), c.jukebox)
            << c.report.eventType << " " << ReportProgram(c.report) << " " << c.report.appPath;

    struct Record {
        const char* source;
        unsigned id;
        std::uint16_t type;
        std::vector<std::string> strings;
        bool system, application;
    } records[] = {
        {"EventLog", 0x80001778, kEventTypeError, {}, true, false},
        {"EventLog", 6005, 4, {}, false, false},
        {"Microsoft-Windows-Kernel-Power", 41, 1, {}, true, false},
        {"Microsoft-Windows-Kernel-Power", 42, 4, {}, false, false},
        {"Disk", 7, 1, {}, true, false},
        {"disk", 11, 1, {}, true, false},
        {"disk", 51, 2, {}, true, false},
        {"disk", 153, 2, {}, true, false},
        {"disk", 15, 1, {}, false, false},
        {"Ntfs", 55, 1, {}, true, false},
        {"Microsoft-Windows-Ntfs", 98, 1, {}, true, false},
        {"Microsoft-Windows-Ntfs", 98, 4, {}, false, false},  // "is healthy"
        {"Application Error", 1000, 1, {"Velatrix-Tunes 6.exe", "6.2.0.15"}, false, true},
        {"Application Error", 1000, 1, {"notepad.exe", "6.1"}, false, false},
        {"Application Error", 1000, 1, {}, false, false},  // no program: never the jukebox's
        {"Application Hang", 1002, 2, {"SetUp-Tool.exe"}, false, true},
        {"Application Hang", 1002, 2, {"x.exe", "1", "2", "3", "4", "C:\\Program Files (x86)\\Velatrix-Tunes 6\\x.exe"}, false, true},
        {"Application Hang", 1001, 2, {"Velatrix-Tunes 6.exe"}, false, false},
        {"Windows Error Reporting", 1001, 4, {"Velatrix-Tunes 6.exe"}, false, false},
    };
    for (const Record& r : records) {
        EventRecord record;
        record.source = r.source;
        record.eventId = r.id;
        record.eventType = r.type;
        record.strings = r.strings;
        EXPECT_EQ(IsSystemIncident(record), r.system) << r.source << " " << r.id;
        EXPECT_EQ(IsJukeboxApplicationIncident(record, kPrograms), r.application) << r.source << " " << r.id;
    }

    // Folders worth reading: the jukebox's programs by the name Windows gave the
    // folder, cut or whole, and folders named otherwise.
    JukeboxPrograms withHelper = kPrograms;
    withHelper.installPrograms = {"Helfer_2.exe"};
    for (const char* folder : {"AppCrash_Velatrix-Tunes 6.exe_5a3c8cd7c1a9_00000000_0f3d2a5e",
                               "AppHang_Velatrix-Tunes 6_27ea11_cab_0c2b", "AppCrash_velatrix-tu_1_2",
                               "AppCrash_SETUP-TOOL.EXE_ab12_cab_1", "Critical_VTXDiagnostic.exe_ff_1",
                               "AppCrash_Helfer_2.exe_77_1", "Report5f1c2a3b", "AppCrash__x_y", "Kaputt_"})
        EXPECT_TRUE(ReportFolderMayBeTheJukeboxs(folder, withHelper)) << folder;
    for (const char* folder : {"AppCrash_notepad.exe_5a3c8cd7c1a9_00000000_0f3d2a5e", "AppHang_OUTLOOK.EXE_27ea_cab_1",
                               "AppCrash_Velatrix-Tunes 7.exe_1_2", "NonCritical_Windows Defender_1_2"})
        EXPECT_FALSE(ReportFolderMayBeTheJukeboxs(folder, withHelper)) << folder;

    for (const char* dump : {"Velatrix-Tunes 6.exe.4312.dmp", "SETUP-TOOL.EXE.1.DMP", "VTXDiagnostic.exe.77.dmp"})
        EXPECT_TRUE(IsJukeboxCrashDump(dump, kPrograms)) << dump;
    for (const char* dump : {"notepad.exe.4312.dmp", "Velatrix-Tunes 6.exe.dmp", "Velatrix-Tunes 6.exe.12a.dmp",
                             "Velatrix-Tunes 6.exe.4312.hdmp", "Velatrix-Tunes 6.exe..dmp", ".dmp", ""})
        EXPECT_FALSE(IsJukeboxCrashDump(dump, kPrograms)) << dump;
}

ErrorReportFacts Folder(const std::string& name, std::vector<IncidentFile> dumps) {
    ErrorReportFacts facts;
    facts.folder = name;
    facts.path = "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportArchive\\" + name;
    facts.report = Report("APPCRASH", {"Velatrix-Tunes 6.exe"});
    for (IncidentFile& dump : dumps) dump.path = facts.path + "\\" + dump.name;
    facts.dumps = std::move(dumps);
    return facts;
}

TEST(Incidents, TheExportTakesEveryReportAndTheNewestFiveDumpsThatAreSmallEnough) {
    ErrorReportsFacts facts;
    facts.outcome = ProbeOutcome::Answered;
    facts.reports = {Folder("AppCrash_A", {{"", "WER1.tmp.mdmp", 1000, 90}, {"", "WER1.tmp.hdmp", 5000, 91}}),
                     Folder("AppCrash_B", {{"", "WER2.tmp.mdmp", kMaxDumpBytes + 1, 80}}),
                     Folder("appcrash_a", {{"", "WER3.tmp.mdmp", 10, 99}}),  // the same folder name again
                     Folder("AppCrash_C", {{"", "WER4.tmp.mdmp", kMaxDumpBytes, 50}})};
    const std::string dumps = "C:\\Users\\M\\AppData\\Local\\CrashDumps\\";
    const std::vector<IncidentFile> crashDumps = {{dumps + "Velatrix-Tunes 6.exe.1.dmp", "Velatrix-Tunes 6.exe.1.dmp", 10, 70},
                                                  {dumps + "Velatrix-Tunes 6.exe.2.dmp", "Velatrix-Tunes 6.exe.2.dmp", 10, 60},
                                                  {dumps + "Velatrix-Tunes 6.exe.3.dmp", "Velatrix-Tunes 6.exe.3.dmp", 10, 40},
                                                  {dumps + "Velatrix-Tunes 6.exe.4.dmp", "Velatrix-Tunes 6.exe.4.dmp", 10, 30}};
    PlanWerExport(facts, crashDumps);
    std::vector<std::string> taken;
    for (const ExportedFile& file : facts.exportFiles) taken.push_back(file.destination);
    EXPECT_THAT(taken, ElementsAre("WER\\AppCrash_A\\Report.wer", "WER\\AppCrash_B\\Report.wer", "WER\\AppCrash_C\\Report.wer",
                                   "WER\\AppCrash_A\\WER1.tmp.mdmp", "WER\\CrashDumps\\Velatrix-Tunes 6.exe.1.dmp",
                                   "WER\\CrashDumps\\Velatrix-Tunes 6.exe.2.dmp", "WER\\AppCrash_C\\WER4.tmp.mdmp",
                                   "WER\\CrashDumps\\Velatrix-Tunes 6.exe.3.dmp"));
    EXPECT_EQ(facts.exportFiles[0].source, "C:\\ProgramData\\Microsoft\\Windows\\WER\\ReportArchive\\AppCrash_A\\Report.wer");
    EXPECT_EQ(facts.exportFiles[4].source, dumps + "Velatrix-Tunes 6.exe.1.dmp");
    EXPECT_THAT(facts.notTaken, ElementsAre("AppCrash_A\\WER1.tmp.hdmp (Heap-Abbild)", "AppCrash_B\\WER2.tmp.mdmp (zu groß)",
                                            "Velatrix-Tunes 6.exe.4.dmp (schon 5 neuere Abbilder)"));
}

ErrorReportFacts Shown(const std::string& type, std::vector<std::optional<std::string>> signature,
                       std::optional<LocalTime> time) {
    ErrorReportFacts facts;
    facts.report = Report(type, std::move(signature));
    facts.time = time;
    return facts;
}

LoggedEvent Logged(const char* source, unsigned id, std::vector<std::string> strings, LocalTime time) {
    LoggedEvent event;
    event.time = time;
    event.record.source = source;
    event.record.eventId = id;
    event.record.eventType = kEventTypeError;
    event.record.strings = std::move(strings);
    return event;
}

// The profile's last section for `incidents`.
std::vector<std::string> Section(const IncidentsFacts& incidents) {
    SystemProfileFacts facts;
    facts.incidents = incidents;
    const std::vector<std::string> lines = BuildSystemProfileLines(facts);
    const auto heading = std::find(lines.begin(), lines.end(), kIncidentsHeading);
    EXPECT_NE(heading, lines.end());
    return std::vector<std::string>(heading, lines.end());
}

TEST(Incidents, TheSectionListsNewestFirstCountsPerProgramAndNamesWhatIsLeftOut) {
    IncidentsFacts incidents;
    ErrorReportsFacts& reports = incidents.errorReports;
    reports.outcome = ProbeOutcome::Answered;
    const LocalTime t{2024, 3, 5, 14, 7, 9};
    reports.reports = {
        Shown("APPCRASH", {"Velatrix-Tunes 6.exe", "6.2.0.15", "5f1c", "ntdll.dll", "6.1.7601.17514", "4ce7", "c0000005", "32a5e"}, t),
        Shown("AppHangB1", {"Velatrix-Tunes 6.exe", "6.2.0.15", "5f1c", "7b04", "0"}, LocalTime{2024, 3, 4, 22, 1, 0}),
        Shown("BEX", {"VTXDiagnostic.exe", "1.0.0.0", "1", "MSVBVM60.DLL", "6.0.98.15", "2", "1a2b", "c0000409", "0"}, t),
        Shown("APPCRASH", {"Velatrix-Tunes 6.exe", "6.2.0.15"}, std::nullopt),  // short, and its time unreadable
        Shown("WindowsUpdateFailure3", {"10.0"}, t),  // a kind without positions: the program from AppPath
    };
    reports.reports.back().report.appPath = "C:\\Program Files (x86)\\Velatrix-Tunes 6\\Velatrix-Tunes 6.exe";
    for (int i = 0; i < 18; ++i) reports.reports.push_back(Shown("AppHangB1", {"SetUp-Tool.exe", "6.2.0.3"}, t));
    reports.notTaken = {"Velatrix-Tunes 6.exe.4312.dmp (zu groß)", "AppCrash_X\\WER1.tmp.hdmp (Heap-Abbild)"};
    incidents.systemLog.outcome = ProbeOutcome::Answered;
    incidents.systemLog.events = {
        Logged("EventLog", 0x80001778, {"\xE2\x80\x8E" "03:10:02", "\xE2\x80\x8E" "05.03.2024"}, {2024, 3, 5, 3, 12, 40}),
        Logged("Microsoft-Windows-Kernel-Power", 41, {"159", "3"}, {2024, 3, 4, 1, 0, 0}),
        Logged("Microsoft-Windows-Kernel-Power", 41, {"0"}, {2024, 3, 3, 1, 0, 0}),
        Logged("disk", 0xC0040007, {"\\Device\\Harddisk0\\DR0"}, {2024, 3, 2, 1, 0, 0}),
        Logged("disk", 0x80040099, {}, {2024, 3, 2, 0, 0, 0}),
        Logged("Ntfs", 0xC0040037, {"C:"}, {2024, 3, 1, 1, 0, 0}),
    };
    incidents.systemLog.count = 26;
    incidents.applicationLog.outcome = ProbeOutcome::Answered;
    incidents.applicationLog.events = {
        Logged("Application Error", 1000,
               {"Velatrix-Tunes 6.exe", "6.2.0.15", "5f1c", "ntdll.dll", "6.1.7601.17514", "4ce7", "c0000005", "32a5e"},
               {2024, 3, 5, 14, 7, 10}),
        Logged("Application Hang", 1002, {"Velatrix-Tunes 6.exe"}, {2024, 3, 4, 22, 1, 1}),
    };
    incidents.applicationLog.count = 2;

    std::vector<std::string> expected = {
        "Vorfälle (letzte 30 Tage):",
        "  Fehlerberichte:           23",
        "    SetUp-Tool.exe:         18 Hänger",
        "    VTXDiagnostic.exe:      1 Pufferüberlauf",
        "    Velatrix-Tunes 6.exe:   2 Abstürze, 1 Hänger, 1 WindowsUpdateFailure3",
        "    05.03.2024 14:07:09     Absturz von Velatrix-Tunes 6.exe 6.2.0.15 in ntdll.dll 6.1.7601.17514, Ausnahme 0xc0000005",
        "    04.03.2024 22:01:00     Hänger von Velatrix-Tunes 6.exe 6.2.0.15",
        "    05.03.2024 14:07:09     Pufferüberlauf von VTXDiagnostic.exe 1.0.0.0 in MSVBVM60.DLL 6.0.98.15, Ausnahme 0xc0000409",
        "    unlesbar                Absturz von Velatrix-Tunes 6.exe 6.2.0.15 (Bericht unvollständig)",
        "    05.03.2024 14:07:09     WindowsUpdateFailure3 von Velatrix-Tunes 6.exe",
    };
    for (int i = 0; i < 15; ++i) expected.push_back("    05.03.2024 14:07:09     Hänger von SetUp-Tool.exe 6.2.0.3");
    const std::vector<std::string> rest = {
        "    ... und 3 weitere",
        "    nicht übernommen:       Velatrix-Tunes 6.exe.4312.dmp (zu groß)",
        "                            AppCrash_X\\WER1.tmp.hdmp (Heap-Abbild)",
        "  Systemprotokoll:          26",
        "    05.03.2024 03:12:40     Unerwartet beendet (zuvor am 05.03.2024 um 03:10:02)",
        "    04.03.2024 01:00:00     Unerwartet beendet (Neustart ohne sauberes Herunterfahren, Stoppcode 0x0000009F)",
        "    03.03.2024 01:00:00     Unerwartet beendet (Neustart ohne sauberes Herunterfahren)",
        "    02.03.2024 01:00:00     Datenträgerfehler \\Device\\Harddisk0\\DR0 (fehlerhafter Block)",
        "    02.03.2024 00:00:00     Datenträgerfehler unlesbar (Vorgang wiederholt)",
        "    01.03.2024 01:00:00     Dateisystemfehler C: (NTFS, Struktur beschädigt)",
        "    ... und 20 weitere",
        "  Anwendungsprotokoll:      2",
        "    05.03.2024 14:07:10     Absturz von Velatrix-Tunes 6.exe 6.2.0.15 in ntdll.dll 6.1.7601.17514, Ausnahme 0xc0000005",
        "    04.03.2024 22:01:01     Hänger von Velatrix-Tunes 6.exe (Eintrag unvollständig)",
    };
    expected.insert(expected.end(), rest.begin(), rest.end());
    EXPECT_THAT(Section(incidents), ElementsAreArray(expected));
}

TEST(Incidents, EmptyFailedAndSilentSourcesSaySo) {
    IncidentsFacts incidents;
    incidents.errorReports.outcome = ProbeOutcome::Answered;
    incidents.systemLog.outcome = ProbeOutcome::TimedOut;
    incidents.applicationLog.outcome = ProbeOutcome::Failed;
    EXPECT_THAT(Section(incidents), ElementsAre("Vorfälle (letzte 30 Tage):", "  Fehlerberichte:           keine",
                                                "  Systemprotokoll:          nicht ermittelbar (keine Antwort)",
                                                "  Anwendungsprotokoll:      nicht ermittelbar"));
    // Without incidents gathered the profile has no such section.
    const std::vector<std::string> plain = BuildSystemProfileLines(SystemProfileFacts{});
    EXPECT_EQ(std::find(plain.begin(), plain.end(), kIncidentsHeading), plain.end());
    const auto lastHeading = std::find_if(plain.rbegin(), plain.rend(),
                                          [](const std::string& line) { return !line.empty() && line[0] != ' '; });
    ASSERT_NE(lastHeading, plain.rend());
    EXPECT_EQ(*lastHeading, kAllDayHeading);
}

}  // namespace
}  // namespace vtx
