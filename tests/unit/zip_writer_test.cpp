// The archive writer on archives in memory: each is read back record by record
// (our own small reader below, with zlib inflating), and natively also left with
// a folder of the same contents for the test command's independent check with
// Python's zipfile (see tests/check_archives.py).
#include "export/zip_writer.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#ifndef _WIN32
#include <ctime>
#include <filesystem>
#include <fstream>

#include <utime.h>
#endif

namespace vtx {
namespace {

constexpr std::uint64_t k4GiB = 0x100000000ull;

// ---- a sink in memory, failing where it is told to ----

class MemorySink final : public ZipSink {
public:
    explicit MemorySink(std::uint64_t base = 0) : base_(base) {}
    std::uint64_t Size() const override { return base_ + bytes.size(); }
    bool Append(const void* data, std::size_t size) override {
        ++appends;
        if (failAppendAt && bytes.size() + size > *failAppendAt) return false;
        bytes.append(static_cast<const char*>(data), size);
        return true;
    }
    bool Overwrite(std::uint64_t offset, const void* data, std::size_t size) override {
        if (failOverwrite) return false;
        if (offset < base_ || offset - base_ + size > bytes.size()) return false;
        bytes.replace(offset - base_, size, static_cast<const char*>(data), size);
        return true;
    }

