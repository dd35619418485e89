// "Dauerbetrieb:" of the real exe on the sample installation: a PC set up badly
// (a screen saver, no autostart, a pending restart) shows its facts and the
// warnings; one set up well (the jukebox in the Startup folder, automatic logon)
// shows none, and the logon password planted beside it appears nowhere: not in
// the profile, the export, its archive or on the clipboard.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>
#include <zlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/control_ids.h"
#include "common/files_win.h"
#include "common/unicode_win.h"
#include "e2e/context_menu_steps.h"
#include "e2e/driver_console_win.h"
#include "e2e/driver_win.h"
#include "e2e/sample_tool_test.h"
#include "fixtures/expected_export_win.h"
#include "fixtures/registry_value_win.h"
#include "fixtures/shortcut_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/tree_snapshot_win.h"

namespace vtx::testing {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::Not;

constexpr const wchar_t* kWinlogon = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const char* kPassword = "VTX-Geheim-4711";

// The password as UTF-8 (and ANSI) bytes and as UTF-16 bytes.
bool HoldsPassword(const std::string& bytes) {
    const std::wstring wide = Widen(kPassword);
    const std::string utf16(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
    return bytes.find(kPassword) != std::string::npos || bytes.find(utf16) != std::string::npos;
}

unsigned Little(const std::string& bytes, size_t at, int size) {
    unsigned value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes[at + i]);
    return value;
}

// The data of every entry of a small zip archive (stored or deflated), read from
// its local headers in order.
std::vector<std::string> ArchiveEntries(const std::string& zip) {
    std::vector<std::string> entries;
    for (size_t at = 0; at + 30 <= zip.size() && Little(zip, at, 4) == 0x04034b50;) {
        const unsigned method = Little(zip, at + 8, 2), compressed = Little(zip, at + 18, 4);
        const size_t start = at + 30 + Little(zip, at + 26, 2) + Little(zip, at + 28, 2);
        const std::string data = zip.substr(start, compressed);
        at = start + compressed;
        if (method == 0) {
            entries.push_back(data);
            continue;
        }
        std::string out;
        z_stream z{};
        if (inflateInit2(&z, -MAX_WBITS) != Z_OK) break;
        z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
        z.avail_in = static_cast<uInt>(data.size());
        int status = Z_OK;
        while (status == Z_OK) {
            char chunk[16384];
            z.next_out = reinterpret_cast<Bytef*>(chunk);
            z.avail_out = sizeof chunk;
            status = inflate(&z, Z_NO_FLUSH);
            out.append(chunk, sizeof chunk - z.avail_out);
        }
        inflateEnd(&z);
        entries.push_back(status == Z_STREAM_END ? out : "<not inflated>");
    }
    return entries;
}

class AllDayE2E : public SampleToolTest {
protected:
    AllDayE2E() : SampleToolTest("e2e-all-day") {}

