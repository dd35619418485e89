// Fuzz entry point for the settings file reader: the input is the content of
// Init.vtx, whatever a damaged disk, another program or a half-written copy left
// there. Built with libFuzzer (scripts/fuzz.sh) and, without it, by the corpus
// replay of the test command. Besides the sanitizers' checks it holds the reader
// to what it promises:
// - a value found is never empty and holds no "="; its record number lies among the
//   addressable records, and that record decodes to exactly that name and value;
// - DoCd gives (L-1) - (L-1)/4 characters and undoes Stretch for any bytes;
// - a write touches only the one record it writes (and may append it), and that
//   record is well formed and holds what was written.
// Portable: no Windows headers.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "common/strings.h"
#include "fixtures/memory_db_file.h"
#include "settings/crypt_text.h"
#include "settings/init_dbase.h"

namespace vtx {
namespace {

[[noreturn]] void Broken(const char* what, int line) {
    std::fprintf(stderr, "settings fuzz: property broken (line %d): %s\n", line, what);
    std::abort();
}
#define FUZZ_CHECK(condition) \
    do {                      \
        if (!(condition)) Broken(#condition, __LINE__); \
    } while (false)

// DoCd and Stretch run on texts up to a record's length in the store; longer inputs
// only cost time.
constexpr std::size_t kCipherInputLimit = 1024;

std::string Decode(PlatformRandom& random, const std::string& encoded) {
    clsCryptText crypt(random);
    crypt.KeyString(kDbCipherKey);
    crypt.Text(encoded);
    crypt.DoCd();
    crypt.CryptMitXOR();
    return crypt.Text();
}

// The length field of a record as the store reads it: three ASCII digits.
bool LengthField(const std::string& record, std::size_t& length) {
    length = 0;
    for (std::size_t i = 0; i < 3; ++i) {
        if (record[i] < '0' || record[i] > '9') return false;
        length = length * 10 + static_cast<std::size_t>(record[i] - '0');
    }
    return true;
}

// Reads `name` from the file `bytes`; the record number found, if any.
std::optional<std::string> CheckRead(const std::string& bytes, const std::string& name) {
    PlatformRandom random;
    MemoryDbFile file;
    file.bytes = bytes;
    SettingsStore store(file, [] { return 0.0f; }, random);
    const auto value = store.FindDbValue(name, false);
    const auto number = store.FindDbValue(name, true);

    const bool wellSized = bytes.size() >= kDbRecordSize && bytes.size() % kDbRecordSize == 0;
    if (!wellSized) FUZZ_CHECK(!value && !number);
    if (value) {
        FUZZ_CHECK(!value->empty());
        FUZZ_CHECK(value->find('=') == std::string::npos);
        FUZZ_CHECK(number);  // the record that gave the value has a number
    }
    if (!number) return number;

    // The number names an addressable record whose plain text holds the name.
    FUZZ_CHECK(!number->empty() && number->size() <= 3);
    FUZZ_CHECK(std::all_of(number->begin(), number->end(), [](char c) { return c >= '0' && c <= '9'; }));
    const std::size_t n = std::stoul(*number);
    FUZZ_CHECK(n >= 1 && n <= kDbMaxRecords && n * kDbRecordSize <= bytes.size());
    const std::string record = bytes.substr((n - 1) * kDbRecordSize, kDbRecordSize);
    std::size_t length = 0;
    FUZZ_CHECK(LengthField(record, length));
    const std::string plain = Decode(random, record.substr(kDbRecordSize - std::min(length, kDbRecordSize)));
    FUZZ_CHECK(plain.find('=') != std::string::npos);
    FUZZ_CHECK(GetField(plain, 1, "=") == name);
    if (value) FUZZ_CHECK(GetField(plain, 2, "=") == *value);
    return number;
}

void CheckCipher(const std::string& input) {
    PlatformRandom random;
    clsCryptText crypt(random);
    const auto length = static_cast<long long>(input.size());
    crypt.Text(input);
    crypt.DoCd();
    const long long expected = (length - 1) - (length - 1) / 4;
    FUZZ_CHECK(static_cast<long long>(crypt.Text().size()) == std::max(0LL, expected));

    crypt.Text(input);
    crypt.Stretch();
    const std::string stretched = crypt.Text();
    FUZZ_CHECK(stretched.size() == input.size() + (input.size() + 2) / 3);
    FUZZ_CHECK(std::all_of(stretched.begin(), stretched.end(), [](char c) { return c >= ';' && c <= 'z'; }));
    crypt.DoCd();
    FUZZ_CHECK(crypt.Text() == input);
}

// Writes `value` under `name` into the file `bytes`, whose record for `name` is
// `before` (from CheckRead).
void CheckWrite(const std::string& bytes, const std::string& name, const std::string& value,
                const std::optional<std::string>& before) {
    PlatformRandom random;
    MemoryDbFile file;
    file.bytes = bytes;
    SettingsStore store(file, [] { return 12345.5f; }, random);
    if (!store.WriteDbValue(name, value)) {
        FUZZ_CHECK(*file.bytes == bytes);  // nothing written means nothing changed
        return;
    }
    const std::string& after = *file.bytes;
    // The written record: the one that held the name, else the one appended.
    std::size_t n = 0;
    if (before) {
        n = std::stoul(*before);
    } else {
        n = (after.size() + kDbRecordSize - 1) / kDbRecordSize;  // the last record
    }
    FUZZ_CHECK(n >= 1 && n <= kDbMaxRecords);
    const std::size_t begin = (n - 1) * kDbRecordSize, end = n * kDbRecordSize;
    FUZZ_CHECK(after.size() == std::max(bytes.size(), end));
    for (std::size_t i = 0; i < after.size(); ++i) {
        if (i >= begin && i < end) continue;
        FUZZ_CHECK(after[i] == (i < bytes.size() ? bytes[i] : '\0'));
    }
    const std::string record = after.substr(begin, kDbRecordSize);
    std::size_t length = 0;
    FUZZ_CHECK(LengthField(record, length) && length <= kDbRecordSize - 3);
    FUZZ_CHECK(std::all_of(record.begin() + 3, record.end() - static_cast<std::ptrdiff_t>(length),
                           [](char c) { return c >= 'A' && c <= 'y'; }));
    FUZZ_CHECK(Decode(random, record.substr(kDbRecordSize - length)) == name + "=" + value);
}

}  // namespace
}  // namespace vtx

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    // The first byte picks the name and the length of the value taken from the
    // input's tail, so values of every kind get written. The empty name matches a
    // plain text that starts with "=".
    const std::uint8_t pick = size > 0 ? data[0] : 0;
    const std::string name = pick & 1 ? "" : "Skin";
    const auto number = vtx::CheckRead(bytes, name);
    vtx::CheckCipher(bytes.substr(0, vtx::kCipherInputLimit));
    const std::size_t take = std::min<std::size_t>(size, pick % 160);
    vtx::CheckWrite(bytes, name, bytes.substr(size - take), number);
    return 0;
}
