#include "common/utf16_text.h"

#include <cstdint>

namespace vtx {
namespace {

void AppendUtf8(std::string& out, std::uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

std::string Utf16BytesToUtf8(std::string_view bytes, bool bigEndian) {
    const size_t units = bytes.size() / 2;
    const auto unit = [&](size_t i) -> std::uint32_t {
        const auto first = static_cast<unsigned char>(bytes[2 * i]), second = static_cast<unsigned char>(bytes[2 * i + 1]);
        return bigEndian ? (first << 8 | second) : (second << 8 | first);
    };
    std::string out;
    out.reserve(units);
    for (size_t i = 0; i < units; ++i) {
        const std::uint32_t code = unit(i);
        if (code >= 0xD800 && code < 0xDC00 && i + 1 < units) {
            const std::uint32_t low = unit(i + 1);
            if (low >= 0xDC00 && low < 0xE000) {
                AppendUtf8(out, 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00));
                ++i;
                continue;
            }
        }
        AppendUtf8(out, code >= 0xD800 && code < 0xE000 ? 0xFFFD : code);
    }
    return out;
}

}  // namespace vtx
