// UTF-16 text that comes as bytes (a file, a buffer a Windows function filled),
// decoded to UTF-8 without Windows. Portable.
#pragma once
#include <string>
#include <string_view>

namespace vtx {

// The UTF-16 code units in `bytes` (little endian unless `bigEndian`) as UTF-8.
// Unpaired surrogates become U+FFFD; an odd last byte is dropped.
std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian = false);

}  // namespace vtx
