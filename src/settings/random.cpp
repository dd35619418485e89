#include "settings/random.h"

#include <bit>

namespace vtx {
namespace {

constexpr std::uint32_t kStateMask = 0xFFFFFF;
constexpr float kStateRange = 16777216.0f;  // 2^24

}  // namespace

float PlatformRandom::NextRandom(float x) {
    if (x != 0.0f) {  // NaN steps like a positive argument
        if (x < 0.0f) {
            const std::uint32_t bits = std::bit_cast<std::uint32_t>(x);
            state_ = (bits + (bits >> 24)) & kStateMask;
        }
        state_ = (state_ * 0x43FD43FDu + 0xC39EC3u) & kStateMask;
    }
    // state_ < 2^24, so the quotient is exact in single precision.
    return static_cast<float>(state_) / kStateRange;
}

void PlatformRandom::Reseed(double n) {
    const auto high = static_cast<std::uint32_t>(std::bit_cast<std::uint64_t>(n) >> 32);
    state_ = ((((high & 0xFFFFu) << 8) ^ ((high >> 8) & 0xFFFF00u)) | (state_ & 0xFF0000FFu)) & kStateMask;
}

PlatformRandom& ProcessRandom() {
    static PlatformRandom random;
    return random;
}

float NextRandom(float x) { return ProcessRandom().NextRandom(x); }
void Reseed(double n) { ProcessRandom().Reseed(n); }

}  // namespace vtx
