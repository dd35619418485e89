// Text at the Windows boundary. Inside the program every text is UTF-8 in
// std::string; calls into Windows use the wide API and convert at the call.
// Files whose format is ANSI (the settings file, VTX.log) use the ANSI code page.
#pragma once
#include <string>
#include <string_view>

namespace vtx {

// UTF-8 -> UTF-16 for a ...W call. Invalid UTF-8 sequences become U+FFFD.
std::wstring Widen(std::string_view utf8);
// UTF-16 -> UTF-8. Unpaired surrogates become U+FFFD.
std::string Narrow(std::wstring_view wide);
// The wide extended form of a path for a file-system call (see ExtendedPath):
// Widen(ExtendedPath(path)).
std::wstring WidenPath(std::string_view path);
// A wide buffer filled by Windows, cut at its first NUL.
std::string NarrowBuffer(const wchar_t* buffer, size_t capacity);

// UTF-8 -> bytes in the ANSI code page (CP_ACP); characters the code page lacks
// become the code page's default character.
std::string ToAnsi(std::string_view utf8);
// Bytes in the ANSI code page -> UTF-8.
std::string FromAnsi(std::string_view ansi);

}  // namespace vtx