    std::string bytes;
    int appends = 0;
    std::optional<std::size_t> failAppendAt;  // the first byte that cannot be written
    bool failOverwrite = false;

private:
    std::uint64_t base_;  // where the archive starts, as if something came before it
};

// ---- a small reader of what the writer wrote ----

std::uint64_t Get(const std::string& bytes, std::uint64_t at, int size) {
    std::uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

struct ReadEntry {
    std::string name;  // as stored
    std::uint16_t flags = 0, method = 0, versionNeeded = 0;
    std::uint32_t crc = 0, external = 0;
    DosDateTime time;
    std::uint64_t compressedSize = 0, size = 0, offset = 0;
    bool localZip64 = false;
    std::string data;  // inflated
};

struct ReadArchive {
    std::vector<ReadEntry> entries;
    bool zip64End = false;
    std::uint64_t endEntries = 0;  // the count in the classic end record
    std::string error;             // "" when every record was found and checked
};

std::string Inflate(const std::string& compressed, std::uint64_t size, std::string& error) {
    std::string out(size, '\0');
    z_stream z{};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return error = "inflateInit", "";
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(compressed.data()));
    z.avail_in = static_cast<uInt>(compressed.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = static_cast<uInt>(out.size());
    const int status = inflate(&z, Z_FINISH);
    if (status != Z_STREAM_END || z.avail_out != 0 || z.avail_in != 0) error = "inflate failed";
    inflateEnd(&z);
    return out;
}

// Reads the end records, the central directory and every local header and its
// data; `base` is where the archive starts (see MemorySink).
ReadArchive Read(const std::string& b, std::uint64_t base = 0) {
    ReadArchive archive;
    if (b.size() < 22) return archive.error = "too short", archive;
    const std::uint64_t end = b.size() - 22;
    if (Get(b, end, 4) != 0x06054b50) return archive.error = "no end record", archive;
    archive.endEntries = Get(b, end + 10, 2);
    std::uint64_t count = archive.endEntries, dirSize = Get(b, end + 12, 4), dirOffset = Get(b, end + 16, 4);
    if (end >= 20 && Get(b, end - 20, 4) == 0x07064b50) {
        archive.zip64End = true;
        const std::uint64_t at = Get(b, end - 12, 8) - base;
        if (Get(b, at, 4) != 0x06064b50 || at + 56 != end - 20) return archive.error = "bad Zip64 end record", archive;
        count = Get(b, at + 32, 8);
        dirSize = Get(b, at + 40, 8);
        dirOffset = Get(b, at + 48, 8);
    }
    std::uint64_t at = dirOffset - base;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (Get(b, at, 4) != 0x02014b50) return archive.error = "bad central header " + std::to_string(i), archive;
        ReadEntry e;
        e.versionNeeded = static_cast<std::uint16_t>(Get(b, at + 6, 2));
        e.flags = static_cast<std::uint16_t>(Get(b, at + 8, 2));
        e.method = static_cast<std::uint16_t>(Get(b, at + 10, 2));
        e.time = {static_cast<std::uint16_t>(Get(b, at + 14, 2)), static_cast<std::uint16_t>(Get(b, at + 12, 2))};
        e.crc = static_cast<std::uint32_t>(Get(b, at + 16, 4));
        e.compressedSize = Get(b, at + 20, 4);
        e.size = Get(b, at + 24, 4);
        const std::uint64_t nameLength = Get(b, at + 28, 2), extraLength = Get(b, at + 30, 2);
        e.external = static_cast<std::uint32_t>(Get(b, at + 38, 4));
        e.offset = Get(b, at + 42, 4);
        e.name = b.substr(at + 46, nameLength);
        std::uint64_t extra = at + 46 + nameLength;
        if (extraLength > 0) {
            if (Get(b, extra, 2) != 1) return archive.error = "unknown extra field", archive;
            std::uint64_t field = extra + 4;
            for (std::uint64_t* value : {&e.size, &e.compressedSize, &e.offset})
                if (*value == 0xFFFFFFFF) *value = Get(b, field, 8), field += 8;
            if (field != extra + extraLength) return archive.error = "Zip64 extra of the wrong size", archive;
        }
        at = extra + extraLength;

        // The local header repeats name, method, checksum and sizes.
        const std::uint64_t local = e.offset - base;
        if (Get(b, local, 4) != 0x04034b50) return archive.error = "bad local header " + e.name, archive;
        const std::uint64_t localName = Get(b, local + 26, 2), localExtra = Get(b, local + 28, 2);
        std::uint64_t localCompressed = Get(b, local + 18, 4), localSize = Get(b, local + 22, 4);
        if (localExtra == 20 && Get(b, local + 30 + localName, 2) == 1 && localSize == 0xFFFFFFFF) {
            e.localZip64 = true;
            localSize = Get(b, local + 34 + localName, 8);
            localCompressed = Get(b, local + 42 + localName, 8);
        } else if (localExtra != 0) {
            return archive.error = "unexpected local extra " + e.name, archive;
        }
        if (b.substr(local + 30, localName) != e.name || Get(b, local + 8, 2) != e.method ||
            Get(b, local + 14, 4) != e.crc || localCompressed != e.compressedSize || localSize != e.size ||
            Get(b, local + 4, 2) != e.versionNeeded || Get(b, local + 6, 2) != e.flags)
            return archive.error = "local header differs from the directory: " + e.name, archive;
        const std::string stored = b.substr(local + 30 + localName + localExtra, e.compressedSize);
        std::string error;
        e.data = e.method == 8 ? Inflate(stored, e.size, error) : stored;
        if (!error.empty() || e.data.size() != e.size) return archive.error = error + " " + e.name, archive;
        if (crc32(0, reinterpret_cast<const Bytef*>(e.data.data()), static_cast<uInt>(e.data.size())) != e.crc)
            return archive.error = "checksum " + e.name, archive;
        archive.entries.push_back(std::move(e));
    }
    if (at != dirOffset - base + dirSize) archive.error = "directory size";
    return archive;
}

// ---- what the test command's independent check reads ----

// Natively, with VTX_ARCHIVE_KEEP set: <keep>/unit/<label>/VTX Umgebung.zip and
// beside it the folder the archive should hold, with the same file times. Not
// under Wine: the same code runs there, and folders of 65,000 files are slow.
struct KeptEntry {
    std::string name;  // UTF-8, "VTX Umgebung/..." ("/" at the end for a folder)
    std::string bytes;
};
void Keep(const std::string& label, const std::string& archive, const std::vector<KeptEntry>& entries,
          const std::tm& fileTime, const char* oemCodePage = "437") {
#ifndef _WIN32
    const char* keep = std::getenv("VTX_ARCHIVE_KEEP");
    if (!keep || !*keep) return;
    namespace fs = std::filesystem;
    const fs::path pair = fs::path(keep) / "unit" / label;
    fs::remove_all(pair);
    fs::create_directories(pair);
    std::ofstream(pair / "VTX Umgebung.zip", std::ios::binary) << archive;
    std::ofstream(pair / "oem-codepage.txt") << oemCodePage;
    std::tm local = fileTime;
    local.tm_isdst = -1;
    const std::time_t when = std::mktime(&local);
    const utimbuf times{when, when};
    for (const KeptEntry& entry : entries) {
        if (entry.name.ends_with("/")) {
            fs::create_directories(pair / entry.name);
            continue;
        }
        const fs::path file = pair / entry.name;
        fs::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << entry.bytes;
        utime(file.c_str(), &times);
    }
#else
    (void)label, (void)archive, (void)entries, (void)fileTime, (void)oemCodePage;
#endif
}

// A stand-in for the OEM code page 437: ASCII and a few letters of it.
std::optional<std::string> Oem437(std::string_view utf8) {
    static const std::map<std::string, char> kLetters = {
        {"ä", '\x84'}, {"ö", '\x94'}, {"ü", '\x81'}, {"Ä", '\x8E'}, {"Ö", '\x99'}, {"Ü", '\x9A'}, {"ß", '\xE1'}};
    std::string out;
    for (size_t i = 0; i < utf8.size();) {
        const unsigned char c = static_cast<unsigned char>(utf8[i]);
        if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
            continue;
        }
        const auto letter = kLetters.find(std::string(utf8.substr(i, 2)));
        if (letter == kLetters.end()) return std::nullopt;
        out += letter->second;
        i += 2;
    }
    return out;
}

std::string Noise(size_t count) {
    std::string bytes(count, '\0');
    unsigned seed = 12345;
    for (char& c : bytes) {
        seed = seed * 1103515245u + 12345u;
        c = static_cast<char>(seed >> 16);
    }
    return bytes;
}

const DosDateTime kTime = ToDosDateTime(2026, 12, 10, 4, 42, 18);
const std::tm kFileTime = [] {
    std::tm t{};
    t.tm_year = 2026 - 1900, t.tm_mon = 11, t.tm_mday = 10, t.tm_hour = 4, t.tm_min = 42, t.tm_sec = 18;
    return t;
}();

TEST(ZipWriter, WritesEveryKindOfEntryAsTheReaderExpectsIt) {
    struct Case {
        const char* name;  // UTF-8; "/" at the end: a folder
        std::string bytes;
        std::string stored;   // the name's bytes in the archive
        bool utf8Flag;
        std::uint16_t method;
    };
    const std::string text = "[Programm]\r\nSprache=Deutsch\r\n";
    const std::string repeated(100000, 'a');
    const std::string noise = Noise(600 * 1024);  // more than two chunks, not compressible
    const Case cases[] = {
        {"VTX Umgebung/", "", "VTX Umgebung/", false, 0},
        {"VTX Umgebung/VTX.log", text, "VTX Umgebung/VTX.log", false, 8},
        {"VTX Umgebung/APP/", "", "VTX Umgebung/APP/", false, 0},
        // An empty folder survives as its own entry.
        {"VTX Umgebung/APP/Leer/", "", "VTX Umgebung/APP/Leer/", false, 0},
        // A placeholder: an empty entry, stored.
        {"VTX Umgebung/APP/Velatrix-Tunes 6.exe", "", "VTX Umgebung/APP/Velatrix-Tunes 6.exe", false, 0},
        // In the OEM code page: its bytes, no flag.
        {"VTX Umgebung/APP/Grüße.ini", text, "VTX Umgebung/APP/Gr\x81\xE1" "e.ini", false, 8},
        {"VTX Umgebung/APP/Ärger/", "", "VTX Umgebung/APP/\x8Erger/", false, 0},
        // Outside it: UTF-8 with bit 11.
        {"VTX Umgebung/APP/歌 Ω.ini", text, "VTX Umgebung/APP/歌 Ω.ini", true, 8},
        {"VTX Umgebung/APP/Ärger/😀 Řü.jpg", "", "VTX Umgebung/APP/Ärger/😀 Řü.jpg", true, 0},
        {"VTX Umgebung/APP/Ärger/Řeka/", "", "VTX Umgebung/APP/Ärger/Řeka/", true, 0},
        {"VTX Umgebung/USR/", "", "VTX Umgebung/USR/", false, 0},
        {"VTX Umgebung/USR/Init.vtx", repeated, "VTX Umgebung/USR/Init.vtx", false, 8},
        {"VTX Umgebung/USR/Rauschen.bin", noise, "VTX Umgebung/USR/Rauschen.bin", false, 8},
    };
    MemorySink sink;
    ZipWriter zip(sink, &Oem437);
    std::vector<KeptEntry> kept;
    for (const Case& c : cases) {
        std::string name = c.name;
        if (name.ends_with("/")) {
            name.pop_back();
            ASSERT_TRUE(zip.AddFolder(name, kTime)) << name;
        } else {
            ASSERT_TRUE(zip.AddFile(name, kTime, c.bytes)) << name;
        }
        kept.push_back({c.name, c.bytes});
    }
    ASSERT_TRUE(zip.Finish());
    EXPECT_EQ(zip.error(), ZipError::None);

    const ReadArchive archive = Read(sink.bytes);
    ASSERT_EQ(archive.error, "");
    EXPECT_FALSE(archive.zip64End);
    ASSERT_EQ(archive.entries.size(), std::size(cases));
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const ReadEntry& e = archive.entries[i];
        SCOPED_TRACE(c.name);
        const bool folder = std::string_view(c.name).ends_with("/");
        EXPECT_EQ(e.name, c.stored);
        EXPECT_EQ(e.flags, c.utf8Flag ? 0x0800 : 0);
        EXPECT_EQ(e.method, c.method);
        EXPECT_EQ(e.versionNeeded, folder || c.method == 8 ? 20 : 10);
        EXPECT_EQ(e.data, c.bytes);
        EXPECT_EQ(e.external, folder ? 0x10u : 0x20u);
        EXPECT_EQ(e.time, kTime);
        EXPECT_FALSE(e.localZip64);
    }
    EXPECT_LT(archive.entries[11].compressedSize, 1000u);  // deflated indeed
    Keep("every-kind", sink.bytes, kept, kFileTime);
}

