#include "profile/drivers_win.h"

#include <windows.h>
#include <cfgmgr32.h>
#include <setupapi.h>

#include <cstring>
#include <utility>
#include <vector>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "profile/profile_probe.h"

namespace vtx {
namespace {

// GUID_DEVCLASS_DISPLAY and GUID_DEVCLASS_MEDIA.
constexpr GUID kDisplayClass{0x4d36e968, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};
constexpr GUID kMediaClass{0x4d36e96c, 0xe325, 0x11ce, {0xbf, 0xc1, 0x08, 0x00, 0x2b, 0xe1, 0x03, 0x18}};

// At most this many devices are looked at in one list.
constexpr DWORD kMaxDevices = 4096;

struct DeviceInfoListTraits {
    using Type = HDEVINFO;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type h) noexcept { SetupDiDestroyDeviceInfoList(h); }
};
using DeviceInfoList = UniqueHandle<DeviceInfoListTraits>;

// The present devices of `deviceClass` (all classes for nullptr); invalid when
// SetupAPI cannot make the list.
DeviceInfoList PresentDevices(const GUID* deviceClass) {
    const DWORD flags = DIGCF_PRESENT | (deviceClass ? 0 : DIGCF_ALLCLASSES);
    return DeviceInfoList(SetupDiGetClassDevsW(deviceClass, nullptr, nullptr, flags));
}

template <class Visit>
void ForEachDevice(HDEVINFO list, Visit visit) {
    for (DWORD index = 0; index < kMaxDevices; ++index) {
        SP_DEVINFO_DATA device{};
        device.cbSize = sizeof(device);
        if (!SetupDiEnumDeviceInfo(list, index, &device)) break;  // ERROR_NO_MORE_ITEMS
        visit(device);
    }
}

// A text property (REG_SZ or REG_MULTI_SZ) as stored, NULs and all.
std::optional<std::wstring> RawProperty(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property) {
    DWORD type = 0, bytes = 0;
    if (!SetupDiGetDeviceRegistryPropertyW(list, &device, property, &type, nullptr, 0, &bytes) &&
        GetLastError() != ERROR_INSUFFICIENT_BUFFER)
        return std::nullopt;
    if ((type != REG_SZ && type != REG_MULTI_SZ) || bytes == 0 || bytes > 64 * 1024) return std::nullopt;
    std::wstring value(bytes / sizeof(wchar_t) + 1, L'\0');
    if (!SetupDiGetDeviceRegistryPropertyW(list, &device, property, &type, reinterpret_cast<BYTE*>(value.data()),
                                           bytes, &bytes))
        return std::nullopt;
    value.resize(bytes / sizeof(wchar_t));
    return value;
}

std::optional<std::string> TextProperty(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property) {
    const auto raw = RawProperty(list, device, property);
    if (!raw) return std::nullopt;
    std::string text = NarrowBuffer(raw->c_str(), raw->size());
    if (text.empty()) return std::nullopt;
    return text;
}

std::vector<std::string> ListProperty(HDEVINFO list, SP_DEVINFO_DATA& device, DWORD property) {
    std::vector<std::string> entries;
    const auto raw = RawProperty(list, device, property);
    if (!raw) return entries;
    for (size_t at = 0; at < raw->size();) {
        const size_t end = std::min(raw->find(L'\0', at), raw->size());
        if (end > at) entries.push_back(Narrow(std::wstring_view(*raw).substr(at, end - at)));
        at = end + 1;
    }
    return entries;
}

std::string InstanceId(HDEVINFO list, SP_DEVINFO_DATA& device) {
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (!SetupDiGetDeviceInstanceIdW(list, &device, id, static_cast<DWORD>(std::size(id)), nullptr)) return "";
    return NarrowBuffer(id, std::size(id));
}

// The name Device Manager shows.
std::string DeviceName(HDEVINFO list, SP_DEVINFO_DATA& device) {
    if (auto name = TextProperty(list, device, SPDRP_FRIENDLYNAME)) return *name;
    return TextProperty(list, device, SPDRP_DEVICEDESC).value_or("");
}

std::optional<std::string> KeyText(HKEY key, const wchar_t* name) {
    wchar_t value[512] = {};
    DWORD bytes = sizeof(value) - sizeof(wchar_t);
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &bytes) != ERROR_SUCCESS) return std::nullopt;
    std::string text = NarrowBuffer(value, std::size(value));
    if (text.empty()) return std::nullopt;
    return text;
}

