// Hard-disk identifiers without Windows: the SMART request blocks exactly as they
// go to the driver, the text fields of a drive's IDENTIFY answer, the split of a
// disk's device-interface name and the status rule every identifier ends with.
// Texts taken from the drive or destined for HexEncode are bytes in the ANSI code
// page; the Win32 side converts them at its edge.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "report/registry_text.h"

namespace vtx {

// What one physical drive told about itself. All fields stay zero/empty unless the
// whole SMART sequence (open, version, enable, IDENTIFY) succeeded.
struct DriveIdentity {
    std::uint8_t Found = 0;    // 1 when the IDENTIFY answer was read
    std::string SerialNumber;  // blanks removed at both ends
    std::string Model;         // always 40 characters when found, trailing blanks kept
};

// Status of an identifier as the report prints it.
inline constexpr std::int16_t kDriveIdAsIs = 0;     // found, already hexadecimal digits
inline constexpr std::int16_t kDriveIdMissing = 1;  // nothing found, text empty
inline constexpr std::int16_t kDriveIdEncoded = 2;  // found, text is HexEncode of it
inline constexpr std::int16_t kDriveIdFailed = 4;   // an error inside the routine

// Driver control codes and block sizes of the SMART requests.
inline constexpr std::uint32_t kSmartGetVersionCode = 0x00074080;
inline constexpr std::uint32_t kSmartSendCommandCode = 0x0007C084;
inline constexpr std::uint32_t kSmartReceiveDataCode = 0x0007C088;
inline constexpr std::size_t kSmartVersionAnswerSize = 24;
inline constexpr std::size_t kSmartRequestSize = 32;
inline constexpr std::size_t kSmartStatusAnswerSize = 16;  // buffer size + driver status
inline constexpr std::size_t kIdentifyDataSize = 512;
inline constexpr std::size_t kIdentifyAnswerSize = kSmartStatusAnswerSize + kIdentifyDataSize;  // 528
inline constexpr std::uint8_t kIdentifyCommand = 0xEC;

using SmartRequest = std::array<std::uint8_t, kSmartRequestSize>;

// The drive/head register: 0xA0 on NT; before NT bit 4 carries bit 0 of the drive
// number (0xB0 for odd drives).
std::uint8_t SmartDriveHead(int drive, bool nt);
// The request switching SMART on for `drive` (the drive number travels as one byte).
SmartRequest SmartEnableRequest(int drive, bool nt);
// The request reading the 512 IDENTIFY bytes of `drive` with the ATA `command`.
SmartRequest SmartIdentifyRequest(std::uint8_t command, int drive, bool nt);

// Exchanges the two bytes of each 16-bit word in place (0 with 1, 2 with 3, ...;
// an odd last byte stays) and returns a copy of the result.
std::vector<std::uint8_t> SwapBytePairs(std::vector<std::uint8_t>& bytes);

// The text fields of an IDENTIFY answer, as ANSI bytes.
struct IdentifyText {
    std::string Model;         // data bytes 54..93, pairs swapped, 40 bytes
    std::string SerialNumber;  // data bytes 20..39, pairs swapped, blanks trimmed
};
// Reads the fields from `answer`: the 16 header bytes followed by the data bytes
// (normally 528 bytes in all). Only the first 256 data bytes are looked at and
// nothing beyond the end of `answer` is read; a field the answer does not
// reach stays empty.
IdentifyText ParseIdentifyAnswer(std::span<const std::uint8_t> answer);

// True when every character, upper-cased, is one of 0-9 A-F; true for "".
bool IsHex(std::string_view text);
// Each byte's code in upper-case hexadecimal without leading zeros, concatenated:
// "AB 1" gives "41422031", a byte below 16 gives one digit.
std::string HexEncode(std::string_view ansiBytes);

// The parts of a disk's device-interface name such as
// "##?#IDE#DiskMODEL_____FW__#5&2a9b&0&0.0.0#{...}" split at "#".
struct IdeInterface {
    std::string Instance;  // field 6: "5&2a9b&0&0.0.0"
    std::string Device;    // field 5: "DiskMODEL_____FW__"
};
// The first of entries[0 .. count-1] whose name has field 4 exactly "IDE".
// `count` is what the listing returned, which can be less than entries.size().
std::optional<IdeInterface> FindIdeInterface(const std::vector<SubkeyEntry>& entries, int count);

// How an identifier's value becomes its text.
enum class DriveIdRule {
    EncodeAlways,  // SMART values: always HexEncode
    KeepHex,       // WMI and registry values: hexadecimal digits stay as they are
};
// Applies the status rule to `ansiValue`: "" gives status 1 and ""; under KeepHex
// a value of hexadecimal digits gives status 0 and itself; otherwise status 2 and
// HexEncode of it. The result is ASCII, so it reads the same in UTF-8.
std::string DriveIdText(std::string_view ansiValue, DriveIdRule rule, std::int16_t& status);

}  // namespace vtx