TEST(ZipWriter, WithoutAnOemEncoderEveryNonAsciiNameIsUtf8) {
    MemorySink sink;
    ZipWriter zip(sink, nullptr);
    ASSERT_TRUE(zip.AddFolder("VTX Umgebung", kTime));
    ASSERT_TRUE(zip.AddFile("VTX Umgebung/Grüße.ini", kTime, "x"));
    ASSERT_TRUE(zip.Finish());
    const ReadArchive archive = Read(sink.bytes);
    ASSERT_EQ(archive.error, "");
    EXPECT_EQ(archive.entries[0].flags, 0);
    EXPECT_EQ(archive.entries[1].flags, 0x0800);
    EXPECT_EQ(archive.entries[1].name, "VTX Umgebung/Grüße.ini");
    Keep("utf8-only", sink.bytes, {{"VTX Umgebung/", ""}, {"VTX Umgebung/Grüße.ini", "x"}}, kFileTime, "65001");
}

TEST(ZipWriter, TakesZip64EndRecordsFrom65535EntriesOn) {
    struct Case {
        int entries;
        bool zip64;
    };
    for (const Case c : {Case{65534, false}, Case{65535, true}, Case{65536, true}}) {
        SCOPED_TRACE(c.entries);
        MemorySink sink;
        ZipWriter zip(sink, &Oem437);
        std::vector<KeptEntry> kept;
        ASSERT_TRUE(zip.AddFolder("VTX Umgebung", kTime));
        kept.push_back({"VTX Umgebung/", ""});
        // Folders of 256 files each: one entry for the folder, then its files.
        for (int i = 1; static_cast<int>(zip.entries()) < c.entries; ++i) {
            const std::string folder = "VTX Umgebung/Ordner " + std::to_string((i - 1) / 257);
            if ((i - 1) % 257 == 0) {
                ASSERT_TRUE(zip.AddFolder(folder, kTime));
                kept.push_back({folder + "/", ""});
            } else {
                const std::string file = folder + "/Titel " + std::to_string(i) + ".mp3";
                ASSERT_TRUE(zip.AddFile(file, kTime, ""));
                kept.push_back({file, ""});
            }
        }
        ASSERT_TRUE(zip.Finish());
        const ReadArchive archive = Read(sink.bytes);
        ASSERT_EQ(archive.error, "");
        EXPECT_EQ(archive.zip64End, c.zip64);
        ASSERT_EQ(archive.entries.size(), static_cast<size_t>(c.entries));
        EXPECT_EQ(archive.endEntries, static_cast<std::uint64_t>(std::min(c.entries, 0xFFFF)));
        EXPECT_EQ(archive.entries.back().name, kept.back().name);
        if (c.entries == 65536) Keep("zip64-entries", sink.bytes, kept, kFileTime);
    }
}

