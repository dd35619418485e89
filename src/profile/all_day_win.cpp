#include "profile/all_day_win.h"

#include <windows.h>
#include <shlobj.h>
#include <wrl/client.h>

#include "common/deadlines.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "profile/power_win.h"
#include "profile/profile_jukebox_win.h"
#include "profile/profile_probe.h"
#include "profile/profile_registry_win.h"

namespace vtx {
namespace {

using Microsoft::WRL::ComPtr;

constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr REGSAM kView32 = KEY_WOW64_32KEY;
constexpr REGSAM kOwnView = 0;

constexpr const wchar_t* kDesktopKey = L"Control Panel\\Desktop";
constexpr const wchar_t* kDesktopPolicyKey = L"Software\\Policies\\Microsoft\\Windows\\Control Panel\\Desktop";
constexpr const wchar_t* kUpdateRebootKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update\\RebootRequired";
constexpr const wchar_t* kServicingRebootKey =
    L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Component Based Servicing\\RebootPending";
constexpr const wchar_t* kSessionManagerKey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager";
constexpr const wchar_t* kUpdatePolicyKey = L"SOFTWARE\\Policies\\Microsoft\\Windows\\WindowsUpdate";
constexpr const wchar_t* kUpdatePolicyAuKey = L"SOFTWARE\\Policies\\Microsoft\\Windows\\WindowsUpdate\\AU";
constexpr const wchar_t* kAutoUpdateKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\WindowsUpdate\\Auto Update";
constexpr const wchar_t* kActiveHoursKey = L"SOFTWARE\\Microsoft\\WindowsUpdate\\UX\\Settings";
constexpr const wchar_t* kPowerKey = L"SYSTEM\\CurrentControlSet\\Control\\Session Manager\\Power";
constexpr const wchar_t* kRunKey = L"Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const wchar_t* kWinlogonKey = L"Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

std::optional<bool> AsFlag(const Setting<unsigned long>& setting, bool unset) {
    if (!setting.known) return std::nullopt;
    return setting.value ? *setting.value != 0 : unset;
}

// A user setting: the policy's where it sets one, else the user's own.
template <class Read>
auto UserSetting(Read read, const wchar_t* name) {
    auto policy = read(HKEY_CURRENT_USER, kDesktopPolicyKey, name, kOwnView);
    return policy.value ? policy : read(HKEY_CURRENT_USER, kDesktopKey, name, kOwnView);
}

std::optional<bool> SpiFlag(UINT action) {
    BOOL value = FALSE;
    if (!SystemParametersInfoW(action, 0, &value, 0)) return std::nullopt;
    return value != FALSE;
}

// Either sign: true when one is there, false when both are known to be absent.
std::optional<bool> Either(std::optional<bool> a, std::optional<bool> b) {
    if (a == true || b == true) return true;
    if (a && b) return false;
    return std::nullopt;
}

// The ordinary Windows COM apartment of the worker, left again when it ends.
class ComApartment {
public:
    ComApartment() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE)) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (SUCCEEDED(result_)) CoUninitialize();
    }

private:
    HRESULT result_;
};

// The target of a shortcut, read through the shell's link object without
// resolving it (resolving may search the disks and rewrite the link).
std::optional<std::string> LinkTarget(const std::string& link) {
    ComPtr<IShellLinkW> shellLink;
    ComPtr<IPersistFile> file;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&shellLink))) ||
        FAILED(shellLink.As(&file)) || FAILED(file->Load(Widen(link).c_str(), STGM_READ)))
        return std::nullopt;
    wchar_t target[MAX_PATH] = {};
    if (shellLink->GetPath(target, MAX_PATH, nullptr, 0) != S_OK) return std::nullopt;
    const std::string path = NarrowBuffer(target, MAX_PATH);
    if (path.empty()) return std::nullopt;
    return path;
}

bool IsShortcut(const std::wstring& name) {
    return name.size() > 4 && _wcsicmp(name.c_str() + name.size() - 4, L".lnk") == 0;
}

