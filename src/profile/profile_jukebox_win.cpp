#include "profile/profile_jukebox_win.h"

#include <windows.h>
#include <tlhelp32.h>

#include "common/handles_win.h"
#include "common/unicode_win.h"

namespace vtx {
namespace {

std::optional<std::string> ProcessPath(DWORD id) {
    KernelHandle process(OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    if (!process) return std::nullopt;
    std::wstring path(32768, L'\0');
    DWORD size = static_cast<DWORD>(path.size());
    if (!QueryFullProcessImageNameW(process.get(), 0, path.data(), &size)) return std::nullopt;
    path.resize(size);
    return Narrow(path);
}

}  // namespace

std::optional<std::vector<JukeboxProcess>> FindProcesses(const std::string& exeName) {
    FileHandle snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    if (!snapshot) return std::nullopt;
    const std::wstring wanted = Widen(exeName);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof(entry);
    std::vector<JukeboxProcess> found;
    for (BOOL more = Process32FirstW(snapshot.get(), &entry); more; more = Process32NextW(snapshot.get(), &entry)) {
        const int length = static_cast<int>(wcsnlen(entry.szExeFile, MAX_PATH));
        if (CompareStringOrdinal(entry.szExeFile, length, wanted.c_str(), static_cast<int>(wanted.size()), TRUE) !=
            CSTR_EQUAL)
            continue;
        found.push_back({entry.th32ProcessID, ProcessPath(entry.th32ProcessID)});
    }
    if (GetLastError() != ERROR_NO_MORE_FILES && found.empty()) return std::nullopt;
    return found;
}

}  // namespace vtx
