// The system profile as support gets it from the real exe on the sample
// installation: "/system" on standard output and into a file, with a running
// jukebox, a serial port, a sound card in the device list and Windows 10 in
// place, without a sound output device, and through "Systemprofil kopieren" in
// the window.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <functional>
#include <regex>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "e2e/context_menu_steps.h"
#include "e2e/driver_console_win.h"
#include "e2e/driver_win.h"
#include "e2e/sample_tool_test.h"
#include "fixtures/display_adapter_win.h"
#include "fixtures/expected_export_win.h"
#include "fixtures/media_device_entry_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/serial_port_entry_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/windows_world_win.h"
#include "version.h"

namespace vtx::testing {
namespace {

using ::testing::Contains;
using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::StartsWith;

// The profile without what changes from one moment to the next.
// "64-Bit" or "32-Bit"
std::string Bits(bool is64) { return is64 ? "64-Bit" : "32-Bit"; }

std::vector<std::string> Steady(std::vector<std::string> lines) {
    static const std::regex kChanging("(  Uhrzeit:|  Windows läuft seit:|    Frei:|  Datum:)( +).*");
    for (std::string& line : lines) line = std::regex_replace(line, kChanging, "$1$2<...>");
    return lines;
}

// A line matching the ECMAScript pattern (gtest's own regular expressions are
// too simple on Windows).
::testing::Matcher<const std::string&> Matches(const std::string& pattern) {
    return ::testing::Truly([pattern](const std::string& line) { return std::regex_match(line, std::regex(pattern)); });
}

void Print(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) std::printf("  |%s\n", line.c_str());
}

// The section from `heading` up to the next blank line; empty when it is missing.
std::vector<std::string> SectionAt(const std::vector<std::string>& lines, const std::string& heading) {
    const auto at = std::find(lines.begin(), lines.end(), heading);
    return {at, std::find(at, lines.end(), "")};
}

// Runs a Wine program of the prefix (winecfg) and waits for its end.
bool RunAndWait(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info))
        return false;
    KernelHandle process(info.hProcess), thread(info.hThread);
    DWORD code = 1;
    return WaitForSingleObject(process.get(), 60000) == WAIT_OBJECT_0 && GetExitCodeProcess(process.get(), &code) &&
           code == 0;
}

class SystemProfileE2E : public SampleToolTest {
protected:
    SystemProfileE2E() : SampleToolTest("e2e-profile") {}

    // The profile printed by "/system" (ANSI on a pipe, as the report).
    std::vector<std::string> Printed() {
        const ToolRun run = Run("/system");
        EXPECT_EQ(run.exitCode, 0);
        EXPECT_EQ(run.error, "");
        return AnsiLines(run.output);
    }

};

