// What happened, as support gets it from the real exe on the sample
// installation: a crash and a hang of the sample's jukebox and a crash of
// another program planted in the prefix's report folders, and dumps beside
// them; "/system" lists the jukebox's and only those, "/export" takes their
// reports byte for byte into WER\ and names the dump it left out.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <vector>

#include "e2e/sample_tool_test.h"
#include "fixtures/archive_keep_win.h"
#include "fixtures/expected_export_win.h"
#include "fixtures/tree_snapshot_win.h"
#include "fixtures/wer_reports_win.h"
#include "profile/incidents.h"

namespace vtx::testing {
namespace {

using ::testing::Contains;
using ::testing::HasSubstr;
using ::testing::Not;

class IncidentsE2E : public SampleToolTest {
protected:
    IncidentsE2E() : SampleToolTest("e2e-incidents") {}

    void SetUp() override {
        SampleToolTest::SetUp();
        if (HasFatalFailure()) return;
        const std::string jukebox = sample_.installDir + "\\Velatrix-Tunes 6.exe";
        crashWer_ = CrashReportWer("Velatrix-Tunes 6.exe", jukebox, FileTimeHoursAgo(2));
        hangWer_ = HangReportWer("Velatrix-Tunes 6.exe", jukebox, FileTimeHoursAgo(1));
        ASSERT_NE(planted_.Add(WerRoot::MachineArchive, kCrash, crashWer_, {{"WER4f2.tmp.mdmp", 4096}}), "");
        ASSERT_NE(planted_.Add(WerRoot::UserQueue, kHang, hangWer_), "");
        ASSERT_NE(planted_.Add(WerRoot::MachineQueue, "AppCrash_notepad.exe_9f8e",
                               CrashReportWer("notepad.exe", "C:\\windows\\notepad.exe", FileTimeHoursAgo(0.5))),
                  "");
        ASSERT_NE(planted_.AddCrashDump("Velatrix-Tunes 6.exe.4312.dmp", kMaxDumpBytes + 1), "");
        ASSERT_NE(planted_.AddCrashDump("Velatrix-Tunes 6.exe.4400.dmp", 100), "");
    }

    static constexpr const char* kCrash = "AppCrash_Velatrix-Tunes 6_5c1d2e3f";
    static constexpr const char* kHang = "AppHang_Velatrix-Tunes 6_77aa01";
    PlantedReports planted_;
    std::string crashWer_, hangWer_;
};

// The section from its heading to the profile's end.
std::vector<std::string> IncidentsSection(const std::vector<std::string>& lines) {
    const auto heading = std::find(lines.begin(), lines.end(), kIncidentsHeading);
    return std::vector<std::string>(heading, lines.end());
}

TEST_F(IncidentsE2E, SystemListsTheJukeboxsCrashAndHangAndNoOtherProgram) {
    const ToolRun run = Run("/system");
    ASSERT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.error, "");
    const std::vector<std::string> section = IncidentsSection(AnsiLines(run.output));
    std::printf("The incidents of the sample with a planted crash and hang:\n");
    for (const std::string& line : section) std::printf("  |%s\n", line.c_str());
    ASSERT_EQ(section.size(), 8u);
    const std::string time = "[0-9]{2}\\.[0-9]{2}\\.[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}";
    const std::vector<std::string> patterns = {
        "Vorfälle \\(letzte 30 Tage\\):",
        "  Fehlerberichte:           2",
        "    Velatrix-Tunes 6\\.exe:   1 Absturz, 1 Hänger",
        "    " + time + "     Hänger von Velatrix-Tunes 6\\.exe 6\\.2\\.0\\.15",
        "    " + time +
            "     Absturz von Velatrix-Tunes 6\\.exe 6\\.2\\.0\\.15 in ntdll\\.dll 6\\.1\\.7601\\.17514, Ausnahme 0xc0000005",
        "    nicht übernommen:       Velatrix-Tunes 6\\.exe\\.4312\\.dmp \\(zu groß\\)",
        // Wine's event log holds no records.
        "  Systemprotokoll:          keine",
        "  Anwendungsprotokoll:      keine",
    };
    for (size_t i = 0; i < patterns.size(); ++i)
        EXPECT_TRUE(std::regex_match(section[i], std::regex(patterns[i]))) << section[i];
    EXPECT_THAT(run.output, Not(HasSubstr("notepad")));
}

TEST_F(IncidentsE2E, ExportTakesTheJukeboxsReportsByteForByteAndTheArchiveHoldsThem) {
    const std::string target = root_ / "Support";
    const ToolRun run = Run("/export \"" + target + "\"");
    EXPECT_EQ(run.exitCode, 0) << run.error;
    const std::string archive = target + "\\VTX Umgebung.zip";
    EXPECT_TRUE(KeepArchive(archive, "export-with-error-reports"));

    Contents exported = ContentsOf(SnapshotTree(target + "\\VTX Umgebung"));
    const std::string crash = std::string("WER\\") + kCrash, hang = std::string("WER\\") + kHang;
    EXPECT_EQ(exported[crash + "\\Report.wer"], crashWer_);
    EXPECT_EQ(exported[hang + "\\Report.wer"], hangWer_);
    EXPECT_EQ(exported[crash + "\\WER4f2.tmp.mdmp"], std::string(4096, '\0'));
    EXPECT_EQ(exported["WER\\CrashDumps\\Velatrix-Tunes 6.exe.4400.dmp"], std::string(100, '\0'));
    // The WER folder holds those and nothing else: not the other program's report, not the dump too large.
    std::vector<std::string> wer;
    for (const auto& [path, bytes] : exported)
        if (path.starts_with("WER\\") || path == "WER") wer.push_back(path);
    EXPECT_THAT(wer, ::testing::ElementsAre("WER", "WER\\AppCrash_Velatrix-Tunes 6_5c1d2e3f",
                                            "WER\\AppCrash_Velatrix-Tunes 6_5c1d2e3f\\Report.wer",
                                            "WER\\AppCrash_Velatrix-Tunes 6_5c1d2e3f\\WER4f2.tmp.mdmp",
                                            "WER\\AppHang_Velatrix-Tunes 6_77aa01",
                                            "WER\\AppHang_Velatrix-Tunes 6_77aa01\\Report.wer", "WER\\CrashDumps",
                                            "WER\\CrashDumps\\Velatrix-Tunes 6.exe.4400.dmp"));
    const auto profile = TakeSystemProfile(exported);
    ASSERT_TRUE(profile.has_value());
    EXPECT_THAT(*profile, Contains("    nicht übernommen:       Velatrix-Tunes 6.exe.4312.dmp (zu groß)"));

    // The archive names them as the folder does (its entries' bytes are checked by
    // the test command's reader of kept archives).
    const std::string zip = ReadFileBytes(archive);
    EXPECT_THAT(zip, HasSubstr("VTX Umgebung/WER/AppCrash_Velatrix-Tunes 6_5c1d2e3f/Report.wer"));
    EXPECT_THAT(zip, HasSubstr("VTX Umgebung/WER/CrashDumps/Velatrix-Tunes 6.exe.4400.dmp"));
    EXPECT_THAT(zip, Not(HasSubstr("4312.dmp")));
}

}  // namespace
}  // namespace vtx::testing
