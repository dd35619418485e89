#include "export/virtual_store_win.h"

#include <windows.h>
#include <shlobj.h>

#include <vector>

#include "common/handles_win.h"
#include "common/unicode_win.h"
#include "export/attribute_mask.h"

namespace vtx {
namespace {

std::wstring FolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) return {};
    return path;
}

std::wstring Environment(const wchar_t* name) {
    wchar_t value[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, value, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(value, length) : std::wstring();
}

std::wstring WithoutTrailingBackslash(std::wstring path) {
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    return path;
}

// True when `path` is `folder` or lies below it, ignoring case.
bool LiesIn(const std::wstring& path, std::wstring folder) {
    folder = WithoutTrailingBackslash(std::move(folder));
    if (folder.empty() || path.size() < folder.size()) return false;
    if (CompareStringOrdinal(path.c_str(), static_cast<int>(folder.size()), folder.c_str(),
                             static_cast<int>(folder.size()), TRUE) != CSTR_EQUAL)
        return false;
    return path.size() == folder.size() || path[folder.size()] == L'\\';
}

// The folders whose writes Windows redirects into the VirtualStore. A 32-bit
// program sees "Program Files (x86)" as its Program Files; the 64-bit one comes
// from ProgramW6432.
std::vector<std::wstring> VirtualizedFolders() {
    return {FolderPath(CSIDL_PROGRAM_FILES), FolderPath(CSIDL_PROGRAM_FILESX86), Environment(L"ProgramW6432"),
            FolderPath(CSIDL_WINDOWS),       FolderPath(CSIDL_COMMON_APPDATA)};
}

long CountIn(const std::wstring& folder, int depth) {
    if (depth > 64) return 0;
    WIN32_FIND_DATAW data{};
    FindHandle search(FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                       nullptr, 0));
    if (!search) return 0;
    long files = 0;
    do {
        const std::wstring name = data.cFileName;
        if (name == L"." || name == L"..") continue;
        if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) files += CountIn(folder + L"\\" + name, depth + 1);
        } else if (MaskAccepts(data.dwFileAttributes, kExportAttributeMask)) {
            ++files;
        }
    } while (FindNextFileW(search.get(), &data));
    return files;
}

}  // namespace

long CountVirtualStoreFiles(const std::string& installDir) {
    const std::wstring install = WithoutTrailingBackslash(Widen(installDir));
    if (install.size() < 3 || install[1] != L':' || install[2] != L'\\') return 0;  // a drive path only
    bool virtualized = false;
    for (const std::wstring& folder : VirtualizedFolders()) virtualized = virtualized || LiesIn(install, folder);
    if (!virtualized) return 0;
    const std::wstring localAppData = WithoutTrailingBackslash(FolderPath(CSIDL_LOCAL_APPDATA));
    if (localAppData.empty()) return 0;
    return CountIn(localAppData + L"\\VirtualStore" + install.substr(2), 0);
}

}  // namespace vtx
