// UTF-8 test texts as the UTF-16 bytes Windows writes, for the parsers of files
// and buffers in UTF-16.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vtx::testing {

// `utf8` (well formed) as UTF-16 code units, little endian unless `bigEndian`.
inline std::string Utf16Bytes(std::string_view utf8, bool bigEndian = false) {
    std::string out;
    const auto unit = [&](std::uint32_t u) {
        const char low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
        out += bigEndian ? high : low;
        out += bigEndian ? low : high;
    };
    for (size_t i = 0; i < utf8.size();) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        std::uint32_t code = c;
        size_t length = 1;
        if (c >= 0xF0) code = c & 0x07, length = 4;
        else if (c >= 0xE0) code = c & 0x0F, length = 3;
        else if (c >= 0xC0) code = c & 0x1F, length = 2;
        for (size_t k = 1; k < length; ++k) code = code << 6 | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        i += length;
        if (code >= 0x10000) {
            unit(0xD800 + ((code - 0x10000) >> 10));
            unit(0xDC00 + ((code - 0x10000) & 0x3FF));
        } else {
            unit(code);
        }
    }
    return out;
}

}  // namespace vtx::testing