TEST(ZipWriter, OffsetsPast4GiBGoIntoZip64Fields) {
    // An archive that starts 4 GiB into its file: every offset needs 64 bits.
    MemorySink sink(k4GiB + 10);
    ZipWriter zip(sink, &Oem437);
    ASSERT_TRUE(zip.AddFolder("VTX Umgebung", kTime));
    ASSERT_TRUE(zip.AddFile("VTX Umgebung/VTX.log", kTime, "Zeile\r\n"));
    ASSERT_TRUE(zip.Finish());
    const ReadArchive archive = Read(sink.bytes, k4GiB + 10);
    ASSERT_EQ(archive.error, "");
    EXPECT_TRUE(archive.zip64End);
    ASSERT_EQ(archive.entries.size(), 2u);
    EXPECT_EQ(archive.entries[0].offset, k4GiB + 10);
    EXPECT_EQ(archive.entries[1].data, "Zeile\r\n");
    for (const ReadEntry& e : archive.entries) EXPECT_EQ(e.versionNeeded, 45);
}

TEST(ZipWriter, AFileTheFileSystemCallsHugeGetsZip64SizesInItsLocalHeader) {
    // The listing said 5 GiB; what the reader yields counts.
    MemorySink sink;
    ZipWriter zip(sink, &Oem437);
    std::string bytes = "klein";
    const ZipReader read = [&bytes](char* buffer, std::size_t) -> std::optional<std::size_t> {
        const std::size_t count = bytes.size();
        bytes.copy(buffer, count);
        bytes.clear();
        return count;
    };
    ASSERT_TRUE(zip.AddFolder("VTX Umgebung", kTime));
    ASSERT_TRUE(zip.AddFile("VTX Umgebung/Gross.bin", kTime, 5 * k4GiB / 4, read));
    ASSERT_TRUE(zip.Finish());
    const ReadArchive archive = Read(sink.bytes);
    ASSERT_EQ(archive.error, "");
    ASSERT_EQ(archive.entries.size(), 2u);
    EXPECT_TRUE(archive.entries[1].localZip64);
    EXPECT_EQ(archive.entries[1].versionNeeded, 45);
    EXPECT_EQ(archive.entries[1].data, "klein");
    Keep("zip64-local-sizes", sink.bytes, {{"VTX Umgebung/", ""}, {"VTX Umgebung/Gross.bin", "klein"}}, kFileTime);
}

