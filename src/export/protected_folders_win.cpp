#include "export/protected_folders_win.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "common/files_win.h"
#include "common/handles_win.h"
#include "common/long_path.h"
#include "common/strings.h"
#include "common/unicode_win.h"

namespace vtx {
namespace {


std::string EnvironmentValue(const wchar_t* name) {
    wchar_t buffer[MAX_PATH] = {};
    const DWORD length = GetEnvironmentVariableW(name, buffer, MAX_PATH);
    return length > 0 && length < MAX_PATH ? Narrow(std::wstring_view(buffer, length)) : std::string();
}

std::string Expanded(const std::wstring& text) {
    wchar_t buffer[1024] = {};
    const DWORD length = ExpandEnvironmentStringsW(text.c_str(), buffer, 1024);
    return length > 0 && length <= 1024 ? NarrowBuffer(buffer, 1024) : std::string();
}

// Every profile folder the machine knows, wherever it lies.
std::vector<std::string> ProfileFolders() {
    std::vector<std::string> folders;
    RegKey list;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList", 0,
                      KEY_READ, list.put()) != ERROR_SUCCESS)
        return folders;
    for (DWORD index = 0; index < 1000; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256;
        if (RegEnumKeyExW(list.get(), index, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        wchar_t value[1024] = {};
        DWORD size = sizeof value - sizeof(wchar_t);
        if (RegGetValueW(list.get(), name, L"ProfileImagePath", RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                         nullptr, value, &size) == ERROR_SUCCESS)
            folders.push_back(Expanded(value));
    }
    return folders;
}

// The root of the volume `folder` lies on ("C:\", "\\server\share\", a mounted
// folder); "" when it cannot be told.
std::string VolumeRootOf(const std::string& folder) {
    wchar_t root[MAX_PATH + 1] = {};
    if (!GetVolumePathNameW(Widen(folder).c_str(), root, MAX_PATH + 1)) return {};
    return NarrowBuffer(root, MAX_PATH + 1);
}

bool IsShare(const std::string& path) { return path.size() > 2 && path[0] == '\\' && path[1] == '\\'; }

}  // namespace

ProtectedFolders::ProtectedFolders() {
    const auto add = [this](ProtectedFolder kind, const std::string& folder) {
        if (folder.empty()) return;
        if (const auto identity = IdentityOf(folder)) known_.push_back({kind, *identity});
    };
    add(ProtectedFolder::Windows, KnownFolderPath(FOLDERID_Windows));
    add(ProtectedFolder::ProgramFiles, KnownFolderPath(FOLDERID_ProgramFiles));
    add(ProtectedFolder::ProgramFiles, KnownFolderPath(FOLDERID_ProgramFilesX86));
    // A 32-bit program on 64-bit Windows is told Program Files (x86) for both; the
    // other one it finds in the environment.
    add(ProtectedFolder::ProgramFiles, KnownFolderPath(FOLDERID_ProgramFilesX64));
    add(ProtectedFolder::ProgramFiles, EnvironmentValue(L"ProgramW6432"));
    add(ProtectedFolder::ProgramData, KnownFolderPath(FOLDERID_ProgramData));
    add(ProtectedFolder::Users, KnownFolderPath(FOLDERID_UserProfiles));
    users_ = IdentityOf(KnownFolderPath(FOLDERID_UserProfiles));
    for (const std::string& profile : ProfileFolders())
        if (const auto identity = IdentityOf(profile)) profiles_.push_back(*identity);
    if (const auto identity = IdentityOf(KnownFolderPath(FOLDERID_Profile))) profiles_.push_back(*identity);
}

const ProtectedFolders& ProtectedFolders::OfThisMachine() {
    static const ProtectedFolders folders;
    return folders;
}

ProtectedFolder ProtectedFolders::Classify(const std::string& folder) const {
    const std::string resolved = ResolvedPath(folder);
    if (IsRootFolder(resolved)) return IsShare(resolved) ? ProtectedFolder::ShareRoot : ProtectedFolder::DriveRoot;
    const auto identity = IdentityOf(resolved);
    if (!identity) return ProtectedFolder::None;

    const std::string volumeRoot = VolumeRootOf(resolved);
    if (!volumeRoot.empty() && IdentityOf(volumeRoot) == identity)
        return IsShare(volumeRoot) ? ProtectedFolder::ShareRoot : ProtectedFolder::DriveRoot;
    for (const Known& known : known_)
        if (known.identity == *identity) return known.kind;
    for (const FolderIdentity& profile : profiles_)
        if (profile == *identity) return ProtectedFolder::UserProfile;
    // Any folder right inside the Users folder is a profile (Public and Default
    // among them).
    const std::string parent = GetParentPath(resolved);
    if (users_ && !parent.empty() && IdentityOf(parent) == users_) return ProtectedFolder::UserProfile;
    return ProtectedFolder::None;
}

bool ProtectedFolders::IsVirtualized(const std::string& folder) const {
    for (std::string level = ResolvedPath(folder); !IsRootFolder(level); level = GetParentPath(level)) {
        const auto identity = IdentityOf(level);
        if (!identity) continue;
        for (const Known& known : known_)
            if (known.identity == *identity &&
                (known.kind == ProtectedFolder::ProgramFiles || known.kind == ProtectedFolder::Windows ||
                 known.kind == ProtectedFolder::ProgramData))
                return true;
    }
    return false;
}

}  // namespace vtx
