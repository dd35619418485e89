// The probes of "Dauerbetrieb:" against Wine's real registry, shell and folders:
// facts from keys written into the prefix (and removed after), a Startup folder
// with real shortcuts to the sample's jukebox, and the power probe through a
// stand-in for powrprof.dll (Wine's own answers "not implemented").
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <map>
#include <memory>
#include <utility>

#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "fixtures/registry_value_win.h"
#include "fixtures/sample_install_win.h"
#include "fixtures/shortcut_win.h"
#include "fixtures/temp_folder_win.h"
#include "fixtures/windows_world_win.h"
#include "profile/all_day_win.h"
#include "profile/power_win.h"
#include "profile/profile_jukebox_win.h"

namespace vtx {
namespace {

using ::testing::ElementsAreArray;
using ::testing::HasSubstr;
using ::testing::IsEmpty;
using ::testing::Not;
using testing::RegistryValue;
using testing::TempFolder;

constexpr REGSAM k64 = KEY_WOW64_64KEY;
constexpr REGSAM k32 = KEY_WOW64_32KEY;
constexpr const wchar_t* kWinlogon = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
constexpr const wchar_t* kRun = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kPlantedPassword = "VTX-Geheim-4711";
// The probes on a worker under their deadline where that is under test, else on
// the test's own thread; Wine's own power functions get ample time on a busy
// machine.
constexpr std::chrono::milliseconds kAmpleTime{30000};

// ---- a stand-in for powrprof.dll ----

constexpr GUID kScheme{0x8c5e7fda, 0xe8bf, 0x4a96, {0x9a, 0x85, 0xa6, 0xe2, 0x3a, 0x8c, 0x63, 0x5c}};

struct PowerStandIn {
    DWORD answer = ERROR_SUCCESS;  // of every function; ERROR_CALL_NOT_IMPLEMENTED as Wine
    std::wstring planName = L"Höchstleistung";
    bool battery = false, s4 = true, hiberFile = true;
    HANDLE hold = nullptr;  // while set, the active scheme waits for it
    // (subgroup, setting) by their first field -> mains and battery seconds
    std::map<std::pair<unsigned long, unsigned long>, std::pair<DWORD, DWORD>> values = {
        {{0x238c9fa8, 0x29f6c1db}, {1800, 900}},   // standby
        {{0x238c9fa8, 0x9d7815a6}, {0, 3600}},     // hibernate
        {{0x7516b95f, 0x3c0bc021}, {600, 300}},    // display
        {{0x0012ee47, 0x6738e2c4}, {1200, 600}},   // disk
    };
};
PowerStandIn standIn;

DWORD WINAPI ActiveScheme(HKEY, GUID** scheme) {
    if (standIn.hold) WaitForSingleObject(standIn.hold, INFINITE);
    if (standIn.answer != ERROR_SUCCESS) return standIn.answer;
    *scheme = static_cast<GUID*>(LocalAlloc(LMEM_FIXED, sizeof(GUID)));
    **scheme = kScheme;
    return ERROR_SUCCESS;
}

DWORD ReadValue(const GUID* scheme, const GUID* group, const GUID* setting, DWORD* value, bool battery) {
    if (standIn.answer != ERROR_SUCCESS) return standIn.answer;
    if (!scheme || !IsEqualGUID(*scheme, kScheme) || !group || !setting) return ERROR_INVALID_PARAMETER;
    const auto found = standIn.values.find({group->Data1, setting->Data1});
    if (found == standIn.values.end()) return ERROR_FILE_NOT_FOUND;
    *value = battery ? found->second.second : found->second.first;
    return ERROR_SUCCESS;
}

DWORD WINAPI AcValue(HKEY, const GUID* scheme, const GUID* group, const GUID* setting, DWORD* value) {
    return ReadValue(scheme, group, setting, value, false);
}

DWORD WINAPI DcValue(HKEY, const GUID* scheme, const GUID* group, const GUID* setting, DWORD* value) {
    return ReadValue(scheme, group, setting, value, true);
}

DWORD WINAPI FriendlyName(HKEY, const GUID* scheme, const GUID* group, const GUID* setting, UCHAR* buffer, DWORD* size) {
    if (standIn.answer != ERROR_SUCCESS) return standIn.answer;
    if (!scheme || !IsEqualGUID(*scheme, kScheme) || group || setting) return ERROR_INVALID_PARAMETER;
    const DWORD bytes = static_cast<DWORD>((standIn.planName.size() + 1) * sizeof(wchar_t));
    if (!buffer) {
        *size = bytes;
        return ERROR_SUCCESS;
    }
    if (*size < bytes) return ERROR_MORE_DATA;
    memcpy(buffer, standIn.planName.c_str(), bytes);
    *size = bytes;
    return ERROR_SUCCESS;
}

BOOLEAN WINAPI Capabilities(SYSTEM_POWER_CAPABILITIES* capabilities) {
    if (standIn.answer != ERROR_SUCCESS) return FALSE;
    *capabilities = {};
    capabilities->SystemBatteriesPresent = standIn.battery;
    capabilities->SystemS4 = standIn.s4;
    capabilities->HiberFilePresent = standIn.hiberFile;
    return TRUE;
}

PowerFunctions StandInFunctions() { return {ActiveScheme, AcValue, DcValue, FriendlyName, Capabilities}; }

TEST(AllDayProbes, PowerPlanThroughTheStandIn) {
    standIn = {};
    PowerFacts facts = ReadPowerFacts(StandInFunctions());
    EXPECT_EQ(facts.outcome, ProbeOutcome::Answered);
    EXPECT_EQ(facts.planName, "Höchstleistung");
    EXPECT_EQ(facts.mains.standby, 1800ul);
    EXPECT_EQ(facts.mains.hibernate, 0ul);
    EXPECT_EQ(facts.mains.displayOff, 600ul);
    EXPECT_EQ(facts.mains.diskOff, 1200ul);
    EXPECT_EQ(facts.hasBattery, false);
    EXPECT_FALSE(facts.battery.standby.has_value()) << "no battery, no battery values";
    EXPECT_EQ(facts.hibernationPossible, true);

    // A laptop without a hibernation file.
    standIn.battery = true;
    standIn.hiberFile = false;
    standIn.planName = std::wstring(300, L'x');
    facts = ReadPowerFacts(StandInFunctions());
    EXPECT_EQ(facts.hasBattery, true);
    EXPECT_EQ(facts.battery.standby, 900ul);
    EXPECT_EQ(facts.battery.hibernate, 3600ul);
    EXPECT_EQ(facts.battery.displayOff, 300ul);
    EXPECT_EQ(facts.battery.diskOff, 600ul);
    EXPECT_EQ(facts.hibernationPossible, false);
    EXPECT_EQ(facts.planName, std::string(300, 'x'));

    // A setting the plan lacks, and functions the module does not have.
    standIn.values.erase({0x0012ee47, 0x6738e2c4});
    PowerFunctions partial = StandInFunctions();
    partial.readFriendlyName = nullptr;
    partial.readDcValueIndex = nullptr;
    facts = ReadPowerFacts(partial);
    EXPECT_EQ(facts.outcome, ProbeOutcome::Answered);
    EXPECT_FALSE(facts.planName.has_value());
    EXPECT_FALSE(facts.mains.diskOff.has_value());
    EXPECT_EQ(facts.mains.standby, 1800ul);
    EXPECT_FALSE(facts.battery.standby.has_value());
}

TEST(AllDayProbes, PowerFunctionsThatAreNotImplementedOrHangSayNothing) {
    // As Wine answers: every fact unknown, and so no warning.
    standIn = {};
    standIn.answer = ERROR_CALL_NOT_IMPLEMENTED;
    AllDayFacts allDay;
    allDay.power = ReadPowerFacts(StandInFunctions());
    EXPECT_EQ(allDay.power.outcome, ProbeOutcome::Answered);
    EXPECT_FALSE(allDay.power.planName || allDay.power.mains.standby || allDay.power.hasBattery ||
                 allDay.power.hibernationPossible);
    EXPECT_THAT(AllDayWarnings(allDay), IsEmpty());

    // A power service that does not answer: given up at the deadline.
    standIn = {};
    KernelHandle hold(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    standIn.hold = hold.get();
    const auto start = GetTickCount64();
    const PowerFacts late = GetPowerFacts(std::chrono::milliseconds(300), StandInFunctions());
    EXPECT_EQ(late.outcome, ProbeOutcome::TimedOut);
    EXPECT_LT(GetTickCount64() - start, 5000u);
    EXPECT_FALSE(late.planName.has_value());
    SetEvent(hold.get());
    Sleep(100);

    // Wine's own powrprof.dll, from the system folder: it has the active scheme
    // (which answers "not implemented") but not all of the readers.
    const PowerFunctions system = SystemPowerFunctions();
    EXPECT_NE(system.getActiveScheme, nullptr);
    std::printf("  Wine's powrprof.dll: scheme %d, AC %d, DC %d, name %d, capabilities %d\n",
                system.getActiveScheme != nullptr, system.readAcValueIndex != nullptr,
                system.readDcValueIndex != nullptr, system.readFriendlyName != nullptr,
                system.getPwrCapabilities != nullptr);
    const PowerFacts wine = GetPowerFacts(kAmpleTime);
    std::printf("  Wine: outcome %d, plan %s, standby %ld, battery %d, hibernation %d\n", static_cast<int>(wine.outcome),
                wine.planName.value_or("-").c_str(), wine.mains.standby ? long(*wine.mains.standby) : -1L,
                wine.hasBattery ? int(*wine.hasBattery) : -1,
                wine.hibernationPossible ? int(*wine.hibernationPossible) : -1);
    EXPECT_EQ(wine.outcome, ProbeOutcome::Answered);
    EXPECT_FALSE(wine.planName.has_value());
    EXPECT_FALSE(wine.mains.standby.has_value());
}

// ---- the screen saver ----

TEST(AllDayProbes, TheScreenSaverRunsOnlyWithAProgramAndAPolicyOverridesTheUser) {
    // A fresh prefix: the flag set, 300 seconds, no program: no screen saver.
    const ScreenSaverFacts fresh = GetScreenSaverFacts();
    EXPECT_EQ(fresh.active, true);
    EXPECT_EQ(fresh.timeoutSeconds, 300ul);
    EXPECT_EQ(fresh.program, "");
    EXPECT_EQ(fresh.passwordOnResume, false);
    EXPECT_EQ(ScreenSaverRuns(fresh), false);
    {
        RegistryValue program(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, L"SCRNSAVE.EXE",
                              L"C:\\windows\\system32\\Bänder.scr");
        ASSERT_TRUE(program.written());
        const ScreenSaverFacts chosen = GetScreenSaverFacts();
        EXPECT_EQ(chosen.program, "C:\\windows\\system32\\Bänder.scr");
        EXPECT_EQ(ScreenSaverRuns(chosen), true);

        const std::wstring policy = L"Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
        RegistryValue off(HKEY_CURRENT_USER, policy, 0, L"ScreenSaveActive", L"0");
        RegistryValue timeout(HKEY_CURRENT_USER, policy, 0, L"ScreenSaveTimeOut", L"900");
        RegistryValue secure(HKEY_CURRENT_USER, policy, 0, L"ScreenSaverIsSecure", L"1");
        RegistryValue policyProgram(HKEY_CURRENT_USER, policy, 0, L"SCRNSAVE.EXE", L"C:\\Richtlinie.scr");
        ASSERT_TRUE(off.written() && timeout.written() && secure.written() && policyProgram.written());
        const ScreenSaverFacts ruled = GetScreenSaverFacts();
        EXPECT_EQ(ruled.active, false);
        EXPECT_EQ(ruled.timeoutSeconds, 900ul);
        EXPECT_EQ(ruled.passwordOnResume, true);
        EXPECT_EQ(ruled.program, "C:\\Richtlinie.scr");
        EXPECT_EQ(ScreenSaverRuns(ruled), false);
    }
    EXPECT_EQ(GetScreenSaverFacts().program, "");
}

// ---- restarts ----

TEST(AllDayProbes, PendingRestartsUpdatePolicyAndFastStartupFromThe64BitView) {
    const std::optional<unsigned long> windows10 = 1000;
    const RestartFacts fresh = GetRestartFacts(windows10);
    EXPECT_EQ(fresh.updateRebootRequired, false);
    EXPECT_EQ(fresh.servicingRebootPending, false);
    EXPECT_EQ(fresh.fileRenamesPending, false);
    EXPECT_TRUE(fresh.auOptions.known && !fresh.auOptions.value);
    EXPECT_TRUE(fresh.noAutoRebootWithLoggedOnUsers.known && !fresh.noAutoRebootWithLoggedOnUsers.value);
    std::printf("  fresh prefix: HiberbootEnabled known %d set %d, active hours set %d\n", fresh.hiberbootEnabled.known,
                fresh.hiberbootEnabled.value.has_value(), fresh.activeHoursStart.value.has_value());
    EXPECT_EQ(RestartPending(fresh), false);

    const std::wstring update = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";
    {
        // Where only 32-bit programs look: on 64-bit Windows no restart is pending.
        RegistryValue only32(HKEY_LOCAL_MACHINE, update + L"\\RebootRequired", k32);
        ASSERT_TRUE(only32.written());
        EXPECT_EQ(GetRestartFacts(windows10).updateRebootRequired, !testing::WindowsIs64Bit());
    }
    {
        RegistryValue required(HKEY_LOCAL_MACHINE, update + L"\\RebootRequired", k64);
        RegistryValue servicing(HKEY_LOCAL_MACHINE,
                                L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\RebootPending", k64);
        // A rename of a file that does not exist (Wine would carry it out at its next start).
        RegistryValue renames(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager", k64,
                              L"PendingFileRenameOperations", std::wstring(L"\\??\\C:\\vtx-fehlt.tmp\0", 21) + L'\0',
                              REG_MULTI_SZ);
        const std::wstring policy = L"SOFTWARE\\Policies\\Microsoft\\Windows\\WindowsUpdate";
        RegistryValue au(HKEY_LOCAL_MACHINE, policy + L"\\AU", k64, L"AUOptions", 4);
        RegistryValue noReboot(HKEY_LOCAL_MACHINE, policy + L"\\AU", k64, L"NoAutoRebootWithLoggedOnUsers", 1);
        RegistryValue setHours(HKEY_LOCAL_MACHINE, policy, k64, L"SetActiveHours", 1);
        RegistryValue start(HKEY_LOCAL_MACHINE, policy, k64, L"ActiveHoursStart", 10);
        RegistryValue end(HKEY_LOCAL_MACHINE, policy, k64, L"ActiveHoursEnd", 2);
        RegistryValue hiberboot(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Power", k64,
                                L"HiberbootEnabled", 1);
        for (const RegistryValue* value : {&required, &servicing, &renames, &au, &noReboot, &setHours, &start, &end, &hiberboot})
            ASSERT_TRUE(value->written());
        const RestartFacts facts = GetRestartFacts(windows10);
        EXPECT_EQ(facts.updateRebootRequired, true);
        EXPECT_EQ(facts.servicingRebootPending, true);
        EXPECT_EQ(facts.fileRenamesPending, true);
        EXPECT_EQ(facts.auOptions.value, 4ul);
        EXPECT_EQ(facts.noAutoRebootWithLoggedOnUsers.value, 1ul);
        EXPECT_EQ(facts.activeHoursStart.value, 10ul);
        EXPECT_EQ(facts.activeHoursEnd.value, 2ul);
        EXPECT_EQ(facts.hiberbootEnabled.value, 1ul);
        EXPECT_EQ(UpdatesMayRestart(facts), false);
    }
    {
        // Windows 7 without a policy: the Control Panel's own choice.
        RegistryValue choice(HKEY_LOCAL_MACHINE, update, k64, L"AUOptions", 4);
        ASSERT_TRUE(choice.written());
        EXPECT_EQ(GetRestartFacts(601).auOptions.value, 4ul);
        EXPECT_FALSE(GetRestartFacts(windows10).auOptions.value.has_value());
    }
    EXPECT_EQ(RestartPending(GetRestartFacts(windows10)), false);
}

// ---- autostart ----

class AutostartProbe : public ::testing::Test {
protected:
    void SetUp() override {
        sample_ = testing::SampleForThisMachine(root_ / "Velatrix-Tunes 6");
        std::string error;
        ASSERT_TRUE(testing::MakeSampleInstallation(sample_, error)) << error;
        jukebox_ = sample_.installDir + "\\" + kJukeboxExeName;
    }
    AutostartFacts Probe() { return ReadAutostartFacts(kJukeboxExeName, testing::WindowsIs64Bit()); }

    TempFolder root_{"all-day-autostart"};
    testing::SampleInstallation sample_;
    std::string jukebox_;
};

TEST_F(AutostartProbe, NothingStartsTheJukeboxInAFreshPrefix) {
    const AutostartFacts facts = Probe();
    EXPECT_EQ(facts.outcome, ProbeOutcome::Answered);
    EXPECT_TRUE(facts.allPlacesRead);
    EXPECT_THAT(facts.jukebox, IsEmpty());
    EXPECT_EQ(facts.autoLogon, false);
    std::printf("  Winlogon Shell: %s, user's: %s\n", facts.machineShell.value_or("<unknown>").c_str(),
                facts.userShell.value.value_or("<not set>").c_str());
    // The same on a worker in its own COM apartment.
    EXPECT_EQ(GetAutostartFacts(kAmpleTime, kJukeboxExeName, testing::WindowsIs64Bit()).outcome, ProbeOutcome::Answered);
    EXPECT_EQ(GetAutostartFacts(std::chrono::milliseconds(0), kJukeboxExeName, true).outcome, ProbeOutcome::TimedOut);
}

TEST_F(AutostartProbe, EveryPlaceThatStartsTheJukeboxAndNoPassword) {
    const std::wstring jukebox = Widen(jukebox_);
    RegistryValue userRun(HKEY_CURRENT_USER, kRun, 0, L"VTX Jukebox", L"\"" + jukebox + L"\" /auto");
    RegistryValue otherRun(HKEY_CURRENT_USER, kRun, 0, L"VTX Editor", L"notepad.exe");
    RegistryValue machineRun(HKEY_LOCAL_MACHINE, kRun, k64, L"VTX Jukebox 64", jukebox);
    RegistryValue machineRun32(HKEY_LOCAL_MACHINE, kRun, k32, L"VTX Jukebox 32", L"\"" + jukebox + L"\"");
    RegistryValue userShell(HKEY_CURRENT_USER, kWinlogon, 0, L"Shell", L"\"" + jukebox + L"\" /kiosk");
    RegistryValue autoLogon(HKEY_LOCAL_MACHINE, kWinlogon, k64, L"AutoAdminLogon", L"1");
    RegistryValue user(HKEY_LOCAL_MACHINE, kWinlogon, k64, L"DefaultUserName", L"Kasse");
    // A stored password, planted in both views; the probe must never show it.
    RegKey winlogon;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kWinlogon, 0, KEY_QUERY_VALUE | k64, winlogon.put()), ERROR_SUCCESS);
    ASSERT_EQ(RegQueryValueExW(winlogon.get(), L"DefaultPassword", nullptr, nullptr, nullptr, nullptr), ERROR_FILE_NOT_FOUND);
    RegistryValue password(HKEY_LOCAL_MACHINE, kWinlogon, k64, L"DefaultPassword", Widen(kPlantedPassword));
    RegistryValue password32(HKEY_LOCAL_MACHINE, kWinlogon, k32, L"DefaultPassword", Widen(kPlantedPassword));
    for (const RegistryValue* value : {&userRun, &otherRun, &machineRun, &machineRun32, &userShell, &autoLogon, &user,
                                       &password, &password32})
        ASSERT_TRUE(value->written());

    // Real shortcuts in both Startup folders, and one to another program.
    struct Removed {
        std::string path;
        ~Removed() { DeleteFileW(Widen(path).c_str()); }
    };
    const std::string startup = KnownFolderPath(FOLDERID_Startup), common = KnownFolderPath(FOLDERID_CommonStartup);
    ASSERT_FALSE(startup.empty() || common.empty());
    CreateDirectoryW(Widen(startup).c_str(), nullptr);
    CreateDirectoryW(Widen(common).c_str(), nullptr);
    const Removed links[] = {{startup + "\\Velatrix-Tunes.lnk"}, {startup + "\\Editor.lnk"}, {common + "\\Jukebox.lnk"}};
    ASSERT_TRUE(testing::MakeShortcut(links[0].path, jukebox_));
    ASSERT_TRUE(testing::MakeShortcut(links[1].path, sample_.installDir + "\\SetUp-Tool.exe"));
    ASSERT_TRUE(testing::MakeShortcut(links[2].path, jukebox_));

    const AutostartFacts facts = Probe();
    EXPECT_EQ(facts.outcome, ProbeOutcome::Answered);
    EXPECT_TRUE(facts.allPlacesRead);
    std::vector<std::string> found;
    for (const AutostartEntry& entry : facts.jukebox) found.push_back(entry.place + ": " + entry.command);
    // On 32-bit Windows both machine values stand in the one key it has.
    const char* machine32 = testing::WindowsIs64Bit() ? "Run (Computer, 32-Bit)" : "Run (Computer)";
    const std::vector<std::string> expected = {
        "Run (Benutzer): \"" + jukebox_ + "\" /auto",
        "Run (Computer): " + jukebox_,
        std::string(machine32) + ": \"" + jukebox_ + "\"",
        "Autostart (Benutzer): " + jukebox_,
        "Autostart (alle): " + jukebox_,
        "Shell (Benutzer): \"" + jukebox_ + "\" /kiosk",
    };
    EXPECT_THAT(found, ::testing::UnorderedElementsAreArray(expected));
    EXPECT_EQ(facts.userShell.value, "\"" + jukebox_ + "\" /kiosk");
    EXPECT_EQ(facts.autoLogon, true);
    EXPECT_EQ(facts.autoLogonUser, "Kasse");

    SystemProfileFacts profile;
    profile.allDay.autostart = facts;
    const std::vector<std::string> lines = BuildSystemProfileLines(profile);
    EXPECT_THAT(lines, ::testing::Contains("  Automatische Anmeldung:   Ja (Benutzer: Kasse)"));
    for (const std::string& line : lines) EXPECT_THAT(line, Not(HasSubstr(kPlantedPassword)));
    EXPECT_THAT(AllDayWarnings(profile.allDay), Not(::testing::Contains(HasSubstr("automatisch mit Windows"))));
}

}  // namespace
}  // namespace vtx
