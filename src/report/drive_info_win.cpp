#include "report/drive_info_win.h"

#include <winioctl.h>

#include <functional>
#include <optional>
#include <vector>

#include "common/deadline.h"
#include "common/deadlines.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "report/os_info_win.h"
#include "report/registry_win.h"
#include "report/wmi_win.h"

namespace vtx {
namespace {

// The blocks built in drive_identity are the driver's own records.
static_assert(SMART_GET_VERSION == kSmartGetVersionCode);
static_assert(SMART_SEND_DRIVE_COMMAND == kSmartSendCommandCode);
static_assert(SMART_RCV_DRIVE_DATA == kSmartReceiveDataCode);
static_assert(sizeof(GETVERSIONINPARAMS) == kSmartVersionAnswerSize);
static_assert(sizeof(SENDCMDINPARAMS) - 1 == kSmartRequestSize);
static_assert(sizeof(SENDCMDOUTPARAMS) - 1 == kSmartStatusAnswerSize);

constexpr int kDrivesTried = 8;

// The disk device-interface class. HKLM\System is the machine's own and not split
// into 32- and 64-bit views; the native view is named so that the registry
// module's 32-bit default does not apply. The access mask 0x3F asks for write
// access as well: an account that may only read the key gets no entries (status 1).
constexpr char kDiskInterfaces[] =
    "System\\CurrentControlSet\\Control\\DeviceClasses\\{53f56307-b6bf-11d0-94f2-00a0c91efb8b}";
constexpr REGSAM kDiskInterfacesAccess = 0x3F | KEY_WOW64_64KEY;

bool Send(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out, DWORD outSize) {
    DWORD returned = 0;
    return DeviceIoControl(device, code, const_cast<void*>(in), inSize, out, outSize, &returned, nullptr) != FALSE;
}

// Runs one identifier routine: `read` gives the value (UTF-8) or nullopt for an
// error in its source; the status rule turns the value into the text. Nothing
// escapes: any exception gives status 4 and "".
std::string DriveId(std::int16_t& status, DriveIdRule rule, const std::function<std::optional<std::string>()>& read) {
    status = kDriveIdAsIs;
    try {
        const std::optional<std::string> value = read();
        if (value) return DriveIdText(ToAnsi(*value), rule, status);
    } catch (...) {
    }
    status = kDriveIdFailed;
    return {};
}

// The first of drives 0..7 that answers IDENTIFY. The walk runs on a thread of
// its own: a dying disk can keep a request waiting for minutes. One that passes
// its deadline counts as a drive that refused, so the identity stays empty.
DriveIdentity FirstAnsweringDrive(const ProbeWait& wait) {
    const auto walk = [] {
        DriveIdentity identity;
        for (int drive = 0; drive < kDrivesTried; ++drive) {
            identity = GetDriveIdentity(drive);
            if (identity.Found == 1) break;
        }
        return identity;
    };
    return RunWithDeadline(wait.Limit(kDriveSmartDeadline), walk, wait.whileWaiting).value_or(DriveIdentity{});
}

bool IsFixedDisk(const std::optional<std::string>& mediaType) {
    return mediaType && mediaType->find("Fixed") != std::string::npos;
}

// `property` of the first disk whose MediaType contains "Fixed"; "" when there is
// no such disk; nullopt when WMI fails or passes its deadline, or when that disk
// has no text in `property`.
std::optional<std::string> FixedDiskProperty(const wchar_t* property, const ProbeWait& wait) {
    const auto fixed = [](const WmiRow& disk) { return IsFixedDisk(disk[0]); };
    const std::optional<std::vector<WmiRow>> disks =
        WmiRows("SELECT * FROM Win32_DiskDrive", {L"MediaType", property}, fixed, wait);
    if (!disks) return std::nullopt;
    for (const WmiRow& disk : *disks)
        if (IsFixedDisk(disk[0])) return disk[1];
    return std::string();
}

std::optional<IdeInterface> FirstIdeInterface() {
    std::vector<SubkeyEntry> entries;
    const int count = RegEnumSubkeys(HKEY_LOCAL_MACHINE, kDiskInterfaces, kDiskInterfacesAccess, entries);
    return FindIdeInterface(entries, count);
}

}  // namespace

HANDLE OpenDriveDevice(int drive) {
    if (IsNT4OrLater()) {
        const std::wstring path = L"\\\\.\\PhysicalDrive" + std::to_wstring(drive);
        return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    }
    return CreateFileW(L"\\\\.\\SMARTVSD", 0, 0, nullptr, CREATE_NEW, 0, nullptr);
}

bool SmartGetVersion(HANDLE device) {
    std::uint8_t answer[kSmartVersionAnswerSize] = {};
    return Send(device, kSmartGetVersionCode, nullptr, 0, answer, sizeof(answer));
}

bool SmartEnable(HANDLE device, int drive) {
    const SmartRequest request = SmartEnableRequest(drive, IsNT4OrLater());
    std::uint8_t answer[kSmartStatusAnswerSize] = {};
    return Send(device, kSmartSendCommandCode, request.data(), request.size(), answer, sizeof(answer));
}

bool SmartIdentify(HANDLE device, std::uint8_t command, int drive, DriveIdentity& identity) {
    const SmartRequest request = SmartIdentifyRequest(command, drive, IsNT4OrLater());
    std::vector<std::uint8_t> answer(kIdentifyAnswerSize, 0);
    if (!Send(device, kSmartReceiveDataCode, request.data(), request.size(), answer.data(),
              static_cast<DWORD>(answer.size())))
        return false;
    const IdentifyText text = ParseIdentifyAnswer(answer);
    identity.Model = FromAnsi(text.Model);
    identity.SerialNumber = FromAnsi(text.SerialNumber);
    identity.Found = 1;
    return true;
}

DriveIdentity GetDriveIdentity(int drive) {
    DriveIdentity identity;
    const FileHandle device(OpenDriveDevice(drive));
    if (!device || !SmartGetVersion(device.get()) || !SmartEnable(device.get(), drive)) return identity;
    SmartIdentify(device.get(), kIdentifyCommand, drive, identity);
    return identity;
}

std::string DriveIdSmartSerial(std::int16_t& status, const ProbeWait& wait) {
    return DriveId(status, DriveIdRule::EncodeAlways, [&] { return FirstAnsweringDrive(wait).SerialNumber; });
}

std::string DriveIdSmartModel(std::int16_t& status, const ProbeWait& wait) {
    return DriveId(status, DriveIdRule::EncodeAlways, [&] { return FirstAnsweringDrive(wait).Model; });
}

std::string DriveIdWmiSerial(std::int16_t& status, const ProbeWait& wait) {
    return DriveId(status, DriveIdRule::KeepHex, [&] { return FixedDiskProperty(L"SerialNumber", wait); });
}

std::string DriveIdWmiModel(std::int16_t& status, const ProbeWait& wait) {
    return DriveId(status, DriveIdRule::KeepHex, [&] { return FixedDiskProperty(L"Model", wait); });
}

std::string DriveIdRegInstance(std::int16_t& status, const ProbeWait&) {
    return DriveId(status, DriveIdRule::KeepHex, [] {
        const std::optional<IdeInterface> found = FirstIdeInterface();
        return std::optional<std::string>(found ? found->Instance : std::string());
    });
}

std::string DriveIdRegDevice(std::int16_t& status, const ProbeWait&) {
    return DriveId(status, DriveIdRule::KeepHex, [] {
        const std::optional<IdeInterface> found = FirstIdeInterface();
        return std::optional<std::string>(found ? found->Device : std::string());
    });
}

}  // namespace vtx
