#include "settings/init_dbase_win.h"

#include <windows.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>

#include "common/directories.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "settings/init_dbase.h"

namespace vtx {
namespace {

// DataDir is set at start-up, so the path is formed anew for every access.
std::string DbPath() { return DataDir + "\\Init.vtx"; }

// The jukebox may hold the file open while the tool runs: share reading and writing.
constexpr DWORD kShareMode = FILE_SHARE_READ | FILE_SHARE_WRITE;

FileHandle OpenDbFile(DWORD access, DWORD disposition) {
    const std::string path = DbPath();
    if (path.find('\0') != std::string::npos) return FileHandle();  // names no file
    return FileHandle(CreateFileW(Widen(path).c_str(), access, kShareMode, nullptr, disposition,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
}

std::optional<std::uint64_t> FileLength(HANDLE file) {
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file, &size) || size.QuadPart < 0) return std::nullopt;
    return static_cast<std::uint64_t>(size.QuadPart);
}

class WinDbFileWriter : public DbFileWriter {
public:
    WinDbFileWriter(FileHandle file, std::uint64_t length) : file_(std::move(file)), length_(length) {}
    std::uint64_t Length() const override { return length_; }
    bool WriteAt(std::uint64_t offset, const std::string& bytes) override {
        LARGE_INTEGER position{};
        position.QuadPart = static_cast<LONGLONG>(offset);
        if (!SetFilePointerEx(file_.get(), position, nullptr, FILE_BEGIN)) return false;
        return WriteAll(file_.get(), bytes);
    }

private:
    FileHandle file_;
    std::uint64_t length_;
};

class WinDbFile : public DbFile {
public:
    bool Exists() override { return FileExists(DbPath()); }

    bool Read(std::size_t maxBytes, std::string& head, std::uint64_t& length) override {
        const FileHandle file = OpenDbFile(GENERIC_READ, OPEN_EXISTING);
        if (!file) return false;
        const std::optional<std::uint64_t> size = FileLength(file.get());
        if (!size) return false;
        const auto expected = static_cast<std::size_t>(std::min<std::uint64_t>(*size, maxBytes));
        std::string bytes(expected, '\0');
        std::size_t got = 0;
        while (got < expected) {
            const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(expected - got, 1u << 20));
            DWORD read = 0;
            if (!ReadFile(file.get(), bytes.data() + got, chunk, &read, nullptr)) return false;
            if (read == 0) break;
            got += read;
        }
        // A file that shrank while being read counts with the bytes actually there.
        bytes.resize(got);
        length = got < expected ? got : *size;
        head = std::move(bytes);
        return true;
    }

    std::unique_ptr<DbFileWriter> OpenForWrite() override {
        FileHandle file = OpenDbFile(GENERIC_WRITE, OPEN_ALWAYS);
        if (!file) return nullptr;
        const std::optional<std::uint64_t> size = FileLength(file.get());
        if (!size) return nullptr;
        return std::make_unique<WinDbFileWriter>(std::move(file), *size);
    }
};

// Seconds since local midnight, with the fractional part.
float SecondsSinceMidnight() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return static_cast<float>(now.wHour * 3600 + now.wMinute * 60 + now.wSecond) +
           static_cast<float>(now.wMilliseconds) / 1000.0f;
}

// The one store of the process, with its one cipher object.
SettingsStore& Store() {
    static WinDbFile file;
    static SettingsStore store(file, SecondsSinceMidnight);
    return store;
}

}  // namespace

std::string ReadDbValue(const std::string& name, bool returnRecordNumber, const std::string& defaultValue) {
    // The default is handed back as given, never through the ANSI code page.
    const std::optional<std::string> found = Store().FindDbValue(ToAnsi(name), returnRecordNumber);
    return found ? FromAnsi(*found) : defaultValue;
}

bool WriteDbValue(const std::string& name, const std::string& value) {
    return Store().WriteDbValue(ToAnsi(name), ToAnsi(value));
}

bool LoadDb() { return Store().LoadDb(); }

void InvalidateDb() { Store().InvalidateDb(); }

}  // namespace vtx
