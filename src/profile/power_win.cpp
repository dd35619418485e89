#include "profile/power_win.h"

#include <memory>

#include "common/unicode_win.h"
#include "profile/profile_probe.h"

namespace vtx {
namespace {

// The power settings the profile reads: subgroup and setting.
constexpr GUID kSleepGroup{0x238c9fa8, 0x0aad, 0x41ed, {0x83, 0xf4, 0x97, 0xbe, 0x24, 0x2c, 0x8f, 0x20}};
constexpr GUID kStandbyTimeout{0x29f6c1db, 0x86da, 0x48c5, {0x9f, 0xdb, 0xf2, 0xb6, 0x7b, 0x1f, 0x44, 0xda}};
constexpr GUID kHibernateTimeout{0x9d7815a6, 0x7ee4, 0x497e, {0x88, 0x88, 0x51, 0x5a, 0x05, 0xf0, 0x23, 0x64}};
constexpr GUID kVideoGroup{0x7516b95f, 0xf776, 0x4464, {0x8c, 0x53, 0x06, 0x16, 0x7f, 0x40, 0xcc, 0x99}};
constexpr GUID kVideoTimeout{0x3c0bc021, 0xc8a8, 0x4e07, {0xa9, 0x73, 0x6b, 0x14, 0xcb, 0xcb, 0x2b, 0x7e}};
constexpr GUID kDiskGroup{0x0012ee47, 0x9041, 0x4b5d, {0x9b, 0x77, 0x53, 0x5f, 0xba, 0x8b, 0x14, 0x42}};
constexpr GUID kDiskTimeout{0x6738e2c4, 0xe8a5, 0x4a42, {0xb1, 0x6a, 0xe0, 0x40, 0xe7, 0x69, 0x75, 0x6e}};

// Longest plan name read, in bytes.
constexpr DWORD kLargestName = 4096;

struct LocalFreer {
    void operator()(GUID* guid) const { LocalFree(guid); }
};

using ValueReader = DWORD(WINAPI*)(HKEY, const GUID*, const GUID*, const GUID*, DWORD*);

std::optional<unsigned long> ReadIndex(ValueReader read, const GUID& scheme, const GUID& group, const GUID& setting) {
    DWORD value = 0;
    if (!read || read(nullptr, &scheme, &group, &setting, &value) != ERROR_SUCCESS) return std::nullopt;
    return value;
}

PowerTimeouts ReadTimeouts(ValueReader read, const GUID& scheme) {
    return {ReadIndex(read, scheme, kSleepGroup, kStandbyTimeout), ReadIndex(read, scheme, kSleepGroup, kHibernateTimeout),
            ReadIndex(read, scheme, kVideoGroup, kVideoTimeout), ReadIndex(read, scheme, kDiskGroup, kDiskTimeout)};
}

std::optional<std::string> PlanName(const PowerFunctions& functions, const GUID& scheme) {
    if (!functions.readFriendlyName) return std::nullopt;
    DWORD bytes = 0;
    if (functions.readFriendlyName(nullptr, &scheme, nullptr, nullptr, nullptr, &bytes) != ERROR_SUCCESS || bytes == 0 ||
        bytes > kLargestName)
        return std::nullopt;
    std::wstring name(bytes / sizeof(wchar_t) + 1, L'\0');
    bytes = static_cast<DWORD>((name.size() - 1) * sizeof(wchar_t));
    if (functions.readFriendlyName(nullptr, &scheme, nullptr, nullptr, reinterpret_cast<UCHAR*>(name.data()), &bytes) !=
        ERROR_SUCCESS)
        return std::nullopt;
    const std::string text = NarrowBuffer(name.data(), name.size());
    if (text.empty()) return std::nullopt;
    return text;
}

template <class Function>
Function Find(HMODULE module, const char* name) {
    return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name))) : nullptr;
}

HMODULE LoadPowerModule() {
    wchar_t folder[MAX_PATH] = {};
    const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return nullptr;
    return LoadLibraryW((std::wstring(folder, length) + L"\\powrprof.dll").c_str());
}

}  // namespace

PowerFunctions SystemPowerFunctions() {
    static const HMODULE module = LoadPowerModule();
    PowerFunctions functions;
    functions.getActiveScheme = Find<decltype(functions.getActiveScheme)>(module, "PowerGetActiveScheme");
    functions.readAcValueIndex = Find<decltype(functions.readAcValueIndex)>(module, "PowerReadACValueIndex");
    functions.readDcValueIndex = Find<decltype(functions.readDcValueIndex)>(module, "PowerReadDCValueIndex");
    functions.readFriendlyName = Find<decltype(functions.readFriendlyName)>(module, "PowerReadFriendlyName");
    functions.getPwrCapabilities = Find<decltype(functions.getPwrCapabilities)>(module, "GetPwrCapabilities");
    return functions;
}

PowerFacts ReadPowerFacts(const PowerFunctions& functions) {
    PowerFacts facts;
    facts.outcome = ProbeOutcome::Answered;
    SYSTEM_POWER_CAPABILITIES capabilities{};
    if (functions.getPwrCapabilities && functions.getPwrCapabilities(&capabilities)) {
        facts.hasBattery = capabilities.SystemBatteriesPresent != FALSE;
        facts.hibernationPossible = capabilities.SystemS4 != FALSE && capabilities.HiberFilePresent != FALSE;
    }
    GUID* active = nullptr;
    if (!functions.getActiveScheme || functions.getActiveScheme(nullptr, &active) != ERROR_SUCCESS || !active)
        return facts;
    const std::unique_ptr<GUID, LocalFreer> owner(active);
    const GUID scheme = *active;
    facts.planName = PlanName(functions, scheme);
    facts.mains = ReadTimeouts(functions.readAcValueIndex, scheme);
    if (facts.hasBattery == true) facts.battery = ReadTimeouts(functions.readDcValueIndex, scheme);
    return facts;
}

PowerFacts GetPowerFacts(std::chrono::milliseconds limit, const PowerFunctions& functions, const ProbeWait& wait) {
    return ProbeWithDeadline<PowerFacts>(wait.Limit(limit), [functions] { return ReadPowerFacts(functions); }, {},
                                         wait.whileWaiting);
}

}  // namespace vtx
