#include "sound/mci_win.h"

#include <windows.h>
#include <mmsystem.h>

#include "common/unicode_win.h"

namespace vtx {

std::string SendMciCommand(std::string_view command, std::size_t returnLength) {
    const std::wstring wide = Widen(command);
    if (returnLength == 0) {
        mciSendStringW(wide.c_str(), nullptr, 0, nullptr);
        return {};
    }
    std::wstring reply(returnLength, L'\0');
    mciSendStringW(wide.c_str(), reply.data(), static_cast<UINT>(reply.size()), nullptr);
    return NarrowBuffer(reply.data(), reply.size());
}

std::string ShortPathOf(const std::string& longPath) {
    // A buffer of 255 characters, all NUL; the text before the first NUL is the
    // short path, "" when the call fails or the short path does not fit.
    std::wstring buffer(255, L'\0');
    const DWORD length = GetShortPathNameW(Widen(longPath).c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size()) return {};
    return NarrowBuffer(buffer.data(), buffer.size());
}

void ProcessWaitingMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

MciPlatform WindowsMciPlatform() { return {&SendMciCommand, &ShortPathOf, &ProcessWaitingMessages}; }

}  // namespace vtx
