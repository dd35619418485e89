#include "export/zip_writer.h"

#include <zlib.h>

#include <algorithm>

namespace vtx {
namespace {

constexpr std::uint32_t kLocalHeaderSignature = 0x04034b50;
constexpr std::uint32_t kCentralHeaderSignature = 0x02014b50;
constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64EndSignature = 0x06064b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint16_t kZip64ExtraId = 0x0001;

constexpr std::uint16_t kStored = 0;
constexpr std::uint16_t kDeflated = 8;
constexpr std::uint16_t kUtf8Name = 1 << 11;

// Versions needed to extract: plain stored data, a folder or deflated data, Zip64.
constexpr std::uint16_t kVersionStored = 10;
constexpr std::uint16_t kVersionDeflate = 20;
constexpr std::uint16_t kVersionZip64 = 45;
// Made by: MS-DOS attributes in the external attributes (high byte 0), format 4.5.
constexpr std::uint16_t kVersionMadeBy = kVersionZip64;

constexpr std::uint32_t kDosFolder = 0x10;
constexpr std::uint32_t kDosArchive = 0x20;

// A 32-bit field holding this says: the value is in the Zip64 extra field.
constexpr std::uint64_t kMax32 = 0xFFFFFFFF;
constexpr std::uint64_t kMax16 = 0xFFFF;

constexpr std::size_t kChunk = 256 * 1024;

void Put16(std::string& out, std::uint64_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(std::string& out, std::uint64_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, (value >> 16) & 0xFFFF);
}
void Put64(std::string& out, std::uint64_t value) {
    Put32(out, value & kMax32);
    Put32(out, value >> 32);
}
std::uint64_t Clamp32(std::uint64_t value) { return std::min(value, kMax32); }

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// A relative path of one or more plain names separated by single slashes.
bool IsArchiveName(std::string_view name) {
    if (name.empty() || name.size() >= kMax16) return false;
    if (name.find_first_of(std::string_view("\\\0", 2)) != std::string_view::npos) return false;
    std::size_t start = 0;
    for (;;) {
        const std::size_t slash = name.find('/', start);
        const std::string_view part = name.substr(start, slash == std::string_view::npos ? slash : slash - start);
        if (part.empty() || part == "." || part == "..") return false;
        if (slash == std::string_view::npos) return true;
        start = slash + 1;
    }
}

// From about 4 GiB on, a file's compressed size could pass the 32-bit fields
// (deflate adds a little to data it cannot shrink).
bool NeedsZip64Sizes(std::uint64_t size) { return size + (size >> 10) + 1024 >= kMax32; }

}  // namespace

DosDateTime ToDosDateTime(int year, int month, int day, int hour, int minute, int second) {
    if (year < 1980) return {};
    if (year > 2107) return {static_cast<std::uint16_t>((127 << 9) | (12 << 5) | 31),
                             static_cast<std::uint16_t>((23 << 11) | (59 << 5) | 29)};
    month = std::clamp(month, 1, 12);
    day = std::clamp(day, 1, 31);
    hour = std::clamp(hour, 0, 23);
    minute = std::clamp(minute, 0, 59);
    second = std::clamp(second, 0, 59);
    return {static_cast<std::uint16_t>(((year - 1980) << 9) | (month << 5) | day),
            static_cast<std::uint16_t>((hour << 11) | (minute << 5) | (second / 2))};
}

struct ZipWriter::Entry {
    std::string name;  // as stored
    std::uint16_t flags = 0;
    std::uint16_t method = kStored;
    DosDateTime time;
    bool folder = false;
    std::uint32_t crc = 0;
    std::uint64_t compressedSize = 0;
    std::uint64_t size = 0;
    std::uint64_t offset = 0;
    bool localZip64 = false;  // the local header carries the sizes in a Zip64 field

    bool Zip64() const { return localZip64 || offset >= kMax32; }
    std::uint16_t VersionNeeded() const {
        if (Zip64()) return kVersionZip64;
        return folder || method == kDeflated ? kVersionDeflate : kVersionStored;
    }

