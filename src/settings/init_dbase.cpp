#include "settings/init_dbase.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <utility>

#include "common/strings.h"

namespace vtx {
namespace {

constexpr std::size_t kLengthDigits = 3;
constexpr std::size_t kMaxEncoded = kDbRecordSize - kLengthDigits;  // 197
constexpr std::size_t kMaxBufferBytes = kDbMaxRecords * kDbRecordSize;

// The length field: exactly three ASCII digits. Signs, blanks, hex prefixes and
// the like are not lengths; such a record ends the scan.
std::optional<std::size_t> ParseLengthField(std::string_view record) {
    std::size_t value = 0;
    for (std::size_t i = 0; i < kLengthDigits; ++i) {
        const char ch = record[i];
        if (ch < '0' || ch > '9') return std::nullopt;
        value = value * 10 + static_cast<std::size_t>(ch - '0');
    }
    return value;
}

std::string FormatLengthField(std::size_t length) {
    std::string field(kLengthDigits, '0');
    for (std::size_t i = kLengthDigits; i-- > 0; length /= 10) field[i] = static_cast<char>('0' + length % 10);
    return field;
}

// length / 200 rounded half to even, plus one: where a new record goes.
std::uint64_t AppendRecordNumber(std::uint64_t fileLength) {
    std::uint64_t quotient = fileLength / kDbRecordSize;
    const std::uint64_t twiceRest = 2 * (fileLength % kDbRecordSize);
    if (twiceRest > kDbRecordSize || (twiceRest == kDbRecordSize && quotient % 2 == 1)) ++quotient;
    return quotient + 1;
}

}  // namespace

SettingsStore::SettingsStore(DbFile& file, Timer timer, PlatformRandom& random)
    : file_(file), timer_(std::move(timer)), random_(random), cryptText_(random) {}

bool SettingsStore::LoadDb() {
    std::string head;
    std::uint64_t length = 0;
    const bool ok = file_.Read(kMaxBufferBytes, head, length) &&
                    head.size() == std::min<std::uint64_t>(length, kMaxBufferBytes);
    if (!ok) {
        buffer_.clear();
        fileLength_ = 0;
        loaded_ = false;
        return false;
    }
    buffer_ = std::move(head);
    fileLength_ = length;
    loaded_ = true;
    return true;
}

std::optional<std::string> SettingsStore::FindDbValue(const std::string& name, bool returnRecordNumber) {
    if (!file_.Exists()) return std::nullopt;
    if (!loaded_ && !LoadDb()) return std::nullopt;
    if (fileLength_ < kDbRecordSize || fileLength_ % kDbRecordSize != 0) return std::nullopt;

    // The buffer holds at most the addressable records (see LoadDb).
    const auto records = static_cast<std::size_t>(std::min<std::uint64_t>(fileLength_, buffer_.size()) / kDbRecordSize);
    for (std::size_t number = 1; number <= records; ++number) {
        const std::string_view record = std::string_view(buffer_).substr((number - 1) * kDbRecordSize, kDbRecordSize);
        const std::optional<std::size_t> length = ParseLengthField(record);
        if (!length) break;
        // A length above 197 reaches into the length field but never beyond the record.
        const std::size_t taken = std::min(*length, kDbRecordSize);

        cryptText_.KeyString(kDbCipherKey);
        cryptText_.Text(std::string(record.substr(kDbRecordSize - taken)));
        cryptText_.DoCd();
        cryptText_.CryptMitXOR();
        const std::string& plain = cryptText_.Text();

        // name "=" value; anything from a second "=" on is not part of the value.
        if (plain.find('=') == std::string::npos) continue;
        if (GetField(plain, 1, "=") != name) continue;

        std::string result = returnRecordNumber ? std::to_string(number) : GetField(plain, 2, "=");
        if (result.empty()) return std::nullopt;  // the first record holding the name decides
        return result;
    }
    return std::nullopt;
}

std::string SettingsStore::ReadDbValue(const std::string& name, bool returnRecordNumber,
                                       const std::string& defaultValue) {
    return FindDbValue(name, returnRecordNumber).value_or(defaultValue);
}

bool SettingsStore::WriteDbValue(const std::string& name, const std::string& value) {
    std::uint64_t number = 0;
    if (const std::optional<std::string> found = FindDbValue(name, true)) {
        for (const char digit : *found) number = number * 10 + static_cast<std::uint64_t>(digit - '0');
    }

    cryptText_.KeyString(kDbCipherKey);
    cryptText_.Text(name + "=" + value);
    cryptText_.CryptMitXOR();
    cryptText_.Stretch();
    const std::string& encoded = cryptText_.Text();
    if (encoded.size() > kMaxEncoded) return false;  // plain text longer than 147

    random_.Reseed(timer_ ? static_cast<double>(timer_()) : 0.0);
    std::string record = FormatLengthField(encoded.size());
    record.reserve(kDbRecordSize);
    for (std::size_t i = encoded.size(); i < kMaxEncoded; ++i) {
        // In double the product of the float draw and 57 is exact: codes 65..121.
        const double draw = static_cast<double>(random_.NextRandom()) * 57.0;
        record += static_cast<char>(static_cast<int>(std::floor(draw)) + 65);
    }
    record += encoded;

    const std::unique_ptr<DbFileWriter> writer = file_.OpenForWrite();
    if (!writer) return false;
    if (number == 0) {
        number = AppendRecordNumber(writer->Length());
        if (number > kDbMaxRecords) return false;
        loaded_ = false;
    }
    return writer->WriteAt((number - 1) * kDbRecordSize, record);
}

}  // namespace vtx