// The files of a Startup folder that start `exeName`; false when the folder
// exists but cannot be listed.
bool ReadStartupFolder(const std::string& folder, const char* place, const std::string& exeName,
                       std::vector<AutostartEntry>& found) {
    if (folder.empty()) return false;
    WIN32_FIND_DATAW data{};
    FindHandle find(FindFirstFileW(Widen(folder + "\\*").c_str(), &data));
    if (!find) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
    }
    do {
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const std::string path = folder + "\\" + NarrowBuffer(data.cFileName, std::size(data.cFileName));
        const std::optional<std::string> target =
            IsShortcut(data.cFileName) ? LinkTarget(path) : std::optional<std::string>(path);
        if (target && CommandStarts("\"" + *target + "\"", exeName)) found.push_back({place, *target});
    } while (FindNextFileW(find.get(), &data));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

}  // namespace

ScreenSaverFacts GetScreenSaverFacts() {
    ScreenSaverFacts facts;
    facts.active = SpiFlag(SPI_GETSCREENSAVEACTIVE);
    UINT seconds = 0;
    if (SystemParametersInfoW(SPI_GETSCREENSAVETIMEOUT, 0, &seconds, 0)) facts.timeoutSeconds = seconds;
    facts.passwordOnResume = SpiFlag(SPI_GETSCREENSAVESECURE);
    if (!facts.passwordOnResume)
        facts.passwordOnResume = AsFlag(UserSetting(ReadRegistryNumber, L"ScreenSaverIsSecure"), false);

    const Setting<std::string> program = UserSetting(ReadRegistryText, L"SCRNSAVE.EXE");
    if (program.known) facts.program = program.value.value_or("");
    // A policy wins over what the user chose.
    const auto policy = [](const wchar_t* name) {
        return ReadRegistryNumber(HKEY_CURRENT_USER, kDesktopPolicyKey, name, kOwnView).value;
    };
    if (const auto active = policy(L"ScreenSaveActive")) facts.active = *active != 0;
    if (const auto timeout = policy(L"ScreenSaveTimeOut")) facts.timeoutSeconds = *timeout;
    if (const auto secure = policy(L"ScreenSaverIsSecure")) facts.passwordOnResume = *secure != 0;
    return facts;
}

RestartFacts GetRestartFacts(std::optional<unsigned long> windowsVersion) {
    RestartFacts facts;
    facts.windowsVersion = windowsVersion;
    facts.updateRebootRequired = RegistryKeyExists(HKEY_LOCAL_MACHINE, kUpdateRebootKey, kView64);
    facts.servicingRebootPending = RegistryKeyExists(HKEY_LOCAL_MACHINE, kServicingRebootKey, kView64);
    facts.fileRenamesPending =
        Either(RegistryValueHasData(HKEY_LOCAL_MACHINE, kSessionManagerKey, L"PendingFileRenameOperations", kView64),
               RegistryValueHasData(HKEY_LOCAL_MACHINE, kSessionManagerKey, L"PendingFileRenameOperations2", kView64));

    const auto au = [](const wchar_t* key, const wchar_t* name) {
        return ReadRegistryNumber(HKEY_LOCAL_MACHINE, key, name, kView64);
    };
    facts.auOptions = au(kUpdatePolicyAuKey, L"AUOptions");
    facts.noAutoUpdate = au(kUpdatePolicyAuKey, L"NoAutoUpdate");
    facts.noAutoRebootWithLoggedOnUsers = au(kUpdatePolicyAuKey, L"NoAutoRebootWithLoggedOnUsers");
    // Before Windows 10 the Control Panel keeps its own choice where no policy is set.
    if (facts.auOptions.known && !facts.auOptions.value && windowsVersion && *windowsVersion < 1000)
        facts.auOptions = au(kAutoUpdateKey, L"AUOptions");

    const bool policyHours = au(kUpdatePolicyKey, L"SetActiveHours").value == 1ul;
    const wchar_t* hoursKey = policyHours ? kUpdatePolicyKey : kActiveHoursKey;
    facts.activeHoursStart = au(hoursKey, L"ActiveHoursStart");
    facts.activeHoursEnd = au(hoursKey, L"ActiveHoursEnd");
    facts.hiberbootEnabled = au(kPowerKey, L"HiberbootEnabled");
    return facts;
}