std::optional<std::uint64_t> KeyFileTime(HKEY key, const wchar_t* name) {
    BYTE value[8] = {};
    DWORD bytes = sizeof(value);
    if (RegGetValueW(key, nullptr, name, RRF_RT_REG_BINARY, nullptr, value, &bytes) != ERROR_SUCCESS ||
        bytes != sizeof(value))
        return std::nullopt;
    std::uint64_t fileTime = 0;
    std::memcpy(&fileTime, value, sizeof(fileTime));
    return fileTime;
}

// The device's driver from its driver key, opened for reading only.
DriverFacts DriverOf(HDEVINFO list, SP_DEVINFO_DATA& device) {
    DriverFacts driver;
    // Without a driver key the device has no driver.
    if (!TextProperty(list, device, SPDRP_DRIVER)) {
        driver.state = DriverFacts::State::None;
        return driver;
    }
    driver.state = DriverFacts::State::Installed;
    const HKEY opened = SetupDiOpenDevRegKey(list, &device, DICS_FLAG_GLOBAL, 0, DIREG_DRV, KEY_QUERY_VALUE);
    if (opened == INVALID_HANDLE_VALUE || opened == nullptr) return driver;  // its values unknown
    const RegKey key(opened);
    driver.provider = KeyText(key.get(), L"ProviderName");
    driver.version = KeyText(key.get(), L"DriverVersion");
    driver.date = KeyText(key.get(), L"DriverDate");
    driver.dateData = KeyFileTime(key.get(), L"DriverDateData");
    return driver;
}

std::vector<DisplayOutput> DisplayOutputs() {
    std::vector<DisplayOutput> outputs;
    for (DWORD index = 0; index < 64; ++index) {
        DISPLAY_DEVICEW withInterface{};
        withInterface.cb = sizeof(withInterface);
        if (!EnumDisplayDevicesW(nullptr, index, &withInterface, EDD_GET_DEVICE_INTERFACE_NAME)) break;
        DISPLAY_DEVICEW plain{};
        plain.cb = sizeof(plain);
        const bool hasPlain = EnumDisplayDevicesW(nullptr, index, &plain, 0) != FALSE;
        outputs.push_back({NarrowBuffer(withInterface.DeviceString, std::size(withInterface.DeviceString)),
                           NarrowBuffer(withInterface.DeviceID, std::size(withInterface.DeviceID)),
                           hasPlain ? NarrowBuffer(plain.DeviceID, std::size(plain.DeviceID)) : std::string(),
                           withInterface.StateFlags});
    }
    return outputs;
}

DisplayAdaptersFacts QueryDisplayAdapters() {
    DisplayAdaptersFacts facts;
    std::vector<ClassDevice> devices;
    const DeviceInfoList list = PresentDevices(&kDisplayClass);
    if (list) {
        ForEachDevice(list.get(), [&](SP_DEVINFO_DATA& device) {
            devices.push_back({InstanceId(list.get(), device),
                               TextProperty(list.get(), device, SPDRP_DEVICEDESC).value_or(""),
                               ListProperty(list.get(), device, SPDRP_HARDWAREID), DriverOf(list.get(), device)});
        });
    }
    // Without the class's list every adapter's driver stays unknown.
    facts.items = AdaptersOf(DisplayOutputs(), devices);
    facts.outcome = ProbeOutcome::Answered;
    return facts;
}

