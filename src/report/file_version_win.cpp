#include "report/file_version_win.h"

#include <windows.h>

#include <vector>

#include "common/unicode_win.h"
#include "report/file_version.h"

namespace vtx {

std::string GetFileVersionString(const std::string& path) {
    if (path.empty()) return "";
    const std::wstring widePath = Widen(path);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(widePath.c_str(), &ignored);
    if (size == 0) return "";
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoW(widePath.c_str(), 0, size, block.data())) return "";
    void* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(block.data(), L"\\", &fixed, &length) || fixed == nullptr || length < sizeof(VS_FIXEDFILEINFO))
        return "";
    VS_FIXEDFILEINFO record;
    CopyMemory(&record, fixed, sizeof record);
    if (record.dwSignature != VS_FFI_SIGNATURE) return "";
    return FormatFileVersion(record.dwFileVersionMS, record.dwFileVersionLS);
}

}  // namespace vtx