    // The section as "/system FILE" writes it (UTF-8, so nothing is lost).
    std::vector<std::string> Section() {
        const std::string file = root_ / "System.txt";
        const ToolRun run = Run("/system \"" + file + "\"");
        EXPECT_EQ(run.exitCode, 0) << run.error;
        const auto lines = SystemProfileLines(ReadFileBytes(file));
        if (!lines) return {"<no profile>"};
        const auto at = std::find(lines->begin(), lines->end(), "Dauerbetrieb:");
        std::vector<std::string> section(at, std::find(at, lines->end(), ""));
        std::printf("The section as /system printed it:\n");
        for (const std::string& line : section) std::printf("  |%s\n", line.c_str());
        return section;
    }
};

TEST_F(AllDayE2E, APcSetUpBadlyShowsTheFactsAndTheWarnings) {
    RegistryValue screenSaver(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, L"SCRNSAVE.EXE",
                              L"C:\\windows\\system32\\Mystify.scr");
    RegistryValue reboot(HKEY_LOCAL_MACHINE,
                         L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\RebootRequired",
                         KEY_WOW64_64KEY);
    ASSERT_TRUE(screenSaver.written() && reboot.written());
    // Wine has no power plan to tell ("nicht ermittelbar": no warning) and says
    // that it could hibernate; it stands for Windows 7.
    const std::vector<std::string> section = Section();
    ASSERT_GT(section.size(), 6u);
    EXPECT_EQ(section[1], "  Energieplan:              nicht ermittelbar");
    for (size_t line = 2; line < 6; ++line)
        EXPECT_THAT(section[line], ::testing::MatchesRegex("^    .+ nach: +nicht ermittelbar$"));
    EXPECT_THAT(std::vector<std::string>(section.begin() + 6, section.end()),
                ElementsAreArray({
                    "    Ruhezustand möglich:    Ja",
                    "  Bildschirmschoner:        Ein",
                    "    Wartezeit:              5 Minuten",
                    "    Programm:               C:\\windows\\system32\\Mystify.scr",
                    "    Kennwortschutz:         Nein",
                    "  Neustart steht aus:       Ja (Windows Update)",
                    "  Automatische Updates:     nicht eingerichtet",
                    "  Schnellstart:             nicht vorhanden (vor Windows 8)",
                    "  Autostart Velatrix-Tunes: Nein",
                    "  Windows-Shell:            explorer.exe",
                    "  Automatische Anmeldung:   Nein",
                    "  Achtung: Der Bildschirmschoner verdeckt Velatrix-Tunes nach 5 Minuten ohne Eingabe.",
                    "  Achtung: Ein Neustart steht aus.",
                    "  Achtung: Velatrix-Tunes startet nicht automatisch mit Windows.",
                    "  Achtung: Windows meldet sich nicht automatisch an; nach einem Neustart wartet der PC auf eine "
                    "Anmeldung (außer bei einem Benutzer ohne Kennwort).",
                }));
}

TEST_F(AllDayE2E, APcSetUpWellShowsNoWarningAndItsLogonPasswordNowhere) {
    // The jukebox from the user's Startup folder, Windows logging on by itself
    // with a stored password (in both registry views).
    const std::string jukebox = sample_.installDir + "\\Velatrix-Tunes 6.exe";
    const std::string startup = KnownFolderPath(FOLDERID_Startup);
    ASSERT_FALSE(startup.empty());
    CreateDirectoryW(Widen(startup).c_str(), nullptr);
    const std::string link = startup + "\\Velatrix-Tunes 6.lnk";
    struct Removed {
        std::string path;
        ~Removed() { DeleteFileW(Widen(path).c_str()); }
    } linkRemover{link};
    ASSERT_TRUE(MakeShortcut(link, jukebox));
    RegistryValue autoLogon(HKEY_LOCAL_MACHINE, kWinlogon, KEY_WOW64_64KEY, L"AutoAdminLogon", L"1");
    RegistryValue user(HKEY_LOCAL_MACHINE, kWinlogon, KEY_WOW64_64KEY, L"DefaultUserName", L"Kasse");
    RegistryValue password(HKEY_LOCAL_MACHINE, kWinlogon, KEY_WOW64_64KEY, L"DefaultPassword", Widen(kPassword));
    RegistryValue password32(HKEY_LOCAL_MACHINE, kWinlogon, KEY_WOW64_32KEY, L"DefaultPassword", Widen(kPassword));
    ASSERT_TRUE(autoLogon.written() && user.written() && password.written() && password32.written());

    const std::vector<std::string> section = Section();
    EXPECT_THAT(std::vector<std::string>(section.begin() + std::min<size_t>(section.size(), 14), section.end()),
                ElementsAreArray(std::vector<std::string>{
                    "  Autostart Velatrix-Tunes: Ja",
                    "    Autostart (Benutzer):   " + jukebox,
                    "  Windows-Shell:            explorer.exe",
                    "  Automatische Anmeldung:   Ja (Benutzer: Kasse)",
                }));
    EXPECT_THAT(section, Not(::testing::Contains(::testing::StartsWith("  Achtung:"))));

    // Not on standard output, ...
    const ToolRun printed = Run("/system");
    EXPECT_EQ(printed.exitCode, 0);
    EXPECT_THAT(printed.output, HasSubstr("Automatische Anmeldung:   Ja (Benutzer: Kasse)"));
    EXPECT_FALSE(HoldsPassword(printed.output + printed.error));

    // ... not in any file of the export nor in its archive, ...
    const ToolRun exported = Run("/export \"" + root_.path() + "\"");
    EXPECT_EQ(exported.exitCode, 0) << exported.error;
    const Contents files = ContentsOf(SnapshotTree(root_ / "VTX Umgebung"));
    ASSERT_EQ(files.count("System.txt"), 1u) << Listing(files);
    EXPECT_THAT(files.at("System.txt"), HasSubstr("Ja (Benutzer: Kasse)"));
    for (const auto& [path, bytes] : files) EXPECT_FALSE(HoldsPassword(bytes)) << path;
    const std::string zip = ReadFileBytes(root_ / "VTX Umgebung.zip");
    EXPECT_FALSE(HoldsPassword(zip));
    const std::vector<std::string> entries = ArchiveEntries(zip);
    EXPECT_GE(entries.size(), files.size());  // every file and folder, and the top folder
    EXPECT_TRUE(std::any_of(entries.begin(), entries.end(),
                            [](const std::string& data) { return data.find("Ja (Benutzer: Kasse)") != std::string::npos; }));
    for (const std::string& data : entries) EXPECT_FALSE(HoldsPassword(data));

    // ... nor on the clipboard after "Systemprofil kopieren".
    ToolProcess tool;
    ASSERT_TRUE(tool.Launch(exe_));
    HWND main = WaitForMainWindow(tool.id());
    ASSERT_NE(main, nullptr);
    ASSERT_NO_FATAL_FAILURE(PickFromContextMenuEachWay(
        tool.id(), main, GetDlgItem(main, IDC_LSTLOG), 1, 2, "context-menu-all-day", [](HWND) {
            ASSERT_TRUE(WaitUntil([] { return ClipboardUnicodeText().value_or("").starts_with("Systemprofil\r\n"); }, 30000));
            const std::string copied = ClipboardUnicodeText().value_or("");
            EXPECT_THAT(copied, HasSubstr("Automatische Anmeldung:   Ja (Benutzer: Kasse)"));
            EXPECT_FALSE(HoldsPassword(copied));
        }));
    tool.Close();
}

}  // namespace
}  // namespace vtx::testing
