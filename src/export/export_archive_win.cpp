#include "export/export_archive_win.h"

#include <windows.h>

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "export/export_layout.h"
#include "export/zip_writer.h"

namespace vtx {
namespace {

constexpr size_t kSinkBuffer = 1 << 20;

// The archive's file, written through a buffer; each write names its offset, so
// that a header can be written again in place.
class FileSink final : public ZipSink {
public:
    explicit FileSink(HANDLE file) : file_(file) { buffer_.reserve(kSinkBuffer); }

    std::uint64_t Size() const override { return flushed_ + buffer_.size(); }

    bool Append(const void* data, size_t size) override {
        if (buffer_.size() + size > kSinkBuffer && !Flush()) return false;
        if (size >= kSinkBuffer) {
            if (!WriteAt(flushed_, data, size)) return false;
            flushed_ += size;
            return true;
        }
        buffer_.append(static_cast<const char*>(data), size);
        return true;
    }

    bool Overwrite(std::uint64_t offset, const void* data, size_t size) override {
        if (offset + size > Size()) return false;
        const char* bytes = static_cast<const char*>(data);
        if (offset < flushed_) {
            const size_t head = static_cast<size_t>(std::min<std::uint64_t>(size, flushed_ - offset));
            if (!WriteAt(offset, bytes, head)) return false;
            offset += head;
            bytes += head;
            size -= head;
        }
        if (size > 0) std::memcpy(buffer_.data() + (offset - flushed_), bytes, size);
        return true;
    }

    bool Flush() {
        if (buffer_.empty()) return true;
        if (!WriteAt(flushed_, buffer_.data(), buffer_.size())) return false;
        flushed_ += buffer_.size();
        buffer_.clear();
        return true;
    }

private:
    bool WriteAt(std::uint64_t offset, const void* data, size_t size) {
        const char* bytes = static_cast<const char*>(data);
        while (size > 0) {
            OVERLAPPED at{};
            at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
            at.OffsetHigh = static_cast<DWORD>(offset >> 32);
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 20));
            DWORD written = 0;
            if (!WriteFile(file_, bytes, chunk, &written, &at) || written == 0) return false;
            bytes += written;
            offset += written;
            size -= written;
        }
        return true;
    }

    HANDLE file_;
    std::string buffer_;
    std::uint64_t flushed_ = 0;
};

// Removes the temporary archive unless it was put in place.
class TemporaryFile {
public:
    explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;
    ~TemporaryFile() {
        if (!path_.empty()) DeleteFileW(path_.c_str());
    }
    const std::wstring& path() const { return path_; }
    void Kept() { path_.clear(); }

private:
    std::wstring path_;
};

// The time zone, read once per archive: asked for each entry, Windows reads it
// again every time.
class LocalTimes {
public:
    LocalTimes() { known_ = GetTimeZoneInformation(&zone_) != TIME_ZONE_ID_INVALID; }

    // A file time as local time of that date (daylight saving as it was then).
    DosDateTime Of(const FILETIME& written) const {
        SYSTEMTIME utc{}, local{};
        if (!FileTimeToSystemTime(&written, &utc) ||
            !SystemTimeToTzSpecificLocalTime(known_ ? &zone_ : nullptr, &utc, &local))
            return {};
        return ToDosDateTime(local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond);
    }

private:
    TIME_ZONE_INFORMATION zone_{};
    bool known_ = false;
};

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// One walk of the export folder into the archive: a folder's entry, its files,
// then its subfolders, depth first. Sizes and times come from the folder
// listing; only files with data are opened.
class FolderPacker {
public:
    FolderPacker(ZipWriter& zip, const MessagePump& pump, std::string folder)
        : zip_(zip), pump_(pump), folder_(std::move(folder)) {}

    enum class Outcome { Done, Failed, Stopped };

    Outcome Pack(const std::wstring& path, const std::string& name) {
        WIN32_FILE_ATTRIBUTE_DATA root{};
        if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &root) ||
            !(root.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            return FailedWith("das Verzeichnis " + folder_ + " konnte nicht gelesen werden");
        if (!zip_.AddFolder(name, times_.Of(root.ftLastWriteTime))) return ZipFailed(folder_);
        return PackFolder(path, name, folder_);
    }

