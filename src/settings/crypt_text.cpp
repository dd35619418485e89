#include "settings/crypt_text.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace vtx {
namespace {

constexpr int kCodeBase = 59;  // ';', the lowest character Stretch writes

}  // namespace

void clsCryptText::KeyString(const std::string& key) {
    key_ = key;
    Seed();
}

void clsCryptText::Seed() {
    PlatformRandom& random = *random_;
    random.Reseed(random.NextRandom(-1.0f));
    for (const char ch : key_) {
        const float r = random.NextRandom();
        // The product of a float and a byte is exact in double; it is rounded to
        // single precision once, the same on every floating-point unit.
        const float x = static_cast<float>(-static_cast<double>(r) * static_cast<unsigned char>(ch));
        random.Reseed(random.NextRandom(x));
    }
}

void clsCryptText::CryptMitXOR() {
    for (char& ch : text_) {
        // NextRandom() * 256 is exact, so floor gives 0..255.
        const auto key = static_cast<unsigned>(std::floor(random_->NextRandom() * 256.0f));
        ch = static_cast<char>(static_cast<unsigned char>(ch) ^ key);
    }
}

void clsCryptText::Stretch() {
    const std::size_t n = text_.size();
    std::string out;
    out.reserve(n + (n + 2) / 3);
    unsigned top = 0;  // top bits of the current group of 3
    for (std::size_t k = 1; k <= n; ++k) {
        const unsigned c = static_cast<unsigned char>(text_[k - 1]);
        out += static_cast<char>((c & 63) + kCodeBase);
        switch (k % 3) {
            case 1: top |= (c / 64) * 16; break;
            case 2: top |= (c / 64) * 4; break;
            default:
                top |= c / 64;
                out += static_cast<char>(top + kCodeBase);
                top = 0;
                break;
        }
    }
    // A short last group keeps its top bits where a full group has them.
    if (n % 3 != 0) out += static_cast<char>(top + kCodeBase);
    text_ = std::move(out);
}

void clsCryptText::DoCd() {
    const auto length = static_cast<long long>(text_.size());
    // Integer division truncates towards zero: an empty input gives -1, no output.
    const long long outLength = (length - 1) - (length - 1) / 4;
    if (outLength <= 0) {
        text_.clear();
        return;
    }
    // The input comes from the file and may be anything. A character whose
    // operation would fail (its position lies beyond the input, or the resulting
    // code is outside 0..255) is skipped and stays a blank; decoding goes on with
    // the next character. Nothing is ever read outside the input.
    auto codeAt = [&](long long position) -> int {  // 1-based; -1 when outside
        if (position < 1 || position > length) return -1;
        return static_cast<unsigned char>(text_[static_cast<std::size_t>(position - 1)]);
    };
    std::string out(static_cast<std::size_t>(outLength), ' ');
    long long in = 0;         // position of the character with the low bits
    long long topAt = 0;      // position of the character with the top bits
    int topChar = 0;          // its code - kCodeBase
    for (long long k = 1; k <= outLength; ++k) {
        ++in;
        const int lowCode = codeAt(in);
        int top = 0;
        switch (k % 3) {
            case 1: {
                topAt = std::min(topAt + 4, length);
                const int code = codeAt(topAt);
                if (code >= 0) topChar = code - kCodeBase;
                top = ((topChar / 16) & 3) * 64;
                break;
            }
            case 2: top = ((topChar / 4) & 3) * 64; break;
            default:
                top = (topChar & 3) * 64;
                ++in;  // skip the top-bits character
                break;
        }
        if (lowCode < 0) continue;
        const int value = (lowCode - kCodeBase) | top;
        if (value < 0 || value > 255) continue;
        out[static_cast<std::size_t>(k - 1)] = static_cast<char>(value);
    }
    text_ = std::move(out);
}

}  // namespace vtx
