#include "report/drive_identity.h"

#include <algorithm>

#include "common/strings.h"

namespace vtx {
namespace {

// Layout of a request block: buffer size (32-bit, little-endian), the eight ATA
// registers, the drive number, then reserved zeros.
constexpr std::size_t kBufferSizeAt = 0;
constexpr std::size_t kFeaturesAt = 4;
constexpr std::size_t kSectorCountAt = 5;
constexpr std::size_t kSectorNumberAt = 6;
constexpr std::size_t kCylinderLowAt = 7;
constexpr std::size_t kCylinderHighAt = 8;
constexpr std::size_t kDriveHeadAt = 9;
constexpr std::size_t kCommandAt = 10;
constexpr std::size_t kDriveNumberAt = 12;

constexpr std::uint8_t kSmartCommand = 0xB0;
constexpr std::uint8_t kSmartEnableFeature = 0xD8;

// IDENTIFY data: only the first 256 bytes are taken; the fields lie inside them.
constexpr std::size_t kIdentifyBytesTaken = 256;
constexpr std::size_t kSerialAt = 20, kSerialLength = 20;
constexpr std::size_t kModelAt = 54, kModelLength = 40;

struct Registers {
    std::uint32_t bufferSize;
    std::uint8_t features, sectorCount, sectorNumber, cylinderLow, cylinderHigh, command;
};

SmartRequest BuildRequest(const Registers& r, int drive, bool nt) {
    SmartRequest block{};
    for (std::size_t i = 0; i < 4; ++i)
        block[kBufferSizeAt + i] = static_cast<std::uint8_t>(r.bufferSize >> (8 * i));
    block[kFeaturesAt] = r.features;
    block[kSectorCountAt] = r.sectorCount;
    block[kSectorNumberAt] = r.sectorNumber;
    block[kCylinderLowAt] = r.cylinderLow;
    block[kCylinderHighAt] = r.cylinderHigh;
    block[kDriveHeadAt] = SmartDriveHead(drive, nt);
    block[kCommandAt] = r.command;
    block[kDriveNumberAt] = static_cast<std::uint8_t>(drive);
    return block;
}

// The field's bytes with their pairs swapped, "" when the data does not reach its end.
std::string SwappedField(std::span<const std::uint8_t> data, std::size_t at, std::size_t length) {
    if (data.size() < at + length) return {};
    std::vector<std::uint8_t> bytes(data.begin() + at, data.begin() + at + length);
    SwapBytePairs(bytes);
    return std::string(bytes.begin(), bytes.end());
}

std::string TrimBlanks(std::string text) {
    const std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

}  // namespace

std::uint8_t SmartDriveHead(int drive, bool nt) {
    if (nt) return 0xA0;
    return static_cast<std::uint8_t>(0xA0 | ((drive & 1) << 4));
}

SmartRequest SmartEnableRequest(int drive, bool nt) {
    return BuildRequest({0, kSmartEnableFeature, 1, 1, 0x4F, 0xC2, kSmartCommand}, drive, nt);
}

SmartRequest SmartIdentifyRequest(std::uint8_t command, int drive, bool nt) {
    return BuildRequest({static_cast<std::uint32_t>(kIdentifyDataSize), 0, 1, 1, 0, 0, command}, drive, nt);
}

std::vector<std::uint8_t> SwapBytePairs(std::vector<std::uint8_t>& bytes) {
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) std::swap(bytes[i], bytes[i + 1]);
    return bytes;
}

IdentifyText ParseIdentifyAnswer(std::span<const std::uint8_t> answer) {
    if (answer.size() <= kSmartStatusAnswerSize) return {};
    std::span<const std::uint8_t> data = answer.subspan(kSmartStatusAnswerSize);
    data = data.first(std::min(data.size(), kIdentifyBytesTaken));
    return {SwappedField(data, kModelAt, kModelLength), TrimBlanks(SwappedField(data, kSerialAt, kSerialLength))};
}

bool IsHex(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
    });
}

std::string HexEncode(std::string_view ansiBytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string hex;
    hex.reserve(ansiBytes.size() * 2);
    for (const char c : ansiBytes) {
        const unsigned code = static_cast<unsigned char>(c);
        if (code >= 16) hex.push_back(kDigits[code >> 4]);
        hex.push_back(kDigits[code & 15]);
    }
    return hex;
}

std::optional<IdeInterface> FindIdeInterface(const std::vector<SubkeyEntry>& entries, int count) {
    const std::size_t listed = count > 0 ? std::min(entries.size(), static_cast<std::size_t>(count)) : 0;
    for (std::size_t i = 0; i < listed; ++i) {
        const std::string& name = entries[i].Name;
        if (GetField(name, 4, "#") == "IDE") return IdeInterface{GetField(name, 6, "#"), GetField(name, 5, "#")};
    }
    return std::nullopt;
}

std::string DriveIdText(std::string_view ansiValue, DriveIdRule rule, std::int16_t& status) {
    if (ansiValue.empty()) {
        status = kDriveIdMissing;
        return {};
    }
    if (rule == DriveIdRule::KeepHex && IsHex(ansiValue)) {
        status = kDriveIdAsIs;
        return std::string(ansiValue);
    }
    status = kDriveIdEncoded;
    return HexEncode(ansiValue);
}

}  // namespace vtx