TEST_F(SystemProfileE2E, SystemGoesToStandardOutputOrAUtf8FileWithByteOrderMark) {
    const std::vector<std::string> lines = Printed();
    std::printf("The profile of the sample installation:\n");
    Print(lines);
    ASSERT_GT(lines.size(), 40u);
    EXPECT_EQ(lines[0], "Systemprofil");
    for (const char* line : {
             "Windows:", "  Kernel-Version:           6.1.7601", "  Service Pack:             Service Pack 1",
             "  Version:                  keine (vor Windows 10)", "  Build:                    7601",
             "VTX Diagnostic:", "  Version:                  " VTX_VERSION_TEXT,
             "Bildschirme:", "  Anzahl:                   1", "    Auflösung:              800 x 600",
             "    Position:               0, 0", "    Hauptbildschirm:        Ja",
             "Sound:", "Anschlüsse:", "Laufwerke:", "  Laufwerk:                 C:\\",
             "Velatrix-Tunes läuft:       Nein", "  Dateien im VirtualStore:  0", "Zeit:",
         })
        EXPECT_THAT(lines, Contains(line));
    EXPECT_THAT(lines, Contains("  Pfad:                     " + exe_));
    // Windows's bitness and the tool's own: the product is 32-bit also on 64-bit Windows.
    const auto windowsAt = std::find(lines.begin(), lines.end(), "Windows:");
    const auto toolAt = std::find(lines.begin(), lines.end(), "VTX Diagnostic:");
    ASSERT_TRUE(windowsAt < toolAt && toolAt < lines.end());
    EXPECT_THAT(std::vector<std::string>(windowsAt, toolAt), Contains("  Architektur:              " + Bits(WindowsIs64Bit())));
    EXPECT_THAT(std::vector<std::string>(toolAt, lines.end()), Contains("  Architektur:              " + Bits(sizeof(void*) == 8)));
    EXPECT_THAT(lines, Contains("    Installationsordner:    " + sample_.installDir));
    EXPECT_THAT(lines, Contains("    Datenordner:            " + sample_.dataDir));
    EXPECT_THAT(lines, Contains("    Coverordner:            " + sample_.dataDir + "\\Cover"));
    // The drive is listed once for all four folders.
    EXPECT_EQ(std::count(lines.begin(), lines.end(), "  Laufwerk:                 C:\\"), 1);

    // The desktop's adapter by the name Windows gives it, with its driver, and no
    // touch screen; the devices with a problem right after the ports (Wine's
    // configuration manager reports none).
    const std::string adapter = FindDesktopAdapter().name;
    ASSERT_NE(adapter, "");
    const std::vector<std::string> displays = SectionAt(lines, "Bildschirme:");
    std::printf("Bildschirme, Sound and Geräte mit Problemen:\n");
    Print(displays);
    const auto adapterAt = std::find(displays.begin(), displays.end(), "  Grafikkarte 1:            " + adapter);
    ASSERT_NE(adapterAt, displays.end());
    EXPECT_THAT(std::vector<std::string>(adapterAt + 1, displays.end()),
                ::testing::IsSupersetOf({"    Zeigt den Desktop:      Ja", "  Touchscreen:              keiner"}));
    EXPECT_THAT(displays, Contains(Matches("    Treiberdatum:           [0-9]{2}\\.[0-9]{2}\\.[0-9]{4}")));
    EXPECT_THAT(displays, Contains("  Grafikkarten:             1"));
    const std::vector<std::string> sound = SectionAt(lines, "Sound:");
    Print(sound);
    EXPECT_THAT(sound, Contains(StartsWith("  Soundgeräte:")));
    const auto portsAt = std::find(lines.begin(), lines.end(), "Anschlüsse:");
    ASSERT_NE(portsAt, lines.end());
    const auto problemsAt = std::find(portsAt, lines.end(), "") + 1;
    ASSERT_LT(problemsAt, lines.end());
    const std::vector<std::string> problems = SectionAt(lines, "Geräte mit Problemen:");
    Print(problems);
    EXPECT_EQ(*problemsAt, "Geräte mit Problemen:");
    EXPECT_THAT(problems, ElementsAreArray({"Geräte mit Problemen:", "  Geräte:                   keine"}));

    // A file, named relative to the folder the script runs in: UTF-8 with its mark
    // and CR LF, the same lines.
    const std::string file = root_ / "Systemprofil für Müller.txt";
    ASSERT_TRUE(WriteFileBytes(file, std::string(10000, 'x')));
    const ToolRun written = Run("/System \"Systemprofil für Müller.txt\"", root_.path());
    EXPECT_EQ(written.exitCode, 0);
    EXPECT_EQ(written.output, "");
    EXPECT_EQ(written.error, "");
    const std::string bytes = ReadFileBytes(file);
    EXPECT_THAT(bytes, StartsWith("\xEF\xBB\xBFSystemprofil\r\n\r\nWindows:\r\n"));
    EXPECT_THAT(bytes, HasSubstr("\r\nVelatrix-Tunes l\xC3\xA4uft:       Nein\r\n"));
    const auto fileLines = SystemProfileLines(bytes);
    ASSERT_TRUE(fileLines.has_value()) << bytes.substr(0, 200);
    EXPECT_THAT(Steady(*fileLines), ElementsAreArray(Steady(lines)));

    // A file that cannot be written: 1, and the message names it.
    const std::string missing = root_ / "Fehlt\\System.txt";
    const ToolRun failed = Run("/system \"" + missing + "\"");
    EXPECT_EQ(failed.exitCode, 1);
    EXPECT_EQ(failed.output, "");
    EXPECT_EQ(failed.error, ToAnsi("Das Systemprofil konnte nicht in die Datei " + missing + " geschrieben werden.\r\n"));
}