    const std::string& reason() const { return reason_; }

private:
    struct Subfolder {
        std::wstring name;
        FILETIME written;
    };

    Outcome PackFolder(const std::wstring& path, const std::string& name, const std::string& shown) {
        std::vector<Subfolder> subfolders;
        WIN32_FIND_DATAW data;
        FindHandle find(FindFirstFileExW((path + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr,
                                         FIND_FIRST_EX_LARGE_FETCH));
        if (!find) {
            if (GetLastError() != ERROR_FILE_NOT_FOUND) return FailedWith("das Verzeichnis " + shown + " konnte nicht gelesen werden");
        } else {
            do {
                if (IsDotEntry(data.cFileName)) continue;
                const std::string entryName = name + "/" + Narrow(data.cFileName);
                const std::string entryShown = shown + "\\" + Narrow(data.cFileName);
                if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    if (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                        // A linked folder stands as a folder; its target is not packed.
                        if (!zip_.AddFolder(entryName, times_.Of(data.ftLastWriteTime))) return ZipFailed(entryShown);
                    } else {
                        subfolders.push_back({data.cFileName, data.ftLastWriteTime});
                    }
                } else {
                    const std::uint64_t size = (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
                    const Outcome added = AddFile(path + L"\\" + data.cFileName, entryName, entryShown, size,
                                                  times_.Of(data.ftLastWriteTime));
                    if (added != Outcome::Done) return added;
                }
                if (!pump_()) return Outcome::Stopped;
            } while (FindNextFileW(find.get(), &data));
            if (GetLastError() != ERROR_NO_MORE_FILES)
                return FailedWith("das Verzeichnis " + shown + " konnte nicht vollständig gelesen werden");
        }
        find.reset();
        for (const Subfolder& sub : subfolders) {
            const std::string subName = name + "/" + Narrow(sub.name);
            const std::string subShown = shown + "\\" + Narrow(sub.name);
            if (!zip_.AddFolder(subName, times_.Of(sub.written))) return ZipFailed(subShown);
            if (!pump_()) return Outcome::Stopped;
            const Outcome packed = PackFolder(path + L"\\" + sub.name, subName, subShown);
            if (packed != Outcome::Done) return packed;
        }
        return Outcome::Done;
    }

    Outcome AddFile(const std::wstring& path, const std::string& name, const std::string& shown, std::uint64_t size,
                    DosDateTime time) {
        // The export's placeholders are most of its files: the listing tells they
        // are empty, they need not be opened.
        if (size == 0) return zip_.AddFile(name, time, std::string_view()) ? Outcome::Done : ZipFailed(shown);
        FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
        if (!file) return FailedWith("die Datei " + shown + " konnte nicht gelesen werden");
        const ZipReader read = [&file](char* buffer, size_t capacity) -> std::optional<size_t> {
            DWORD got = 0;
            if (!ReadFile(file.get(), buffer, static_cast<DWORD>(std::min<size_t>(capacity, 1u << 30)), &got, nullptr))
                return std::nullopt;
            return got;
        };
        return zip_.AddFile(name, time, size, read) ? Outcome::Done : ZipFailed(shown);
    }

    Outcome ZipFailed(const std::string& shown) {
        switch (zip_.error()) {
            case ZipError::Read:
                return FailedWith("die Datei " + shown + " konnte nicht gelesen werden");
            case ZipError::Name:
                return FailedWith("der Name " + shown + " kann in einem Archiv nicht stehen");
            case ZipError::Grown:
                return FailedWith("die Datei " + shown + " hat sich beim Packen verändert");
            default:
                return WriteFailed();
        }
    }

    Outcome WriteFailed() {
        const DWORD error = GetLastError();
        return FailedWith(error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL
                              ? "der Datenträger ist voll"
                              : "beim Schreiben ist ein Fehler aufgetreten");
    }

    Outcome FailedWith(std::string reason) {
        reason_ = std::move(reason);
        return Outcome::Failed;
    }

    ZipWriter& zip_;
    const MessagePump& pump_;
    const LocalTimes times_;
    const std::string folder_;  // as the user knows it, for the messages
    std::string reason_;
};

std::string LastName(const std::string& folder) {
    const size_t backslash = folder.find_last_of("\\/");
    return backslash == std::string::npos ? folder : folder.substr(backslash + 1);
}

}  // namespace

