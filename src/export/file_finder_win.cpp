#include "export/file_finder_win.h"

#include <windows.h>

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

bool ForEachFile(const std::string& folder, const std::string& pattern, unsigned mask,
                 const std::function<void(const std::string& path)>& fileFound, const MessagePump& pump) {
    WIN32_FIND_DATAW data;
    FindHandle find = StartSearch(folder + pattern, data);
    if (!find) return true;
    for (;;) {
        if (MaskAccepts(data.dwFileAttributes, mask) && !IsDotEntry(data.cFileName)) {
            FoundPath = folder + Narrow(data.cFileName);
            fileFound(FoundPath);
        }
        // The next entry is fetched first; the pump runs after every entry, the
        // last one included.
        const bool more = FindNextFileW(find.get(), &data) != FALSE;
        if (!pump()) return false;
        if (!more) return true;
    }
}

bool ForEachFolder(const std::string& path, const std::function<bool(const std::string& folder)>& folderFound,
                   const MessagePump& pump) {
    const bool enter = folderFound(path);
    if (!pump()) return false;
    if (!enter) return true;

    std::string parent = path;
    if (parent.empty() || parent.back() != '\\') parent.push_back('\\');
    WIN32_FIND_DATAW data;
    FindHandle find = StartSearch(parent + "*.*", data);
    if (!find) return true;
    do {
        const DWORD attributes = data.dwFileAttributes;
        if (!(attributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(data.cFileName)) continue;
        const std::string subfolder = parent + Narrow(data.cFileName);
        if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) {
            // A linked folder: reported like any other, its target left alone.
            folderFound(subfolder);
            if (!pump()) return false;
            continue;
        }
        if (!ForEachFolder(subfolder, folderFound, pump)) return false;
    } while (FindNextFileW(find.get(), &data));
    return true;
}

}  // namespace vtx
