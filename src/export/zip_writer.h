// A zip archive written entry by entry: local headers, deflated data, the central
// directory and the end records, Zip64 where counts, sizes or offsets need it.
// zlib deflates and computes the checksums; the records are written here. Portable:
// the bytes go to a sink, file contents come from a reader, and names outside
// ASCII are put into the OEM code page by a function the caller passes in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace vtx {

// Where the archive's bytes go.
class ZipSink {
public:
    virtual ~ZipSink() = default;
    // The offset the next appended byte gets.
    virtual std::uint64_t Size() const = 0;
    // Adds bytes at the end; false when they cannot be written.
    virtual bool Append(const void* data, std::size_t size) = 0;
    // Writes bytes over bytes appended before, at `offset`; false on failure.
    virtual bool Overwrite(std::uint64_t offset, const void* data, std::size_t size) = 0;
};

// Date and time as zip entries hold them (MS-DOS format, local time, two-second
// steps).
struct DosDateTime {
    std::uint16_t date = (1 << 5) | 1;  // 1980-01-01
    std::uint16_t time = 0;
    bool operator==(const DosDateTime&) const = default;
};
// The DOS form of a local date and time; seconds are rounded down to even ones. A
// moment before 1980 gives 1980-01-01 00:00:00, one after 2107 gives
// 2107-12-31 23:59:58.
DosDateTime ToDosDateTime(int year, int month, int day, int hour, int minute, int second);

// The bytes of a UTF-8 name in the system's OEM code page, or nullopt when a
// character of it has no place there.
using OemEncoder = std::function<std::optional<std::string>(std::string_view utf8)>;

// Fills `buffer` with the next bytes of a file: how many (0 at the end), or nullopt
// when the file cannot be read.
using ZipReader = std::function<std::optional<std::size_t>(char* buffer, std::size_t capacity)>;

enum class ZipError {
    None,
    Write,     // the sink refused bytes
    Read,      // a reader failed
    Name,      // a name that cannot stand in an archive (empty, too long, absolute, "..")
    Grown,     // a file yielded 4 GiB or more though announced as smaller
    Finished,  // an entry after Finish
    Deflate,   // zlib failed
};

// Writes one archive into a sink. The first failure sticks: every later call
// returns false and appends nothing, so the caller may stop at any point and
// discard what the sink holds.
//
// Names are relative paths with forward slashes. A name of ASCII characters only,
// or one the OEM encoder can write, is stored in that form; any other is stored
// as UTF-8 with bit 11 of the general-purpose flags set.
class ZipWriter {
public:
    ZipWriter(ZipSink& sink, OemEncoder oem);
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;
    ~ZipWriter();

    // A folder entry: `name` + "/", no data.
    bool AddFolder(std::string_view name, DosDateTime time);
    // A file entry with the bytes `read` yields until it reports the end. An empty
    // file is stored without compression; any other is deflated. `sizeHint` is the
    // size the file system reports: from about 4 GiB on, the local header gets its
    // Zip64 fields (a smaller file that yields 4 GiB or more fails with Grown).
    bool AddFile(std::string_view name, DosDateTime time, std::uint64_t sizeHint, const ZipReader& read);
    // A file entry with these bytes.
    bool AddFile(std::string_view name, DosDateTime time, std::string_view bytes);
    // The central directory and the end records; Zip64 end records when there are
    // 65,535 entries or more or the directory's size or offset needs them.
    bool Finish();

    ZipError error() const { return error_; }
    std::uint64_t entries() const { return entries_; }

private:
    struct Entry;
    struct Deflater;
    bool Fail(ZipError error);
    bool Usable();
    bool AddEntry(std::string_view name, bool folder, DosDateTime time, std::uint64_t sizeHint, const ZipReader* read);
    bool StoreData(const ZipReader& read, Entry& entry);
    void AddToDirectory(const Entry& entry);

    ZipSink& sink_;
    OemEncoder oem_;
    std::string directory_;  // the central directory, built entry by entry
    std::uint64_t entries_ = 0;
    ZipError error_ = ZipError::None;
    bool finished_ = false;
    std::unique_ptr<Deflater> deflater_;  // made for the first file with data, reused
};

}  // namespace vtx