SoundDevicesFacts QuerySoundDevices() {
    SoundDevicesFacts facts;
    const DeviceInfoList list = PresentDevices(&kMediaClass);
    if (!list) return facts;  // Failed
    ForEachDevice(list.get(), [&](SP_DEVINFO_DATA& device) {
        facts.items.push_back({DeviceName(list.get(), device), DriverOf(list.get(), device)});
    });
    facts.outcome = ProbeOutcome::Answered;
    return facts;
}

// The class's description ("Anschlüsse (COM & LPT)" on a German Windows), else
// its name; "" for a device without a class.
std::string ClassName(HDEVINFO list, SP_DEVINFO_DATA& device) {
    if (device.ClassGuid != GUID_NULL) {
        wchar_t description[LINE_LEN + 1] = {};
        if (SetupDiGetClassDescriptionW(&device.ClassGuid, description, static_cast<DWORD>(std::size(description)),
                                        nullptr)) {
            std::string text = NarrowBuffer(description, std::size(description));
            if (!text.empty()) return text;
        }
    }
    return TextProperty(list, device, SPDRP_CLASS).value_or("");
}

std::optional<DevNodeStatus> ConfigManagerStatus(unsigned long devInst, const std::string&) {
    ULONG status = 0, problem = 0;
    if (CM_Get_DevNode_Status(&status, &problem, devInst, 0) != CR_SUCCESS) return std::nullopt;
    return DevNodeStatus{status, problem};
}

ProblemDevicesFacts QueryProblemDevices(const DevNodeStatusQuery& query) {
    ProblemDevicesFacts facts;
    const DeviceInfoList list = PresentDevices(nullptr);
    if (!list) return facts;  // Failed
    size_t devices = 0, told = 0;
    ForEachDevice(list.get(), [&](SP_DEVINFO_DATA& device) {
        ++devices;
        const std::string instanceId = InstanceId(list.get(), device);
        const std::optional<DevNodeStatus> status = query(device.DevInst, instanceId);
        if (!status) return;
        ++told;
        if (!(status->status & DN_HAS_PROBLEM)) return;
        // A device that names itself nowhere is known by its instance ("USB\VID_067B&PID_2303\5&1a2b&0&2").
        const std::string name = DeviceName(list.get(), device);
        facts.items.push_back({name.empty() ? instanceId : name, ClassName(list.get(), device), status->problem});
    });
    if (devices > 0 && told == 0) return ProblemDevicesFacts{};  // Failed
    facts.outcome = ProbeOutcome::Answered;
    return facts;
}

}  // namespace

DisplayAdaptersFacts GetDisplayAdaptersFacts(std::chrono::milliseconds limit, const ProbeWait& wait) {
    return ProbeWithDeadline<DisplayAdaptersFacts>(wait.Limit(limit), [] { return QueryDisplayAdapters(); }, {},
                                                   wait.whileWaiting);
}

SoundDevicesFacts GetSoundDevicesFacts(std::chrono::milliseconds limit, const ProbeWait& wait) {
    return ProbeWithDeadline<SoundDevicesFacts>(wait.Limit(limit), [] { return QuerySoundDevices(); }, {},
                                                wait.whileWaiting);
}

ProblemDevicesFacts GetProblemDevicesFacts(std::chrono::milliseconds limit, DevNodeStatusQuery query,
                                           const ProbeWait& wait) {
    if (!query) query = ConfigManagerStatus;
    return ProbeWithDeadline<ProblemDevicesFacts>(
        wait.Limit(limit), [query = std::move(query)] { return QueryProblemDevices(query); }, {}, wait.whileWaiting);
}

TouchFacts GetTouchFacts(std::chrono::milliseconds limit, const ProbeWait& wait) {
    return ProbeWithDeadline<TouchFacts>(
        wait.Limit(limit),
        [] { return TouchFacts{ProbeOutcome::Answered, GetSystemMetrics(SM_DIGITIZER), GetSystemMetrics(SM_MAXIMUMTOUCHES)}; },
        {}, wait.whileWaiting);
}

}  // namespace vtx
