#include "settings/settings_reset_win.h"

#include <windows.h>

#include "common/directories.h"
#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "settings/init_dbase_win.h"

namespace vtx {
namespace {

// The whole file, read as the jukebox may be holding it open; false when it
// cannot be read.
bool ReadWhole(const std::wstring& path, std::string& bytes) {
    FileHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > (1LL << 30)) return false;
    bytes.assign(static_cast<size_t>(size.QuadPart), '\0');
    size_t done = 0;
    while (done < bytes.size()) {
        DWORD got = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - done, 1u << 20));
        if (!ReadFile(file.get(), bytes.data() + done, chunk, &got, nullptr) || got == 0) return false;
        done += got;
    }
    // Nothing more than the size said (the file grew meanwhile): read again later.
    char extra = 0;
    DWORD got = 0;
    return ReadFile(file.get(), &extra, 1, &got, nullptr) && got == 0;
}

enum class Written { Done, NameTaken, Failed };

// Writes `bytes` to the new file `path`, never over an existing one, and reads it
// back; a file that was begun but does not hold the bytes is removed again.
Written WriteNewCopy(const std::wstring& path, const std::string& bytes) {
    {
        FileHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return GetLastError() == ERROR_FILE_EXISTS || GetLastError() == ERROR_ALREADY_EXISTS
                              ? Written::NameTaken
                              : Written::Failed;
        if (!WriteAll(file.get(), bytes) || !FlushFileBuffers(file.get())) {
            file.reset();
            DeleteFileW(path.c_str());
            return Written::Failed;
        }
    }
    std::string back;
    if (ReadWhole(path, back) && back == bytes) return Written::Done;
    DeleteFileW(path.c_str());
    return Written::Failed;
}

LocalDateTime Now() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// The copy of `settings` in DataDir; "" when none could be made.
std::string KeepCopy(const std::string& settings) {
    std::string bytes;
    if (!ReadWhole(WidenPath(settings), bytes)) return {};
    const LocalDateTime now = Now();
    for (int attempt = 1; attempt <= 100; ++attempt) {
        const std::string backup = DataDir + "\\" + SettingsBackupName(now, attempt);
        switch (WriteNewCopy(WidenPath(backup), bytes)) {
            case Written::Done: return backup;
            case Written::NameTaken: continue;
            case Written::Failed: return {};
        }
    }
    return {};
}

}  // namespace

ResetOutcome DeleteSettingsFile() {
    const std::string path = DataDir + "\\Init.vtx";
    if (!FileExists(path)) return {ResetResult::NotPresent, {}};
    const std::string backup = KeepCopy(path);
    if (backup.empty()) return {ResetResult::BackupFailed, {}};
    if (!DeleteFileW(WidenPath(path).c_str())) {
        // The settings stay as they were; so does the folder.
        DeleteFileW(WidenPath(backup).c_str());
        return {ResetResult::Failed, {}};
    }
    InvalidateDb();
    return {ResetResult::Deleted, backup};
}

std::string ResetFailedText(const std::string& path) {
    return "Die Einstellungen konnten nicht zurückgesetzt werden: Die Datei " + path +
           " konnte nicht gelöscht werden.\n\nBitte schließen Sie die Velatrix-Tunes und versuchen Sie es erneut.";
}

}  // namespace vtx
