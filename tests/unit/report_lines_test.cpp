// The report's lines character for character: support staff read them in VTX.log.
#include <gtest/gtest.h>

#include "app/startup.h"
#include "report/report_lines.h"

namespace vtx {
namespace {

ReportFacts SampleFacts() {
    ReportFacts f;
    f.date = "09.12.2026";
    f.time = "23:41:07";
    f.totalMemory = "3,99 GB";
    f.freeMemory = "1.536,0 MB";
    f.clockSpeed = "2400";
    f.osName = "Windows 7 (Service Pack 1)";
    f.isAdmin = true;
    f.screenWidth = 1024;
    f.screenHeight = 768;
    f.jukeboxVersion = "6.02.0015";
    f.setupVersion = "";  // exists, without version resource
    f.versionMajor = 1;
    f.versionMinor = 4;
    f.versionRevision = 12;
    const auto paths = MakeFileList("C:\\windows\\syswow64", "C:\\VT6", "Holz-Dunkel 2", 1024, 768);
    for (size_t i = 0; i < paths.size(); ++i) f.files[i] = {paths[i], i != 1 && i != 6};
    for (size_t i = 0; i < kComponentList.size(); ++i) f.components[i] = {kComponentList[i], i < 3};
    f.adverts = 2;
    f.covers = 0;
    f.folders = 3;
    f.favourites = 12;
    return f;
}

TEST(BuildReportLines, TheFortyFiveLinesOfTheReport) {
    const std::vector<std::string> expected{
        "09.12.2026 - 23:41:07",
        "",
        "Allgemeine Infos:",
        "",
        "RAM Total:        3,99 GB",
        "RAM Frei:         1.536,0 MB",
        "Prozessortakt:    2400 MHz",
        "",
        "Betriebssystem:   Windows 7 (Service Pack 1)",
        "Administrator:    Ja",
        "Auflösung:        1024 x 768",
        "",
        "Versionen:",
        "  Velatrix-Tunes: 6.02.0015",
        "  SetUp:          ",
        "  Diagnostic:     1.4.12",
        "",
        "Dateien:",
        "  MSVBVM60.DLL             OK",
        "  INPOUT32.DLL             XX",
        "  Velatrix-Tunes 6.exe     OK",
        "  SetUp-Tool.exe           OK",
        "  Skin.t6s                 OK",
        "  asycfilt.dll             OK",
        "  MSCMCDE.DLL              XX",
        "  stdole2.tlb              OK",
        "",
        "Registrierungen:",
        "  MSCOMM32.OCX             REG",
        "  Comdlg32.ocx             REG",
        "  scrrun.dll               REG",
        "  TabCtl32.ocx             ---",
        "  comctl32.ocx             ---",
        "  Mscomct2.ocx             ---",
        "  mswinsck.ocx             ---",
        "  SSubTmr6.dll             ---",
        "  MSCOMCTL.OCX             ---",
        "  wmp.dll                  ---",
        "",
        "Sonstiges:",
        "",
        "Anzahl Werbung: 2",
        "Anzahl Cover:   0",
        "Anzahl Verz.:   3",
        "Anzahl Fav.:    12",
    };
    EXPECT_EQ(BuildReportLines(SampleFacts()), expected);
}

TEST(BuildReportLines, StatusWordsStartInColumn27) {
    for (const std::string& line : BuildReportLines(SampleFacts())) {
        if (line.size() > 27 && line.rfind("  ", 0) == 0 && line[2] != ' ' && line.find(':') == std::string::npos) {
            EXPECT_EQ(line[26], ' ') << line;  // the blank before the status word is character 27
            EXPECT_NE(line[27], ' ') << line;
        }
    }
}

TEST(BuildReportLines, TheDebugSectionAddsEightLinesWithEachIdsOwnStatus) {
    ReportFacts f = SampleFacts();
    f.debugInfo = true;
    f.driveIds = {{{"", 1}, {"", 1}, {"57494E454844495348", 2}, {"3030", 0}, {"", 4}, {"x", -1}}};
    const auto lines = BuildReportLines(f);
    ASSERT_EQ(lines.size(), 53u);
    EXPECT_EQ(lines[44], "Anzahl Fav.:    12");
    const std::vector<std::string> debug(lines.begin() + 45, lines.end());
    const std::vector<std::string> expected{
        "", "Debug-Information:", "ID 1: [1]", "ID 2: [1]", "ID 3: 57494E454844495348[2]", "ID 4: 3030[0]",
        "ID 5: [4]", "ID 6: x[-1]",
    };
    EXPECT_EQ(debug, expected);
}

TEST(BuildReportLines, FailedProbesLeaveTheirLabelsAndMissingProgramsShowDashes) {
    ReportFacts f = SampleFacts();
    f.totalMemory = f.freeMemory = f.clockSpeed = f.osName = "";
    f.isAdmin = false;
    f.jukeboxVersion.reset();
    f.setupVersion.reset();
    const auto lines = BuildReportLines(f);
    ASSERT_EQ(lines.size(), 45u);
    EXPECT_EQ(lines[4], "RAM Total:        ");
    EXPECT_EQ(lines[5], "RAM Frei:         ");
    EXPECT_EQ(lines[6], "Prozessortakt:     MHz");
    EXPECT_EQ(lines[8], "Betriebssystem:   ");
    EXPECT_EQ(lines[9], "Administrator:    Nein");
    EXPECT_EQ(lines[13], "  Velatrix-Tunes: ---");
    EXPECT_EQ(lines[14], "  SetUp:          ---");
}

TEST(StatusLine, PadsNamesToTwentyFourCharacters) {
    EXPECT_EQ(StatusLine("MSVBVM60.DLL", " OK"), "  MSVBVM60.DLL            " " OK");
    EXPECT_EQ(StatusLine("", " XX"), std::string(26, ' ') + " XX");
    EXPECT_EQ(StatusLine("Überlänge-mit-Umlaut.ocx", " REG"), "  Überlänge-mit-Umlaut.ocx REG");  // 24 characters
    EXPECT_EQ(StatusLine("ein-sehr-langer-dateiname.ocx", " ---"), "  ein-sehr-langer-dateiname.ocx ---");
}

}  // namespace
}  // namespace vtx