    std::string LocalHeader() const {
        std::string header;
        header.reserve(30 + name.size() + 20);
        Put32(header, kLocalHeaderSignature);
        Put16(header, VersionNeeded());
        Put16(header, flags);
        Put16(header, method);
        Put16(header, time.time);
        Put16(header, time.date);
        Put32(header, crc);
        Put32(header, localZip64 ? kMax32 : compressedSize);
        Put32(header, localZip64 ? kMax32 : size);
        Put16(header, name.size());
        Put16(header, localZip64 ? 20 : 0);
        header += name;
        if (localZip64) {
            Put16(header, kZip64ExtraId);
            Put16(header, 16);
            Put64(header, size);
            Put64(header, compressedSize);
        }
        return header;
    }

    // Appends the entry's record of the central directory to `out`.
    void AppendCentralHeader(std::string& out) const {
        const bool sizeField = size >= kMax32, compressedField = compressedSize >= kMax32, offsetField = offset >= kMax32;
        const std::uint64_t extraData = 8 * (sizeField + compressedField + offsetField);
        const std::uint64_t extraLength = extraData > 0 ? 4 + extraData : 0;
        Put32(out, kCentralHeaderSignature);
        Put16(out, kVersionMadeBy);
        Put16(out, VersionNeeded());
        Put16(out, flags);
        Put16(out, method);
        Put16(out, time.time);
        Put16(out, time.date);
        Put32(out, crc);
        Put32(out, Clamp32(compressedSize));
        Put32(out, Clamp32(size));
        Put16(out, name.size());
        Put16(out, extraLength);
        Put16(out, 0);  // comment
        Put16(out, 0);  // disk
        Put16(out, 0);  // internal attributes
        Put32(out, folder ? kDosFolder : kDosArchive);
        Put32(out, Clamp32(offset));
        out += name;
        if (extraData > 0) {
            // Only the values whose fields above could not hold them, in this order.
            Put16(out, kZip64ExtraId);
            Put16(out, extraData);
            if (sizeField) Put64(out, size);
            if (compressedField) Put64(out, compressedSize);
            if (offsetField) Put64(out, offset);
        }
    }
};

// One deflate stream and its buffers, reset for every file.
struct ZipWriter::Deflater {
    z_stream stream{};
    bool ready = false;
    std::unique_ptr<char[]> in{new char[kChunk]};
    std::unique_ptr<char[]> out{new char[kChunk]};

