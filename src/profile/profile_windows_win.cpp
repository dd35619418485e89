#include "profile/profile_windows_win.h"

#include <windows.h>

#include "common/handles_win.h"
#include "common/unicode_win.h"

namespace vtx {
namespace {

constexpr const wchar_t* kCurrentVersionKey = L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion";
constexpr const wchar_t* kSystemPoliciesKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";

RegKey OpenMachineKey64(const wchar_t* subkey) {
    RegKey key;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, subkey, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS)
        key.release();
    return key;
}

// A REG_SZ value; empty when missing, of another type or empty.
std::optional<std::string> ReadText(HKEY key, const wchar_t* name) {
    if (!key) return std::nullopt;
    DWORD type = 0, bytes = 0;
    if (RegQueryValueExW(key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS || type != REG_SZ ||
        bytes > 64 * 1024)
        return std::nullopt;
    std::wstring text(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>(text.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ)
        return std::nullopt;
    const std::string value = NarrowBuffer(text.c_str(), text.size());
    if (value.empty()) return std::nullopt;
    return value;
}

std::optional<unsigned long> ReadNumber(HKEY key, const wchar_t* name) {
    if (!key) return std::nullopt;
    DWORD type = 0, value = 0, bytes = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &bytes) != ERROR_SUCCESS ||
        type != REG_DWORD || bytes != sizeof(value))
        return std::nullopt;
    return value;
}

std::optional<KernelVersion> KernelVersionNow() {
    using RtlGetVersionRoutine = LONG(WINAPI*)(RTL_OSVERSIONINFOEXW*);
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (!ntdll) return std::nullopt;
    const auto routine =
        reinterpret_cast<RtlGetVersionRoutine>(reinterpret_cast<void*>(GetProcAddress(ntdll, "RtlGetVersion")));
    if (!routine) return std::nullopt;
    RTL_OSVERSIONINFOEXW info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (routine(&info) != 0) return std::nullopt;
    return KernelVersion{info.dwMajorVersion, info.dwMinorVersion, info.dwBuildNumber,
                         NarrowBuffer(info.szCSDVersion, std::size(info.szCSDVersion))};
}

bool RunsUnderWow64() {
    BOOL wow64 = FALSE;
    return IsWow64Process(GetCurrentProcess(), &wow64) && wow64;
}

std::optional<bool> WindowsIs64Bit() {
    if constexpr (sizeof(void*) == 8) return true;
    // A 32-bit tool: 64-bit Windows runs it under WoW64; on ARM64 the native
    // system information tells as well.
    if (RunsUnderWow64()) return true;
    SYSTEM_INFO info{};
    GetNativeSystemInfo(&info);
    switch (info.wProcessorArchitecture) {
        case PROCESSOR_ARCHITECTURE_AMD64:
        case PROCESSOR_ARCHITECTURE_IA64:
        case 12:  // PROCESSOR_ARCHITECTURE_ARM64
            return true;
        case PROCESSOR_ARCHITECTURE_INTEL:
        case PROCESSOR_ARCHITECTURE_ARM:
            return false;
        default:
            return std::nullopt;
    }
}

std::optional<std::string> ModulePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 8; ++attempt) {
        const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) return std::nullopt;
        if (length < path.size()) {
            path.resize(length);
            return Narrow(path);
        }
        path.resize(path.size() * 2);
    }
    return std::nullopt;
}

std::optional<std::string> UserName() {
    wchar_t name[257] = {};
    DWORD size = 257;
    if (!GetUserNameW(name, &size)) return std::nullopt;
    return NarrowBuffer(name, 257);
}

// Whether `token` (nullptr: the thread's own) holds the Administrators group.
std::optional<bool> HoldsAdministrators(HANDLE token) {
    SID_IDENTIFIER_AUTHORITY authority = SECURITY_NT_AUTHORITY;
    PSID administrators = nullptr;
    if (!AllocateAndInitializeSid(&authority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0,
                                  0, &administrators))
        return std::nullopt;
    BOOL member = FALSE;
    const BOOL ok = CheckTokenMembership(token, administrators, &member);
    FreeSid(administrators);
    if (!ok) return std::nullopt;
    return member != FALSE;
}

void ReadToken(ToolFacts& tool) {
    KernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, token.put())) {
        tool.administrator = HoldsAdministrators(nullptr);
        return;
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size))
        tool.elevated = elevation.TokenIsElevated != 0;

    TOKEN_ELEVATION_TYPE type = TokenElevationTypeDefault;
    if (GetTokenInformation(token.get(), TokenElevationType, &type, sizeof(type), &size) &&
        type == TokenElevationTypeLimited) {
        // An administrator under UAC runs with a filtered token; the full one is
        // linked to it and shows the group.
        TOKEN_LINKED_TOKEN linked{};
        if (GetTokenInformation(token.get(), TokenLinkedToken, &linked, sizeof(linked), &size)) {
            KernelHandle full(linked.LinkedToken);
            // CheckTokenMembership wants an impersonation token.
            KernelHandle impersonation;
            if (DuplicateToken(full.get(), SecurityIdentification, impersonation.put()))
                tool.administrator = HoldsAdministrators(impersonation.get());
        }
        return;
    }
    tool.administrator = HoldsAdministrators(nullptr);
}

}  // namespace

WindowsFacts GetWindowsFacts() {
    WindowsFacts facts;
    facts.kernel = KernelVersionNow();
    const RegKey key = OpenMachineKey64(kCurrentVersionKey);
    facts.productName = ReadText(key.get(), L"ProductName");
    facts.editionId = ReadText(key.get(), L"EditionID");
    facts.displayVersion = ReadText(key.get(), L"DisplayVersion");
    facts.releaseId = ReadText(key.get(), L"ReleaseId");
    facts.currentBuild = ReadText(key.get(), L"CurrentBuildNumber");
    if (!facts.currentBuild) facts.currentBuild = ReadText(key.get(), L"CurrentBuild");
    facts.ubr = ReadNumber(key.get(), L"UBR");
    facts.is64Bit = WindowsIs64Bit();
    return facts;
}

ToolFacts GetToolFacts(const std::string& version) {
    ToolFacts tool;
    tool.version = version;
    tool.bits = static_cast<int>(sizeof(void*) * 8);
    tool.path = ModulePath();
    tool.user = UserName();
    ReadToken(tool);
    if (const auto lua = ReadNumber(OpenMachineKey64(kSystemPoliciesKey).get(), L"EnableLUA")) tool.uacOn = *lua != 0;
    return tool;
}

TimeFacts GetTimeFacts() {
    TimeFacts facts;
    DYNAMIC_TIME_ZONE_INFORMATION zone{};
    const DWORD state = GetDynamicTimeZoneInformation(&zone);
    if (state != TIME_ZONE_ID_INVALID) {
        const bool daylight = state == TIME_ZONE_ID_DAYLIGHT;
        std::string name = NarrowBuffer(daylight ? zone.DaylightName : zone.StandardName, 32);
        if (name.empty()) name = NarrowBuffer(zone.TimeZoneKeyName, 128);
        if (!name.empty()) facts.timeZone = name;
        const LONG bias = zone.Bias + (daylight ? zone.DaylightBias : state == TIME_ZONE_ID_STANDARD ? zone.StandardBias : 0);
        facts.utcOffsetMinutes = -bias;
    }
    facts.uptimeSeconds = GetTickCount64() / 1000;
    return facts;
}

}  // namespace vtx