std::optional<std::string> ToOemName(std::string_view utf8) {
    const bool ascii = std::all_of(utf8.begin(), utf8.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii) return std::string(utf8);
    if (GetOEMCP() == CP_UTF8) return std::nullopt;
    const std::wstring wide = Widen(utf8);
    BOOL usedDefault = FALSE;
    const int length = WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()),
                                           nullptr, 0, nullptr, &usedDefault);
    if (length <= 0 || usedDefault) return std::nullopt;
    std::string oem(static_cast<size_t>(length), '\0');
    if (WideCharToMultiByte(CP_OEMCP, WC_NO_BEST_FIT_CHARS, wide.data(), static_cast<int>(wide.size()), oem.data(),
                            length, nullptr, &usedDefault) != length ||
        usedDefault)
        return std::nullopt;
    // Only what reads back as the same name counts.
    std::wstring back(wide.size() + 1, L'\0');
    const int backLength = MultiByteToWideChar(CP_OEMCP, MB_ERR_INVALID_CHARS, oem.data(), length, back.data(),
                                               static_cast<int>(back.size()));
    if (backLength <= 0 || back.compare(0, static_cast<size_t>(backLength), wide) != 0 ||
        static_cast<size_t>(backLength) != wide.size())
        return std::nullopt;
    return oem;
}

ArchiveResult ArchiveExportFolder(const std::string& folder, const MessagePump& pump) {
    ArchiveResult result;
    result.archive = ArchivePathFor(folder);
    const std::wstring archive = WidenPath(result.archive);
    const DWORD present = GetFileAttributesW(archive.c_str());
    if (present != INVALID_FILE_ATTRIBUTES && (present & FILE_ATTRIBUTE_DIRECTORY)) {
        result.reason = "an seiner Stelle steht ein Verzeichnis gleichen Namens";
        return result;
    }

    TemporaryFile temporary(archive + L".tmp");
    FileHandle file(CreateFileW(temporary.path().c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        temporary.Kept();  // not ours: whatever stands there stays
        result.reason = "im Verzeichnis daneben kann keine Datei angelegt werden";
        return result;
    }
    FileSink sink(file.get());
    ZipWriter zip(sink, &ToOemName);
    FolderPacker packer(zip, pump, folder);
    switch (packer.Pack(WidenPath(folder), LastName(folder))) {
        case FolderPacker::Outcome::Stopped:
            result.cancelled = true;
            return result;
        case FolderPacker::Outcome::Failed:
            result.reason = packer.reason();
            return result;
        case FolderPacker::Outcome::Done:
            break;
    }
    if (!zip.Finish() || !sink.Flush() || !FlushFileBuffers(file.get())) {
        const DWORD error = GetLastError();
        result.reason = error == ERROR_DISK_FULL || error == ERROR_HANDLE_DISK_FULL
                            ? "der Datenträger ist voll"
                            : "beim Schreiben ist ein Fehler aufgetreten";
        return result;
    }
    file.reset();
    if (!MoveFileExW(temporary.path().c_str(), archive.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        result.reason = present != INVALID_FILE_ATTRIBUTES ? "die frühere Datei dieses Namens konnte nicht ersetzt werden"
                                                           : "die fertige Datei konnte nicht umbenannt werden";
        return result;
    }
    temporary.Kept();
    result.written = true;
    return result;
}

std::string ClosingText(const ExportResult& exported, const ArchiveResult& archive) {
    if (archive.written) return WithArchiveLine(exported.message, archive.archive);
    return WithArchiveFailure(exported.message, archive.archive, exported.folder, archive.reason);
}

}  // namespace vtx