AutostartFacts ReadAutostartFacts(const std::string& exeName, bool windows64) {
    AutostartFacts facts;
    facts.outcome = ProbeOutcome::Answered;
    facts.allPlacesRead = true;
    struct RunKey {
        HKEY root;
        REGSAM view;
        const char* place;
    };
    std::vector<RunKey> runKeys = {{HKEY_CURRENT_USER, kOwnView, "Run (Benutzer)"},
                                   {HKEY_LOCAL_MACHINE, kView64, "Run (Computer)"}};
    if (windows64) runKeys.push_back({HKEY_LOCAL_MACHINE, kView32, "Run (Computer, 32-Bit)"});
    for (const RunKey& run : runKeys) {
        const auto values = ReadRegistryTexts(run.root, kRunKey, run.view);
        if (!values) {
            facts.allPlacesRead = false;
            continue;
        }
        for (const auto& [name, command] : *values)
            if (CommandStarts(command, exeName)) facts.jukebox.push_back({run.place, command});
    }

    const ComApartment apartment;
    if (!ReadStartupFolder(KnownFolderPath(FOLDERID_Startup), "Autostart (Benutzer)", exeName, facts.jukebox))
        facts.allPlacesRead = false;
    if (!ReadStartupFolder(KnownFolderPath(FOLDERID_CommonStartup), "Autostart (alle)", exeName, facts.jukebox))
        facts.allPlacesRead = false;

    // Winlogon is read value by value: its stored password is never asked for.
    const Setting<std::string> machineShell = ReadRegistryText(HKEY_LOCAL_MACHINE, kWinlogonKey, L"Shell", kView64);
    facts.userShell = ReadRegistryText(HKEY_CURRENT_USER, kWinlogonKey, L"Shell", kOwnView);
    if (machineShell.known) facts.machineShell = machineShell.value.value_or("");
    if (!machineShell.known || !facts.userShell.known) facts.allPlacesRead = false;
    if (machineShell.value && CommandStarts(*machineShell.value, exeName))
        facts.jukebox.push_back({"Shell (Computer)", *machineShell.value});
    if (facts.userShell.value && CommandStarts(*facts.userShell.value, exeName))
        facts.jukebox.push_back({"Shell (Benutzer)", *facts.userShell.value});

    facts.autoLogon = AsFlag(ReadRegistryNumber(HKEY_LOCAL_MACHINE, kWinlogonKey, L"AutoAdminLogon", kView64), false);
    facts.autoLogonUser = ReadRegistryText(HKEY_LOCAL_MACHINE, kWinlogonKey, L"DefaultUserName", kView64).value;
    return facts;
}

AutostartFacts GetAutostartFacts(std::chrono::milliseconds limit, const std::string& exeName, bool windows64,
                                 const ProbeWait& wait) {
    return ProbeWithDeadline<AutostartFacts>(
        wait.Limit(limit), [exeName, windows64] { return ReadAutostartFacts(exeName, windows64); }, {},
        wait.whileWaiting);
}

std::optional<unsigned long> AllDayWindowsVersion(const WindowsFacts& windows) {
    if (!windows.kernel || windows.kernel->major == 0) return std::nullopt;
    return windows.kernel->major * 100 + windows.kernel->minor;
}

AllDayFacts GetAllDayFacts(const WindowsFacts& windows, const ProbeWait& wait) {
    AllDayFacts facts;
    facts.power = GetPowerFacts(kProfilePowerDeadline, SystemPowerFunctions(), wait);
    facts.screenSaver = GetScreenSaverFacts();
    facts.restarts = GetRestartFacts(AllDayWindowsVersion(windows));
    // Where the bitness is unknown both views are read.
    facts.autostart = GetAutostartFacts(kProfileAutostartDeadline, kJukeboxExeName, windows.is64Bit.value_or(true), wait);
    return facts;
}

}  // namespace vtx