TEST_F(SystemProfileE2E, ARunningJukeboxItsVirtualStoreASerialPortAndASoundDeviceAreListed) {
    // A sample in Program Files (x86), whose writes Windows keeps in the VirtualStore.
    wchar_t programFiles[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_PROGRAM_FILESX86, nullptr, SHGFP_TYPE_CURRENT, programFiles)));
    struct TreeRemover {
        std::string tree;
        ~TreeRemover() { RemoveTree(tree); }
    } installRemover{Narrow(programFiles) + "\\VTX Systemprofil-Test"};
    sample_ = SampleForThisMachine(installRemover.tree + "\\Velatrix-Tunes 6");
    std::string error;
    ASSERT_TRUE(MakeSampleInstallation(sample_, error)) << error;
    exe_ = sample_.installDir + "\\Tools\\VTXDiagnostic.exe";

    // The jukebox of the sample, held suspended so that it keeps running.
    const std::string jukebox = sample_.installDir + "\\Velatrix-Tunes 6.exe";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + Widen(jukebox) + L"\"";
    ASSERT_TRUE(CreateProcessW(Widen(jukebox).c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED,
                               nullptr, nullptr, &startup, &info));
    KernelHandle process(info.hProcess), thread(info.hThread);
    struct Ender {
        HANDLE process;
        ~Ender() {
            TerminateProcess(process, 0);
            WaitForSingleObject(process, 10000);
        }
    } ender{process.get()};

    // What the jukebox wrote into its protected folder, kept by Windows for it.
    wchar_t localAppData[MAX_PATH] = {};
    ASSERT_TRUE(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, localAppData)));
    const std::string store = Narrow(localAppData) + "\\VirtualStore" + sample_.installDir.substr(2);
    ASSERT_TRUE(WriteFileBytes(store + "\\Velatrix-Tunes.ini", "[Programm]\r\nSprache=Englisch\r\n"));
    ASSERT_TRUE(WriteFileBytes(store + "\\Module\\Module.ini", "[Module]\r\n"));
    const TreeRemover storeRemover{store};

    SerialPortEntry port(L"\\Device\\VtxSerial5", L"COM5");
    ASSERT_TRUE(port.written());
    // A sound device with its driver (Wine registers none of its own).
    const MediaDeviceEntry card(L"ROOT\\VTXTEST\\0000", L"VTX Soundkarte",
                                MediaDeviceEntry::Driver{L"VTX Prüfung", L"6.0.9235.1", L"8-15-2021"});
    ASSERT_TRUE(card.registered());

    const std::vector<std::string> lines = Printed();
    const auto jukeboxAt = std::find(lines.begin(), lines.end(), "Velatrix-Tunes läuft:       Ja");
    ASSERT_NE(jukeboxAt, lines.end());
    EXPECT_THAT(std::vector<std::string>(jukeboxAt, std::min(jukeboxAt + 4, lines.end())),
                ElementsAreArray(std::vector<std::string>{"Velatrix-Tunes läuft:       Ja",
                                  "  Prozess-ID:               " + std::to_string(info.dwProcessId),
                                  "  Pfad:                     " + jukebox, "  Dateien im VirtualStore:  2"}));
    EXPECT_THAT(lines, Contains("    COM5:                   \\Device\\VtxSerial5"));
    const auto serial = std::find_if(lines.begin(), lines.end(),
                                     [](const std::string& line) { return line.starts_with("  Serielle Anschlüsse:"); });
    ASSERT_NE(serial, lines.end());
    EXPECT_NE(*serial, "  Serielle Anschlüsse:      keine");
    const std::vector<std::string> sound = SectionAt(lines, "Sound:");
    std::printf("Sound with a sound device of the media class:\n");
    Print(sound);
    const auto cardAt = std::find(sound.begin(), sound.end(), "  Soundgerät 1:             VTX Soundkarte");
    ASSERT_NE(cardAt, sound.end());
    EXPECT_THAT(std::vector<std::string>(cardAt + 1, sound.end()),
                ElementsAreArray({"    Treiberanbieter:        VTX Prüfung", "    Treiberversion:         6.0.9235.1",
                                  "    Treiberdatum:           15.08.2021"}));
    EXPECT_THAT(sound, Contains("  Soundgeräte:              1"));
}

