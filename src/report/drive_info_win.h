// The six hard-disk identifiers of the report's debug section and the SMART access
// they build on. Each identifier takes the first disk its source offers and returns
// its text with a status (see drive_identity.h): 0 as found, 1 nothing found,
// 2 hex-encoded, 4 an error inside the routine.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "common/probe_wait.h"
#include "report/drive_identity.h"

namespace vtx {

// Opens physical drive `drive` for SMART requests: "\\.\PhysicalDriveN" on NT
// (read/write access, shared read/write, existing only), the SMART driver
// "\\.\SMARTVSD" before NT. INVALID_HANDLE_VALUE on failure; the caller closes.
HANDLE OpenDriveDevice(int drive);

// The SMART requests; each is true when the driver accepted it.
bool SmartGetVersion(HANDLE device);
bool SmartEnable(HANDLE device, int drive);
// Reads the IDENTIFY data with the ATA `command` (0xEC) and, on success, fills
// `identity` (Found = 1, Model, SerialNumber); on failure `identity` is untouched.
bool SmartIdentify(HANDLE device, std::uint8_t command, int drive, DriveIdentity& identity);

// Open, version, enable, IDENTIFY for one drive number (0 to 7). Empty unless
// every step succeeded; the device is closed before returning.
DriveIdentity GetDriveIdentity(int drive);

// The six routines share one signature; `wait` is how those that talk to a device
// or a service wait for it (the registry routines need none).
//
// ID 1 and 2: serial number and model of the first of drives 0..7 that answers
// IDENTIFY, always hex-encoded. The walk over the drives has its deadline
// (kDriveSmartDeadline); past it, no drive answered (status 1).
std::string DriveIdSmartSerial(std::int16_t& status, const ProbeWait& wait = {});
std::string DriveIdSmartModel(std::int16_t& status, const ProbeWait& wait = {});
// ID 3 and 4: serial number and model of the first Win32_DiskDrive whose MediaType
// contains "Fixed". The query has its deadline (see WmiRows); past it, WMI failed
// (status 4).
std::string DriveIdWmiSerial(std::int16_t& status, const ProbeWait& wait = {});
std::string DriveIdWmiModel(std::int16_t& status, const ProbeWait& wait = {});
// ID 5 and 6: instance and device part of the first IDE disk interface registered
// under the disk device-interface class.
std::string DriveIdRegInstance(std::int16_t& status, const ProbeWait& wait = {});
std::string DriveIdRegDevice(std::int16_t& status, const ProbeWait& wait = {});

}  // namespace vtx