TEST(ZipWriter, TheFirstFailureSticksAndNothingIsWrittenAfterIt) {
    // Where the sink gives out: at the first local header, in a file's data, when
    // its header is written again, in the central directory, in the end record.
    MemorySink whole;
    {
        ZipWriter zip(whole, &Oem437);
        zip.AddFolder("VTX Umgebung", kTime);
        zip.AddFile("VTX Umgebung/VTX.log", kTime, Noise(1000));
        zip.Finish();
    }
    const size_t firstHeader = 30 + 13;
    const size_t directory = whole.bytes.size() - 22 - (46 + 13) - (46 + 20);
    struct Case {
        const char* where;
        std::optional<size_t> failAppendAt;
        bool failOverwrite;
        int failingStep;  // 0 folder, 1 file, 2 finish
    } cases[] = {
        {"first header", 0, false, 0},
        {"file data", firstHeader + 30 + 20 + 500, false, 1},
        {"header written again", std::nullopt, true, 1},
        {"central directory", directory + 10, false, 2},
        {"end record", whole.bytes.size() - 5, false, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.where);
        MemorySink sink;
        sink.failAppendAt = c.failAppendAt;
        sink.failOverwrite = c.failOverwrite;
        ZipWriter zip(sink, &Oem437);
        const bool steps[] = {zip.AddFolder("VTX Umgebung", kTime),
                              zip.AddFile("VTX Umgebung/VTX.log", kTime, Noise(1000)), zip.Finish()};
        for (int i = 0; i < 3; ++i) EXPECT_EQ(steps[i], i < c.failingStep) << "step " << i;
        EXPECT_EQ(zip.error(), ZipError::Write);
        const int appends = sink.appends;
        EXPECT_FALSE(zip.AddFile("VTX Umgebung/Noch.txt", kTime, "x"));
        EXPECT_FALSE(zip.Finish());
        EXPECT_EQ(sink.appends, appends);
        EXPECT_EQ(zip.error(), ZipError::Write);
    }
}

