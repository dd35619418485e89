#include "app/console_win.h"

#include <algorithm>

#include "common/unicode_win.h"

namespace vtx {
namespace {

bool Usable(HANDLE handle) {
    return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

// `text` with every line ended by CR LF: a lone LF becomes CR LF, a last line
// without end gets one.
std::string AsLines(std::string_view text) {
    std::string lines;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) lines += '\r';
        lines += text[i];
    }
    if (lines.size() < 2 || lines.compare(lines.size() - 2, 2, "\r\n") != 0) lines += "\r\n";
    return lines;
}

}  // namespace

StandardStreams::StandardStreams() {
    HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!Usable(output) || !Usable(error)) {
        // Attaching fails with ERROR_ACCESS_DENIED when the process already shares
        // its parent's console (as under Wine); the console is there all the same.
        AttachConsole(ATTACH_PARENT_PROCESS);
        console_.reset(CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                   nullptr, OPEN_EXISTING, 0, nullptr));
        if (console_) {
            if (!Usable(output)) output = console_.get();
            if (!Usable(error)) error = console_.get();
        }
    }
    DWORD mode = 0;
    if (Usable(output)) output_ = {output, GetConsoleMode(output, &mode) != FALSE};
    if (Usable(error)) error_ = {error, GetConsoleMode(error, &mode) != FALSE};
}

bool StandardStreams::Write(const Stream& stream, std::string_view text) {
    if (!stream.handle) return false;
    if (stream.console) {
        const std::wstring wide = Widen(text);
        for (size_t done = 0; done < wide.size();) {
            DWORD written = 0;
            const DWORD chunk = static_cast<DWORD>(std::min<size_t>(wide.size() - done, 16384));
            if (!WriteConsoleW(stream.handle, wide.data() + done, chunk, &written, nullptr) || written == 0)
                return false;
            done += written;
        }
        return true;
    }
    return WriteAll(stream.handle, ToAnsi(text));
}

int StandardErrorPrompts::Message(HWND, const std::string& text, const std::string& title, UINT flags) {
    streams_.WriteError(AsLines(title.empty() ? text : title + " " + text));
    switch (flags & MB_TYPEMASK) {
        case MB_OK: return IDOK;
        case MB_YESNO:
        case MB_YESNOCANCEL: return IDNO;
        default: return IDCANCEL;
    }
}

}  // namespace vtx
