// The command line: which mode a line of arguments asks for, and what is refused.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "report/report_text.h"

namespace vtx {
namespace {

TEST(ParseCommandLine, ModesAndTheirArguments) {
    struct Case {
        std::vector<std::string> arguments;
        RunMode mode;
        std::string path;
        bool debug;
    } cases[] = {
        {{}, RunMode::Window, "", false},
        {{"/report"}, RunMode::Report, "", false},
        {{"/report", "C:\\Support\\Bericht.txt"}, RunMode::Report, "C:\\Support\\Bericht.txt", false},
        {{"-REPORT", "bericht.txt", "/Debug"}, RunMode::Report, "bericht.txt", true},
        {{"-debug", "/Report"}, RunMode::Report, "", true},
        {{"/report", "/debug"}, RunMode::Report, "", true},
        {{"/export", "C:\\Fehlerbericht"}, RunMode::Export, "C:\\Fehlerbericht", false},
        {{"/debug", "-Export", "D:\\"}, RunMode::Export, "D:\\", true},
        {{"/export", "\\\\server\\support\\Jukebox 12"}, RunMode::Export, "\\\\server\\support\\Jukebox 12", false},
        {{"/report", "Bericht für Müller.txt"}, RunMode::Report, "Bericht für Müller.txt", false},
        {{"/system"}, RunMode::System, "", false},
        {{"-SYSTEM", "C:\\Support\\System.txt"}, RunMode::System, "C:\\Support\\System.txt", false},
        // Asking for help wins, even on a line that is wrong otherwise.
        {{"/?"}, RunMode::Usage, "", false},
        {{"-?"}, RunMode::Usage, "", false},
        {{"/report", "/?"}, RunMode::Usage, "", false},
        {{"/unbekannt", "/?"}, RunMode::Usage, "", false},
    };
    for (const Case& c : cases) {
        std::string line;
        for (const std::string& argument : c.arguments) line += " [" + argument + "]";
        SCOPED_TRACE(line);
        const CommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(parsed.mode, c.mode);
        EXPECT_EQ(parsed.path, c.path);
        EXPECT_EQ(parsed.debug, c.debug);
        EXPECT_EQ(parsed.error, "");
    }
}

TEST(ParseCommandLine, RefusesWhatItCannotReadWithAReason) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error;
    } cases[] = {
        {{"/reprot"}, "Unbekannter Schalter: /reprot"},
        {{"/report:bericht.txt"}, "Unbekannter Schalter: /report:bericht.txt"},
        {{"/"}, "Unbekannter Schalter: /"},
        {{"report"}, "Unerwartetes Argument: report"},
        {{"C:\\Support"}, "Unerwartetes Argument: C:\\Support"},  // a folder dropped on the exe
        {{"/report", "a.txt", "b.txt"}, "Unerwartetes Argument: b.txt"},
        {{"/report", "/debug", "a.txt"}, "Unerwartetes Argument: a.txt"},
        {{"/export"}, "Nach /export fehlt der Ordner."},
        {{"/export", "/debug"}, "Nach /export fehlt der Ordner."},
        {{"/export", ""}, "Nach /export fehlt der Ordner."},
        {{"/report", ""}, "Nach /report steht ein leerer Dateiname."},
        {{"/debug"}, "/debug gilt nur zusammen mit /report oder /export."},
        {{"/report", "/export", "C:\\Ziel"}, "/report und /export lassen sich nicht zusammen angeben."},
        {{"/report", "-Report"}, "Der Schalter /report ist mehrfach angegeben."},
        {{"/system", "/report"}, "/report und /system lassen sich nicht zusammen angeben."},
        {{"/export", "C:\\Ziel", "/system"}, "/export und /system lassen sich nicht zusammen angeben."},
        {{"/system", "/debug"}, "/debug gilt nur zusammen mit /report oder /export."},
        {{"/system", ""}, "Nach /system steht ein leerer Dateiname."},
        {{"/system", "a.txt", "b.txt"}, "Unerwartetes Argument: b.txt"},
        {{"/system", "/System"}, "Der Schalter /system ist mehrfach angegeben."},
        {{"/debug", "/report", "/DEBUG"}, "Der Schalter /debug ist mehrfach angegeben."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        const CommandLine parsed = ParseCommandLine(c.arguments);
        EXPECT_EQ(parsed.mode, RunMode::Invalid);
        EXPECT_EQ(parsed.error, c.error);
    }
}

TEST(ParseCommandLine, RefusesPathsNoWindowsPathCanBe) {
    // "C:\Ordner\" in a shell arrives as C:\Ordner" : the backslash escaped the quote.
    for (const char* path : {"C:\\Ordner\"", "C:\\Ordner\" /debug", "bericht?.txt", "a|b", "C:\\Ziel<1>", "a\tb"}) {
        SCOPED_TRACE(path);
        const CommandLine parsed = ParseCommandLine({"/export", path});
        EXPECT_EQ(parsed.mode, RunMode::Invalid);
        EXPECT_EQ(parsed.error.rfind("Ungültiges Zeichen im Pfad: " + std::string(path) + " ", 0), 0u) << parsed.error;
    }
}

TEST(UsageText, NamesEverySwitchAndTheExitCodes) {
    const std::string usage = UsageText();
    for (const char* text : {"/report [DATEI] [/debug]", "/export ORDNER [/debug]", "/system [DATEI]", "/?",
                             "VTX Umgebung", "UTF-8 mit BOM",
                             "0 erfolgreich, 1 fehlgeschlagen, 2 falscher Aufruf"})
        EXPECT_NE(usage.find(text), std::string::npos) << text;
    // Every line ends in CR LF.
    for (size_t i = usage.find('\n'); i != std::string::npos; i = usage.find('\n', i + 1)) ASSERT_EQ(usage[i - 1], '\r');
    EXPECT_EQ(usage.substr(usage.size() - 2), "\r\n");
}

TEST(ReportText, FileLinesEndInCrLfClipboardLinesAreSeparatedByIt) {
    EXPECT_EQ(ReportText({}), "");
    EXPECT_EQ(ClipboardText({}), "");
    EXPECT_EQ(ReportText({"a"}), "a\r\n");
    EXPECT_EQ(ClipboardText({"a"}), "a");
    EXPECT_EQ(ReportText({"a", "", "Auflösung:"}), "a\r\n\r\nAuflösung:\r\n");
    EXPECT_EQ(ClipboardText({"a", "", "Auflösung:"}), "a\r\n\r\nAuflösung:");
    EXPECT_EQ(ClipboardText({"", ""}), "\r\n");
}

}  // namespace
}  // namespace vtx
