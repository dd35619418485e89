#include "export/file_finder_win.h"

#include <windows.h>

#include <vector>

#include "common/handles_win.h"
#include "export/paced_pump.h"
#include "common/unicode_win.h"

namespace vtx {

std::string FoundPath;

namespace {

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == L'\0' || (name[1] == L'.' && name[2] == L'\0'));
}

// A text holding a NUL would name a shorter path than it shows: such a search finds
// nothing.
FindHandle StartSearch(const std::string& search, WIN32_FIND_DATAW& data) {
    if (search.find('\0') != std::string::npos) return FindHandle();
    return FindHandle(FindFirstFileW(WidenPath(search).c_str(), &data));
}

}  // namespace

bool PumpPendingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            // The main loop must still see it; until then every later call finds it
            // again and answers false.
            PostQuitMessage(static_cast<int>(message.wParam));
            return false;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return true;
}

MessagePump WindowMessagePump() { return PacedPump(&PumpPendingMessages, &GetTickCount64, kWindowPumpIntervalMs); }

bool NoMessagePump() { return true; }

namespace {

struct Subfolder {
    std::wstring name;
    bool linked;
};

bool WalkFolder(const std::string& path, bool root, bool linked, unsigned fileMask,
                const std::function<bool(const WalkedFolder& folder)>& folderFound,
                const std::function<void(const std::string& path)>& fileFound, const MessagePump& pump) {
    const bool read = folderFound(WalkedFolder{path, root, linked});
    if (!pump()) return false;
    if (!read) return true;

    // Files are named by the folder's text and a backslash, as a caller that maps
    // paths by their beginning expects; subfolders get no doubled backslash.
    const std::string filePrefix = path + "\\";
    std::string parent = path;
    if (parent.empty() || parent.back() != '\\') parent.push_back('\\');
    // One search yields the files and the subfolders; the subfolders are walked
    // after the files, when the search is closed again.
    std::vector<Subfolder> subfolders;
    {
        WIN32_FIND_DATAW data;
        FindHandle find = StartSearch(parent + "*", data);
        if (!find) return true;
        for (;;) {
            const DWORD attributes = data.dwFileAttributes;
            if (!IsDotEntry(data.cFileName)) {
                if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
                    // A linked folder is read for its files, never below them.
                    if (!linked) subfolders.push_back({data.cFileName, (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0});
                } else if (MaskAccepts(attributes, fileMask)) {
                    FoundPath = filePrefix + Narrow(data.cFileName);
                    fileFound(FoundPath);
                }
            }
            // The next entry is fetched first; the pump runs after every entry, the
            // last one included.
            const bool more = FindNextFileW(find.get(), &data) != FALSE;
            if (!pump()) return false;
            if (!more) break;
        }
    }
    for (const Subfolder& subfolder : subfolders)
        if (!WalkFolder(parent + Narrow(subfolder.name), false, subfolder.linked, fileMask, folderFound, fileFound,
                        pump))
            return false;
    return true;
}

}  // namespace

bool WalkTree(const std::string& root, unsigned fileMask,
              const std::function<bool(const WalkedFolder& folder)>& folderFound,
              const std::function<void(const std::string& path)>& fileFound, const MessagePump& pump) {
    return WalkFolder(root, true, false, fileMask, folderFound, fileFound, pump);
}

}  // namespace vtx
