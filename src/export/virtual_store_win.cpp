#include "export/virtual_store_win.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include "common/files_win.h"
#include "common/long_path.h"
#include "common/unicode_win.h"
#include "export/attribute_mask.h"
#include "export/file_finder_win.h"
#include "export/protected_folders_win.h"

namespace vtx {
namespace {


// The long spelling of an existing path (short 8.3 names expanded), resolved and
// without the extended prefix; the resolved path when it cannot be read.
std::string LongSpelling(const std::string& path) {
    const std::string resolved = ResolvedPath(path);
    // The extended form only where it is needed: not every system expands short
    // names behind the prefix.
    const std::wstring wide = resolved.size() < MAX_PATH ? Widen(resolved) : WidenPath(resolved);
    const DWORD size = GetLongPathNameW(wide.c_str(), nullptr, 0);
    if (size == 0) return resolved;
    std::wstring buffer(size, L'\0');
    const DWORD length = GetLongPathNameW(wide.c_str(), buffer.data(), size);
    if (length == 0 || length >= size) return resolved;
    buffer.resize(length);
    std::string spelled = Narrow(buffer);
    if (spelled.starts_with("\\\\?\\")) spelled.erase(0, 4);
    return spelled;
}

}  // namespace

std::string VirtualStoreFolder(const std::string& installDir) {
    if (installDir.empty() || installDir.find('\0') != std::string::npos) return {};
    std::string spelled = LongSpelling(installDir);
    while (spelled.size() > 3 && spelled.back() == '\\') spelled.pop_back();
    // Only drive paths are redirected: C:\... becomes VirtualStore\....
    if (spelled.size() < 4 || spelled[1] != ':' || spelled[2] != '\\') return {};
    const std::string local = KnownFolderPath(FOLDERID_LocalAppData);
    if (local.empty()) return {};
    // A protected folder itself is never walked, nor is its VirtualStore.
    const ProtectedFolders& protectedFolders = ProtectedFolders::OfThisMachine();
    if (protectedFolders.Classify(spelled) != ProtectedFolder::None || !protectedFolders.IsVirtualized(spelled))
        return {};
    return local + "\\VirtualStore" + spelled.substr(2);
}

long CountVirtualStoreFiles(const std::string& installDir) {
    const std::string store = VirtualStoreFolder(installDir);
    if (store.empty()) return 0;
    long files = 0;
    WalkTree(
        store, kExportAttributeMask, [](const WalkedFolder&) { return true; }, [&](const std::string&) { ++files; },
        &NoMessagePump);
    return files;
}

}  // namespace vtx