    ~Deflater() {
        if (ready) deflateEnd(&stream);
    }
    bool Start() {
        if (ready) return deflateReset(&stream) == Z_OK;
        ready = deflateInit2(&stream, Z_DEFAULT_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) == Z_OK;
        return ready;
    }
};

ZipWriter::ZipWriter(ZipSink& sink, OemEncoder oem) : sink_(sink), oem_(std::move(oem)) {}
ZipWriter::~ZipWriter() = default;

bool ZipWriter::Fail(ZipError error) {
    if (error_ == ZipError::None) error_ = error;
    return false;
}

bool ZipWriter::Usable() {
    if (error_ != ZipError::None) return false;
    if (finished_) return Fail(ZipError::Finished);
    return true;
}

bool ZipWriter::AddFolder(std::string_view name, DosDateTime time) { return AddEntry(name, true, time, 0, nullptr); }

bool ZipWriter::AddFile(std::string_view name, DosDateTime time, std::uint64_t sizeHint, const ZipReader& read) {
    return AddEntry(name, false, time, sizeHint, &read);
}

bool ZipWriter::AddFile(std::string_view name, DosDateTime time, std::string_view bytes) {
    const ZipReader read = [&bytes](char* buffer, std::size_t capacity) -> std::optional<std::size_t> {
        const std::size_t count = std::min(capacity, bytes.size());
        std::copy_n(bytes.data(), count, buffer);
        bytes.remove_prefix(count);
        return count;
    };
    return AddEntry(name, false, time, bytes.size(), &read);
}

bool ZipWriter::AddEntry(std::string_view name, bool folder, DosDateTime time, std::uint64_t sizeHint,
                         const ZipReader* read) {
    if (!Usable()) return false;
    if (!IsArchiveName(name)) return Fail(ZipError::Name);
    Entry entry;
    entry.folder = folder;
    entry.time = time;
    entry.offset = sink_.Size();
    entry.localZip64 = !folder && NeedsZip64Sizes(sizeHint);
    if (IsAscii(name)) {
        entry.name = name;
    } else if (std::optional<std::string> oem = oem_ ? oem_(name) : std::nullopt) {
        entry.name = std::move(*oem);
    } else {
        entry.name = name;
        entry.flags |= kUtf8Name;
    }
    if (folder) entry.name += '/';

    // The local header goes first with what is known; once the data is written it
    // is written again in place with the checksum, the sizes and the method.
    const std::string first = entry.LocalHeader();
    if (!sink_.Append(first.data(), first.size())) return Fail(ZipError::Write);
    if (read) {
        if (!StoreData(*read, entry)) return false;
        const std::string header = entry.LocalHeader();  // the same length as the first
        if (!sink_.Overwrite(entry.offset, header.data(), header.size())) return Fail(ZipError::Write);
    }
    AddToDirectory(entry);
    return true;
}

bool ZipWriter::StoreData(const ZipReader& read, Entry& entry) {
    if (!deflater_) deflater_ = std::make_unique<Deflater>();
    Deflater& d = *deflater_;
    std::optional<std::size_t> count = read(d.in.get(), kChunk);
    if (!count) return Fail(ZipError::Read);
    if (*count == 0) return true;  // empty: stored, no data

    entry.method = kDeflated;
    if (!d.Start()) return Fail(ZipError::Deflate);
    uLong crc = crc32(0, nullptr, 0);
    z_stream& z = d.stream;
    for (;;) {
        const std::size_t got = std::min(*count, kChunk);
        crc = crc32(crc, reinterpret_cast<const Bytef*>(d.in.get()), static_cast<uInt>(got));
        entry.size += got;
        const int flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
        z.next_in = reinterpret_cast<Bytef*>(d.in.get());
        z.avail_in = static_cast<uInt>(got);
        int status = Z_OK;
        do {
            z.next_out = reinterpret_cast<Bytef*>(d.out.get());
            z.avail_out = static_cast<uInt>(kChunk);
            status = deflate(&z, flush);
            if (status == Z_STREAM_ERROR) return Fail(ZipError::Deflate);
            const std::size_t produced = kChunk - z.avail_out;
            if (produced > 0 && !sink_.Append(d.out.get(), produced)) return Fail(ZipError::Write);
            entry.compressedSize += produced;
        } while (z.avail_out == 0);
        if (flush == Z_FINISH) {
            if (status != Z_STREAM_END) return Fail(ZipError::Deflate);
            break;
        }
        count = read(d.in.get(), kChunk);
        if (!count) return Fail(ZipError::Read);
    }
    entry.crc = static_cast<std::uint32_t>(crc);
    if (!entry.localZip64 && (entry.size >= kMax32 || entry.compressedSize >= kMax32)) return Fail(ZipError::Grown);
    return true;
}

void ZipWriter::AddToDirectory(const Entry& entry) {
    entry.AppendCentralHeader(directory_);
    ++entries_;
}

bool ZipWriter::Finish() {
    if (!Usable()) return false;
    const std::uint64_t directoryOffset = sink_.Size();
    const std::uint64_t directorySize = directory_.size();
    if (!directory_.empty() && !sink_.Append(directory_.data(), directory_.size())) return Fail(ZipError::Write);

    std::string end;
    const bool zip64 = entries_ >= kMax16 || directorySize >= kMax32 || directoryOffset >= kMax32;
    if (zip64) {
        const std::uint64_t zip64EndOffset = sink_.Size();
        Put32(end, kZip64EndSignature);
        Put64(end, 44);  // the size of the rest of this record
        Put16(end, kVersionMadeBy);
        Put16(end, kVersionZip64);
        Put32(end, 0);  // this disk
        Put32(end, 0);  // the disk with the directory
        Put64(end, entries_);
        Put64(end, entries_);
        Put64(end, directorySize);
        Put64(end, directoryOffset);
        Put32(end, kZip64LocatorSignature);
        Put32(end, 0);  // the disk with the Zip64 end record
        Put64(end, zip64EndOffset);
        Put32(end, 1);  // disks in all
    }
    Put32(end, kEndSignature);
    Put16(end, 0);
    Put16(end, 0);
    Put16(end, std::min(entries_, kMax16));
    Put16(end, std::min(entries_, kMax16));
    Put32(end, Clamp32(directorySize));
    Put32(end, Clamp32(directoryOffset));
    Put16(end, 0);  // comment
    if (!sink_.Append(end.data(), end.size())) return Fail(ZipError::Write);
    finished_ = true;
    directory_.clear();
    directory_.shrink_to_fit();
    return true;
}

}  // namespace vtx
