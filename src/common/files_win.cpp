#include "common/files_win.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <exception>
#include <optional>
#include <string_view>

#include "common/handles_win.h"
#include "common/long_path.h"
#include "common/strings.h"
#include "common/unicode_win.h"

namespace vtx {
namespace {

// The attribute bits a search filters on: hidden (2), system (4), directory (16).
constexpr DWORD kFilterBits = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_DIRECTORY;
// Counting takes hidden and system entries too (attributes 6).
constexpr DWORD kCountAttributes = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
// The volume-label bit (8), which the headers no longer name.
constexpr DWORD kVolumeLabel = 8;

// The wide extended form of a UTF-8 path (see ExtendedPath); nothing for a text that
// cannot name a file (one holding a NUL would otherwise silently name a shorter
// path).
std::optional<std::wstring> WidePath(std::string_view path) {
    if (path.find('\0') != std::string_view::npos) return std::nullopt;
    return WidenPath(path);
}

// folder + "\" + name, without doubling a backslash the folder already ends with.
std::wstring Join(const std::wstring& folder, std::wstring_view name) {
    std::wstring result = folder;
    if (result.empty() || result.back() != L'\\') result.push_back(L'\\');
    result.append(name);
    return result;
}

DWORD Attributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool IsDirectory(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// A directory that is a junction or symbolic link: it is removed or counted as an
// entry of its folder but never entered, so a tree walk cannot leave the tree or
// run around a cycle.
bool IsLink(const WIN32_FIND_DATAW& data) { return (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0; }

enum class Walk { Done, Stopped, Failed };

// The single enumeration behind GetDirEntries, CountFiles and DeleteDirectory.
// Searches `search` (folder + "\" + pattern) and hands every entry to `take` whose
// hidden/system/directory bits all lie within `wanted` (ordinary files always do);
// in folders mode only directories are handed over. "." and ".." never are. `take`
// returns false to stop the walk early.
// Done: the search ran to its end (an empty result included). Failed: the search
// could not start or broke off with an error; entries handed over before stay.
template <typename Take>
Walk WalkEntries(const std::wstring& search, DWORD wanted, bool foldersOnly, Take&& take) {
    if (foldersOnly) wanted |= FILE_ATTRIBUTE_DIRECTORY;
    WIN32_FIND_DATAW data;
    FindHandle find(FindFirstFileW(search.c_str(), &data));
    if (!find) {
        const DWORD error = GetLastError();
        return error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES ? Walk::Done : Walk::Failed;
    }
    do {
        if (IsDotEntry(data.cFileName)) continue;
        if ((data.dwFileAttributes & kFilterBits & ~wanted) != 0) continue;
        if (foldersOnly && !(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) continue;
        if (!take(data)) return Walk::Stopped;
    } while (FindNextFileW(find.get(), &data));
    return GetLastError() == ERROR_NO_MORE_FILES ? Walk::Done : Walk::Failed;
}

void CountFilesIn(const std::wstring& folder, const std::wstring& filePattern, long& fileCounter, bool recurse,
                  const std::wstring& folderPattern, long& folderCounter) {
    // Only a recursion needs the subfolders' names; they are entered after the search
    // of this folder is closed, so the open find handles never pile up.
    std::vector<std::wstring> subfolders;
    const auto countFolder = [&](const WIN32_FIND_DATAW& data) {
        ++folderCounter;
        if (recurse && !IsLink(data)) subfolders.emplace_back(data.cFileName);
        return true;
    };
    if (filePattern == folderPattern) {
        // One search finds both (the report's "*.*"): a large folder is read once.
        WalkEntries(Join(folder, filePattern), kCountAttributes | FILE_ATTRIBUTE_DIRECTORY, false,
                    [&](const WIN32_FIND_DATAW& data) {
                        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return countFolder(data);
                        ++fileCounter;
                        return true;
                    });
    } else {
        WalkEntries(Join(folder, filePattern), kCountAttributes, false, [&](const WIN32_FIND_DATAW&) {
            ++fileCounter;
            return true;
        });
        WalkEntries(Join(folder, folderPattern), kCountAttributes, true, countFolder);
    }
    for (const std::wstring& name : subfolders)
        CountFilesIn(Join(folder, name), filePattern, fileCounter, recurse, folderPattern, folderCounter);
}

bool DeleteTree(const std::wstring& folder) {
    const std::wstring search = Join(folder, L"*.*");
    for (;;) {
        // A subfolder found: it is deleted with the search closed, and then this
        // folder is searched again from the beginning. Each new round follows a
        // subfolder that was really removed, so the rounds come to an end.
        std::wstring subfolder;
        bool subfolderIsLink = false;
        bool fileFailed = false;
        // Asking for the directory attribute alone: ordinary files and subfolders,
        // never hidden or system entries.
        const Walk walk = WalkEntries(search, FILE_ATTRIBUTE_DIRECTORY, false, [&](const WIN32_FIND_DATAW& data) {
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                subfolder = data.cFileName;
                subfolderIsLink = IsLink(data);
                return false;
            }
            if (!DeleteFileW(Join(folder, data.cFileName).c_str())) {
                fileFailed = true;
                return false;
            }
            return true;
        });
        if (fileFailed || walk == Walk::Failed) return false;
        if (walk == Walk::Done) break;

        const std::wstring path = Join(folder, subfolder);
        // A linked folder is removed as the link alone: its target lies outside the tree.
        if (subfolderIsLink ? !RemoveDirectoryW(path.c_str()) : !DeleteTree(path)) return false;
    }
    return RemoveDirectoryW(folder.c_str()) != 0;
}

}  // namespace

bool FileExists(const std::string& path) {
    try {
        if (path.empty()) return false;
        const auto wide = WidePath(path);
        if (!wide) return false;
        const DWORD attributes = Attributes(*wide);
        return attributes != INVALID_FILE_ATTRIBUTES &&
               (attributes & (FILE_ATTRIBUTE_DIRECTORY | kVolumeLabel)) == 0;  // AND 24
    } catch (const std::exception&) {
        return false;
    }
}

bool DirExists(const std::string& path) {
    try {
        if (path.empty()) return false;
        const auto wide = WidePath(path);
        return wide && IsDirectory(Attributes(*wide));
    } catch (const std::exception&) {
        return false;
    }
}

bool CreatePath(const std::string& path) {
    if (path.empty()) return false;  // names no folder; "\" would be the current drive's root
    // The levels of the resolved path: "C:\\a\\..\\b" makes C:\\b alone.
    std::string folder = ResolvedPath(path);
    if (folder.back() != '\\') folder.push_back('\\');
    if (DirExists(folder)) return true;

    const std::vector<std::string> levels = CreatePathLevels(folder);
    // Nothing that can be created (a missing drive root, a bare server name, a single
    // relative name) and the folder is not there: that is no success.
    if (levels.empty()) return false;
    for (const std::string& level : levels) {
        if (DirExists(level)) continue;
        const auto wide = WidePath(level);
        if (!wide) return false;
        // Another process may have made the level in the meantime; a file of that
        // name makes the creation fail and is no folder.
        if (!CreateDirectoryW(wide->c_str(), nullptr) && !DirExists(level)) return false;
    }
    return true;
}

bool GetDirEntries(const std::string& folder, const std::string& pattern, std::vector<std::string>& entries,
                   bool foldersOnly, unsigned attributes) {
    entries.assign(1, std::string());
    try {
        // "" names no folder; it would list the root of the current drive.
        if (folder.empty()) return false;
        const auto wideFolder = WidePath(folder);
        const auto widePattern = WidePath(pattern);
        if (!wideFolder || !widePattern) return false;

        std::vector<std::string> taken;
        WalkEntries(Join(*wideFolder, *widePattern), attributes & kFilterBits, foldersOnly,
                    [&](const WIN32_FIND_DATAW& data) {
                        taken.push_back(Narrow(data.cFileName));
                        return true;
                    });
        if (taken.empty()) return false;
        entries = std::move(taken);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

long CountFiles(const std::string& folder, const std::string& filePattern, long& fileCounter, bool recurse,
                const std::string& folderPattern, long& folderCounter) {
    if (folder.empty()) return fileCounter;  // names no folder (see GetDirEntries)
    const auto wideFolder = WidePath(folder);
    const auto wideFiles = WidePath(filePattern);
    const auto wideFolders = WidePath(folderPattern);
    if (wideFolder && wideFiles && wideFolders)
        CountFilesIn(*wideFolder, *wideFiles, fileCounter, recurse, *wideFolders, folderCounter);
    return fileCounter;
}

long CountLines(const std::string& path) {
    if (!FileExists(path)) return 0;
    const auto wide = WidePath(path);
    if (!wide) return 0;
    FileHandle file(CreateFileW(wide->c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return 0;

    LineCounter counter;
    std::string buffer(64 * 1024, '\0');
    for (;;) {
        DWORD got = 0;
        if (!ReadFile(file.get(), buffer.data(), static_cast<DWORD>(buffer.size()), &got, nullptr)) return 0;
        if (got == 0) break;
        counter.Feed(std::string_view(buffer.data(), got));
    }
    return counter.Finish();
}

bool IsAdmin() { return IsUserAnAdmin() != FALSE; }

bool DeleteDirectory(const std::string& path) {
    // Never empty a whole drive or share, however the path spells it ("C:\\a\\..").
    if (IsRootFolder(ResolvedPath(path))) return false;
    const auto wide = WidePath(path);
    return wide && DeleteTree(*wide);
}

std::string KnownFolderPath(const GUID& id) {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
    std::string folder = SUCCEEDED(result) && path ? Narrow(path) : std::string();
    CoTaskMemFree(path);
    return folder;
}

}  // namespace vtx
