// The probes of what happened, against report folders written into the prefix's
// ProgramData and LOCALAPPDATA and against Wine's event log (whose functions find
// no records: there the profile says "keine").
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>

#include "fixtures/temp_folder_win.h"
#include "fixtures/wer_reports_win.h"
#include "profile/incidents_win.h"

namespace vtx {
namespace {

using testing::PlantedReports;
using testing::WerRoot;
using ::testing::ElementsAre;
using ::testing::IsEmpty;

const JukeboxPrograms kPrograms{{"Velatrix-Tunes 6.exe", "SetUp-Tool.exe", "VTXDiagnostic.exe"},
                                "C:\\VTX Vorfall-Test\\Velatrix-Tunes 6", {}};

std::vector<std::string> Destinations(const ErrorReportsFacts& facts) {
    std::vector<std::string> names;
    for (const ExportedFile& file : facts.exportFiles) names.push_back(file.destination);
    return names;
}

TEST(IncidentProbes, TheJukeboxsReportsOfEveryRootAndItsDumpsAndNoOtherProgramsOnes) {
    PlantedReports planted;
    // An installation with a helper program in one of its folders.
    const testing::TempFolder root("incidents");
    JukeboxPrograms programs = kPrograms;
    programs.installDir = root / "Velatrix-Tunes 6";
    ASSERT_TRUE(testing::WriteFileBytes(programs.installDir + "\\Module\\Helfer.exe", "MZ"));
    const std::string jukebox = programs.installDir + "\\Velatrix-Tunes 6.exe";
    const std::string crash = planted.Add(WerRoot::MachineArchive, "AppCrash_Velatrix-Tunes 6_1a2b",
                                          testing::CrashReportWer("Velatrix-Tunes 6.exe", jukebox, testing::FileTimeHoursAgo(2)),
                                          {{"WER1.tmp.mdmp", 1000}, {"WER1.tmp.hdmp", 2000}});
    ASSERT_NE(crash, "");
    ASSERT_NE(planted.Add(WerRoot::UserQueue, "AppHang_Velatrix-Tunes 6_3c4d",
                          testing::HangReportWer("Velatrix-Tunes 6.exe", jukebox, testing::FileTimeHoursAgo(1), false)),
              "");
    // A helper program of the install folder is the jukebox's too.
    ASSERT_NE(planted.Add(WerRoot::UserArchive, "AppCrash_Helfer.exe_5e6f",
                          testing::CrashReportWer("Helfer.exe", programs.installDir + "\\Module\\Helfer.exe",
                                                  testing::FileTimeHoursAgo(3))),
              "");
    // A folder named in another way is read too.
    ASSERT_NE(planted.Add(WerRoot::MachineQueue, "Report0f3d2a5e",
                          testing::CrashReportWer("SetUp-Tool.exe", programs.installDir + "\\SetUp-Tool.exe",
                                                  testing::FileTimeHoursAgo(4))),
              "");
    // What is not: another program, a report older than 30 days, a folder without
    // a report, a damaged one.
    ASSERT_NE(planted.Add(WerRoot::MachineQueue, "AppCrash_notepad.exe_7a8b",
                          testing::CrashReportWer("notepad.exe", "C:\\windows\\notepad.exe", testing::FileTimeHoursAgo(0.5))),
              "");
    ASSERT_NE(planted.Add(WerRoot::MachineArchive, "AppCrash_Velatrix-Tunes 6_alt",
                          testing::CrashReportWer("Velatrix-Tunes 6.exe", jukebox, testing::FileTimeHoursAgo(40 * 24))),
              "");
    ASSERT_NE(planted.Add(WerRoot::MachineQueue, "Leer", "", {{"WER9.tmp.mdmp", 10}}), "");
    ASSERT_NE(planted.Add(WerRoot::MachineQueue, "Kaputt", std::string("\xFF\xFE\x00\xD8=\x00", 6)), "");
    const std::string big = planted.AddCrashDump("Velatrix-Tunes 6.exe.4312.dmp", kMaxDumpBytes + 1);
    const std::string setup = planted.AddCrashDump("SetUp-Tool.exe.77.dmp", 100);
    const std::string other = planted.AddCrashDump("notepad.exe.1.dmp", 100);
    ASSERT_TRUE(!big.empty() && !setup.empty() && !other.empty());
    // The dumps' ages decide which are taken first.
    ASSERT_TRUE(testing::SetWriteTime(big, testing::FileTimeHoursAgo(0.5)));
    ASSERT_TRUE(testing::SetWriteTime(setup, testing::FileTimeHoursAgo(1)));
    ASSERT_TRUE(testing::SetWriteTime(crash + "\\WER1.tmp.mdmp", testing::FileTimeHoursAgo(2)));
    ASSERT_TRUE(testing::SetWriteTime(crash + "\\WER1.tmp.hdmp", testing::FileTimeHoursAgo(3)));

    const ErrorReportsFacts facts =
        GetErrorReports(programs, WerPlacesOfThisMachine(), FileTimeNow(), std::chrono::milliseconds(20000));
    ASSERT_EQ(facts.outcome, ProbeOutcome::Answered);
    std::vector<std::string> folders;
    for (const ErrorReportFacts& report : facts.reports) {
        folders.push_back(report.folder);
        EXPECT_TRUE(report.time.has_value()) << report.folder;
    }
    EXPECT_THAT(folders, ElementsAre("AppHang_Velatrix-Tunes 6_3c4d", "AppCrash_Velatrix-Tunes 6_1a2b",
                                     "AppCrash_Helfer.exe_5e6f", "Report0f3d2a5e"));
    ASSERT_EQ(facts.reports.size(), 4u);
    EXPECT_EQ(facts.reports[0].report.eventType, "AppHangB1");  // the ANSI one
    EXPECT_EQ(facts.reports[1].path, crash);
    EXPECT_THAT(Destinations(facts),
                ElementsAre("WER\\AppHang_Velatrix-Tunes 6_3c4d\\Report.wer", "WER\\AppCrash_Velatrix-Tunes 6_1a2b\\Report.wer",
                            "WER\\AppCrash_Helfer.exe_5e6f\\Report.wer", "WER\\Report0f3d2a5e\\Report.wer",
                            "WER\\CrashDumps\\SetUp-Tool.exe.77.dmp",
                            "WER\\AppCrash_Velatrix-Tunes 6_1a2b\\WER1.tmp.mdmp"));
    EXPECT_EQ(facts.exportFiles[1].source, crash + "\\Report.wer");
    EXPECT_EQ(facts.exportFiles[4].source, setup);
    EXPECT_THAT(facts.notTaken, ElementsAre("Velatrix-Tunes 6.exe.4312.dmp (zu groß)",
                                            "AppCrash_Velatrix-Tunes 6_1a2b\\WER1.tmp.hdmp (Heap-Abbild)"));

    // No time left: no answer, and nothing is read.
    EXPECT_EQ(GetErrorReports(kPrograms, WerPlacesOfThisMachine(), FileTimeNow(), std::chrono::milliseconds(0)).outcome,
              ProbeOutcome::TimedOut);
}

TEST(IncidentProbes, WithoutReportFoldersThereAreNoneAndWinesEventLogsHoldNoRecords) {
    const ErrorReportsFacts none = GetErrorReports(kPrograms, {{"C:\\VTX Vorfall-Test\\fehlt\\ReportQueue"}, ""},
                                                   FileTimeNow(), std::chrono::milliseconds(5000));
    EXPECT_EQ(none.outcome, ProbeOutcome::Answered);
    EXPECT_THAT(none.reports, IsEmpty());
    EXPECT_THAT(none.exportFiles, IsEmpty());

    // Wine's OpenEventLogW gives a handle and ReadEventLogW finds no records: the
    // logs answer with none (on Windows they would list what they hold).
    const IncidentsFacts facts = GetIncidentsFacts(kPrograms, {});
    for (const EventLogFacts* log : {&facts.systemLog, &facts.applicationLog}) {
        EXPECT_EQ(log->outcome, ProbeOutcome::Answered);
        EXPECT_EQ(log->count, 0u);
        EXPECT_THAT(log->events, IsEmpty());
    }
    EXPECT_EQ(facts.errorReports.outcome, ProbeOutcome::Answered);
}

TEST(IncidentProbes, TheyShareTheProfilesBudgetAndLetTheCallersMessagesRun) {
    // Enough of the jukebox's reports that reading them takes a while.
    PlantedReports planted;
    for (int i = 0; i < 150; ++i)
        ASSERT_NE(planted.Add(WerRoot::UserArchive, "AppCrash_Velatrix-Tunes 6_" + std::to_string(i),
                              testing::CrashReportWer("Velatrix-Tunes 6.exe", kPrograms.installDir + "\\Velatrix-Tunes 6.exe",
                                                      testing::FileTimeHoursAgo(1 + i / 100.0))),
                  "");
    int waited = 0;
    const DeadlineBudget budget(std::chrono::milliseconds(60000));
    const IncidentsFacts facts = GetIncidentsFacts(kPrograms, {&budget, [&] { ++waited; }});
    EXPECT_EQ(facts.errorReports.outcome, ProbeOutcome::Answered);
    EXPECT_EQ(facts.errorReports.reports.size(), 150u);
    EXPECT_GT(waited, 0);

    // A budget that is spent: no source is asked, each says it gave no answer.
    const DeadlineBudget spent(std::chrono::milliseconds(0));
    const IncidentsFacts none = GetIncidentsFacts(kPrograms, {&spent, {}});
    EXPECT_EQ(none.errorReports.outcome, ProbeOutcome::TimedOut);
    EXPECT_EQ(none.systemLog.outcome, ProbeOutcome::TimedOut);
    EXPECT_EQ(none.applicationLog.outcome, ProbeOutcome::TimedOut);
}

}  // namespace
}  // namespace vtx