TEST(ZipWriter, RefusesWhatCannotStandInAnArchive) {
    const ZipReader failing = [](char*, std::size_t) -> std::optional<std::size_t> { return std::nullopt; };
    struct Case {
        const char* what;
        std::function<bool(ZipWriter&)> add;
        ZipError error;
    } cases[] = {
        {"a file that cannot be read", [&](ZipWriter& z) { return z.AddFile("a/b.txt", kTime, 10, failing); },
         ZipError::Read},
        {"an empty name", [](ZipWriter& z) { return z.AddFolder("", kTime); }, ZipError::Name},
        {"an absolute name", [](ZipWriter& z) { return z.AddFile("/etc/x", kTime, "x"); }, ZipError::Name},
        {"a backslash", [](ZipWriter& z) { return z.AddFile("a\\b", kTime, "x"); }, ZipError::Name},
        {"a parent step", [](ZipWriter& z) { return z.AddFile("a/../b", kTime, "x"); }, ZipError::Name},
        {"a doubled slash", [](ZipWriter& z) { return z.AddFile("a//b", kTime, "x"); }, ZipError::Name},
        {"a name of 64 KiB", [](ZipWriter& z) { return z.AddFile(std::string(65535, 'a'), kTime, "x"); },
         ZipError::Name},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MemorySink sink;
        ZipWriter zip(sink, &Oem437);
        EXPECT_FALSE(c.add(zip));
        EXPECT_EQ(zip.error(), c.error);
        EXPECT_FALSE(zip.Finish());
    }
    // After Finish nothing more goes in.
    MemorySink sink;
    ZipWriter zip(sink, &Oem437);
    ASSERT_TRUE(zip.Finish());
    EXPECT_EQ(Read(sink.bytes).error, "");
    const std::string finished = sink.bytes;
    EXPECT_FALSE(zip.AddFile("a.txt", kTime, "x"));
    EXPECT_EQ(sink.bytes, finished);
}

TEST(ToDosDateTime, PacksLocalTimeInTwoSecondSteps) {
    struct Case {
        int year, month, day, hour, minute, second;
        std::uint16_t date, time;
    } cases[] = {
        {1980, 1, 1, 0, 0, 0, 0x0021, 0x0000},
        {2026, 12, 10, 4, 42, 18, ((2026 - 1980) << 9) | (12 << 5) | 10, (4 << 11) | (42 << 5) | 9},
        {2026, 12, 10, 4, 42, 19, ((2026 - 1980) << 9) | (12 << 5) | 10, (4 << 11) | (42 << 5) | 9},
        {2107, 12, 31, 23, 59, 59, (127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
        // Outside the format's years: its first and its last moment.
        {1979, 12, 31, 23, 59, 59, 0x0021, 0x0000},
        {1601, 1, 1, 0, 0, 0, 0x0021, 0x0000},
        {2200, 6, 1, 12, 0, 0, (127 << 9) | (12 << 5) | 31, (23 << 11) | (59 << 5) | 29},
    };
    for (const Case& c : cases) {
        const DosDateTime t = ToDosDateTime(c.year, c.month, c.day, c.hour, c.minute, c.second);
        EXPECT_EQ(t.date, c.date) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_EQ(t.time, c.time) << c.hour << ":" << c.minute << ":" << c.second;
    }
}

}  // namespace
}  // namespace vtx
