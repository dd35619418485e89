// What tells one folder from another whatever the spelling of its path (case,
// short names, doubled backslashes, "..", another drive letter for the same
// folder): the volume's serial number and the folder's file index.
#pragma once
#include <windows.h>

#include <optional>
#include <string>

namespace vtx {

struct FolderIdentity {
    DWORD volume = 0;
    DWORD indexHigh = 0;
    DWORD indexLow = 0;
    bool operator==(const FolderIdentity&) const = default;
};

// The identity of an existing file or folder; nothing when it cannot be read
// (missing, no access, "").
std::optional<FolderIdentity> IdentityOf(const std::string& path);

}  // namespace vtx
