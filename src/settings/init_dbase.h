// The settings database of the jukebox: a file of fixed 200-byte records, each
// holding one "name=value" enciphered with clsCryptText under a fixed key.
//
// Record n (from 1) occupies bytes (n-1)*200 .. (n-1)*200+199:
//   0..2        the length L of the encoded text as three digits ("000".."197")
//   3..199-L    197-L padding characters with codes 65..121
//   200-L..199  the encoded text: Stretch(CryptMitXOR(name "=" value))
// A plain text of n characters encodes to n + (n+2)/3 characters, so at most 147
// fit. The jukebox addresses records with signed 16-bit file positions, so only
// records 1..164 exist for it; this store neither reads nor writes beyond them.
//
// The store logic works on bytes (ANSI code page); the disk is reached through
// DbFile so it can run on memory. Portable: no Windows headers.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "settings/crypt_text.h"
#include "settings/random.h"

namespace vtx {

inline constexpr std::size_t kDbRecordSize = 200;
inline constexpr std::size_t kDbMaxRecords = 164;
inline constexpr std::size_t kDbMaxPlainText = 147;  // name + "=" + value
inline constexpr const char* kDbCipherKey = "qdr4";

// An open settings file, closed when the object goes away.
class DbFileWriter {
public:
    virtual ~DbFileWriter() = default;
    // The file's length when it was opened.
    virtual std::uint64_t Length() const = 0;
    // Writes all of `bytes` at `offset`, extending the file when needed.
    virtual bool WriteAt(std::uint64_t offset, const std::string& bytes) = 0;
};

// The settings file on some medium. No member throws on a file error.
class DbFile {
public:
    virtual ~DbFile() = default;
    virtual bool Exists() = 0;
    // The file's first min(length, maxBytes) bytes and its whole length; false when
    // it cannot be opened or read.
    virtual bool Read(std::size_t maxBytes, std::string& head, std::uint64_t& length) = 0;
    // Opens the file for writing, creating it when missing; null when that fails.
    virtual std::unique_ptr<DbFileWriter> OpenForWrite() = 0;
};

class SettingsStore {
public:
    // Seconds since local midnight; a write mixes it into the generator before it
    // draws the padding.
    using Timer = std::function<float()>;

    SettingsStore(DbFile& file, Timer timer, PlatformRandom& random = ProcessRandom());

    // The value stored for `name` (exact match, first record wins; the value ends at
    // a second "="), or with returnRecordNumber the record's number as decimal text.
    // Empty when the file is missing, unreadable or malformed, when no record holds
    // `name`, or when the first record holding it has an empty value.
    std::optional<std::string> FindDbValue(const std::string& name, bool returnRecordNumber);
    // FindDbValue, or `defaultValue` when it finds nothing.
    std::string ReadDbValue(const std::string& name, bool returnRecordNumber, const std::string& defaultValue);
    // Overwrites the first record holding `name` in place (DbLoaded stays as it was,
    // so later reads still see the old value until the next load) or appends a
    // record (DbLoaded becomes false). False when nothing was written: the plain
    // text is longer than 147 characters, the record would lie beyond record 164,
    // or the file cannot be opened or written.
    bool WriteDbValue(const std::string& name, const std::string& value);
    // Reads the file into DbBuffer and sets DbLoaded. On failure DbBuffer is empty
    // and DbLoaded false.
    bool LoadDb();
    // Marks DbBuffer stale: the next read loads the file again.
    void InvalidateDb() { loaded_ = false; }

    // The file as last loaded, up to its last addressable record (164 * 200 bytes;
    // nothing beyond is ever looked at).
    const std::string& DbBuffer() const { return buffer_; }
    bool DbLoaded() const { return loaded_; }

private:
    DbFile& file_;
    Timer timer_;
    PlatformRandom& random_;
    clsCryptText cryptText_;
    std::string buffer_;
    std::uint64_t fileLength_ = 0;  // the whole file's length at the last load
    bool loaded_ = false;
};

}  // namespace vtx
