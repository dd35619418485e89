#include "common/unicode_win.h"

#include <windows.h>

#include "common/long_path.h"

namespace vtx {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
    if (text.empty()) return {};
    const int length = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    if (length <= 0) return {};
    std::wstring result(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length);
    return result;
}

std::string FromWide(UINT codePage, std::wstring_view text) {
    if (text.empty()) return {};
    const int length = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
    if (length <= 0) return {};
    std::string result(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), result.data(), length, nullptr, nullptr);
    return result;
}

}  // namespace

std::wstring Widen(std::string_view utf8) { return ToWide(CP_UTF8, utf8); }
std::string Narrow(std::wstring_view wide) { return FromWide(CP_UTF8, wide); }
std::wstring WidenPath(std::string_view path) { return Widen(ExtendedPath(path)); }

std::string NarrowBuffer(const wchar_t* buffer, size_t capacity) {
    size_t length = 0;
    while (length < capacity && buffer[length] != L'\0') ++length;
    return Narrow(std::wstring_view(buffer, length));
}

std::string ToAnsi(std::string_view utf8) { return FromWide(CP_ACP, Widen(utf8)); }
std::string FromAnsi(std::string_view ansi) { return Narrow(ToWide(CP_ACP, ansi)); }

}  // namespace vtx