TEST_F(SystemProfileE2E, UnderWindows10TheProfileTellsTheTruthWhileTheReportCannot) {
    ASSERT_TRUE(RunAndWait(L"winecfg.exe -v win10"));
    struct Restore {
        ~Restore() { RunAndWait(L"winecfg.exe -v win7"); }
    } restore;

    const std::vector<std::string> lines = Printed();
    std::printf("Windows under winecfg -v win10:\n");
    Print(std::vector<std::string>(lines.begin() + 2, lines.begin() + 10));
    EXPECT_THAT(lines, Contains("  Kernel-Version:           10.0.18362"));
    EXPECT_THAT(lines, Contains(Matches("  Build:                    18362(\\.[0-9]+)?")));
    EXPECT_THAT(lines, Contains(Matches("  Name:                     .*Windows 10.*")));
    EXPECT_THAT(lines, Contains("  Architektur:              " + Bits(WindowsIs64Bit())));

    // The report keeps the jukebox's view: the platform hides the version from it.
    const ToolRun report = Run("/report");
    EXPECT_EQ(report.exitCode, 0);
    const std::vector<std::string> reportLines = AnsiLines(report.output);
    ASSERT_EQ(reportLines.size(), 45u);
    EXPECT_EQ(reportLines[8], "Betriebssystem:   Unbekanntes Betriebssystem ()");
}

TEST_F(SystemProfileE2E, WithoutASoundDeviceTheProfileSaysSo) {
    // Wine's audio drivers switched off for the tool (an application default of
    // the prefix): no output device at all.
    const wchar_t* key = L"Software\\Wine\\AppDefaults\\VTXDiagnostic.exe\\DllOverrides";
    {
        RegKey overrides;
        ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, key, 0, nullptr, 0, KEY_SET_VALUE, nullptr, overrides.put(), nullptr),
                  ERROR_SUCCESS);
        for (const wchar_t* driver : {L"winealsa.drv", L"winepulse.drv", L"wineoss.drv"})
            ASSERT_EQ(RegSetValueExW(overrides.get(), driver, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t)),
                      ERROR_SUCCESS);
    }
    struct OverridesRemover {
        const wchar_t* key;
        ~OverridesRemover() { RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\Wine\\AppDefaults\\VTXDiagnostic.exe"); }
    } remover{key};
    const ToolRun run = Run("/system");
    EXPECT_EQ(run.exitCode, 0);
    const std::vector<std::string> lines = AnsiLines(run.output);
    const std::vector<std::string> section = SectionAt(lines, "Sound:");
    std::printf("Sound without a device:\n");
    Print(section);
    EXPECT_THAT(section, ElementsAreArray({"Sound:", "  Ausgabegeräte:            keine", "  Standardgerät:            keines",
                                           "  Soundgeräte:              keine"}));
    // The rest of the profile is all there.
    EXPECT_THAT(lines, Contains("Velatrix-Tunes läuft:       Nein"));
    EXPECT_THAT(lines, Contains(StartsWith("  Windows läuft seit:")));
    EXPECT_THAT(lines, Contains("Dauerbetrieb:"));
}

TEST_F(SystemProfileE2E, TheListsContextMenuCopiesTheSystemProfile) {
    ToolProcess tool;
    ASSERT_TRUE(tool.Launch(exe_));
    HWND main = WaitForMainWindow(tool.id());
    ASSERT_NE(main, nullptr);
    HWND list = GetDlgItem(main, IDC_LSTLOG);
    const std::vector<std::string> printed = Printed();
    const auto copied = [] { return ClipboardUnicodeText().value_or("<no Unicode text>"); };

    // Its second item, picked with the mouse and with the keyboard.
    const auto checkCopy = [&](HWND menu) {
        ASSERT_TRUE(WaitUntil([&] { return copied().starts_with("Systemprofil\r\n"); }, 30000)) << copied();
        // The lines separated by CR LF, as "Bericht kopieren" does it; the same
        // profile as "/system" gives (Unicode here, so nothing is lost).
        const std::string text = copied();
        EXPECT_FALSE(text.ends_with("\r\n"));
        std::vector<std::string> lines;
        for (size_t at = 0;;) {
            const size_t end = text.find("\r\n", at);
            lines.push_back(text.substr(at, end == std::string::npos ? std::string::npos : end - at));
            if (end == std::string::npos) break;
            at = end + 2;
        }
        EXPECT_THAT(Steady(lines), ElementsAreArray(Steady(printed)));
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(menu); }, 5000));
    };
    ASSERT_NO_FATAL_FAILURE(PickFromContextMenuEachWay(tool.id(), main, list, 1, 2, "context-menu-profile", checkCopy));
    // The report in the list is untouched.
    EXPECT_EQ(ListLines(list).size(), 45u);
    tool.Close();
}

}  // namespace
}  // namespace vtx::testing
