#include "e2e/driver_drive_win.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "common/handles_win.h"
#include "common/unicode_win.h"

namespace vtx::testing {
namespace {

// Wine's request to define or remove a drive: a unix folder follows the record.
struct UnixDriveRequest {
    ULONG size;
    ULONG type;
    ULONG fsType;
    DWORD serial;
    ULONGLONG unixDevice;
    WCHAR letter;
    USHORT mountPointOffset;
    USHORT deviceOffset;
    USHORT labelOffset;
};
constexpr DWORD kDefineUnixDrive = CTL_CODE(0x6D, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

bool SendToMountManager(const std::vector<char>& request) {
    FileHandle manager(CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                   FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr));
    DWORD returned = 0;
    return manager && DeviceIoControl(manager.get(), kDefineUnixDrive, const_cast<char*>(request.data()),
                                      static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr);
}

std::vector<char> Request(char letter, UINT type, const std::string& unixFolder) {
    std::vector<char> bytes(sizeof(UnixDriveRequest) + (unixFolder.empty() ? 0 : unixFolder.size() + 1), '\0');
    UnixDriveRequest request{};
    request.size = static_cast<ULONG>(bytes.size());
    request.type = type;
    request.letter = static_cast<WCHAR>(letter);
    if (!unixFolder.empty()) {
        request.mountPointOffset = sizeof(UnixDriveRequest);
        std::memcpy(bytes.data() + sizeof request, unixFolder.c_str(), unixFolder.size() + 1);
    }
    std::memcpy(bytes.data(), &request, sizeof request);
    return bytes;
}

// The unix path Wine keeps a Windows path at.
std::string UnixPathOf(const std::string& path) {
    using Convert = char*(__cdecl*)(const wchar_t*);
    const auto convert = reinterpret_cast<Convert>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (!convert) return {};
    char* unix = convert(Widen(path).c_str());
    if (!unix) return {};
    std::string result = unix;
    HeapFree(GetProcessHeap(), 0, unix);
    return result;
}

}  // namespace

TemporaryDrive::TemporaryDrive(char letter, const std::string& folder) : letter_(letter) {
    const std::string unix = UnixPathOf(folder);
    mapped_ = !unix.empty() && SendToMountManager(Request(letter, DRIVE_FIXED, unix));
}

void TemporaryDrive::Remove() {
    if (mapped_) SendToMountManager(Request(letter_, DRIVE_NO_ROOT_DIR, ""));
    mapped_ = false;
}

}  // namespace vtx::testing
