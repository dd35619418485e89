#include "export/folder_identity_win.h"

#include "common/handles_win.h"
#include "common/unicode_win.h"

namespace vtx {

std::optional<FolderIdentity> IdentityOf(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
    FileHandle handle(CreateFileW(WidenPath(path).c_str(), FILE_READ_ATTRIBUTES,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                  FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    BY_HANDLE_FILE_INFORMATION info{};
    if (!handle || !GetFileInformationByHandle(handle.get(), &info)) return std::nullopt;
    return FolderIdentity{info.dwVolumeSerialNumber, info.nFileIndexHigh, info.nFileIndexLow};
}

}  // namespace vtx
