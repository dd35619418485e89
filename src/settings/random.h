// The process-wide pseudo-random generator the text cipher draws on. Its sequence
// is part of the settings file format: the cipher's keystream comes from it, so
// files written by the jukebox can be read only if this generator reproduces the
// jukebox's runtime generator exactly. Portable: no Windows headers.
#pragma once
#include <cstdint>

namespace vtx {

class PlatformRandom {
public:
    // Next value in [0, 1). x > 0 steps the sequence; x == 0 returns the last value
    // again without stepping; x < 0 first restarts the sequence from a state derived
    // from x alone (the same x always gives the same sequence) and then steps.
    float NextRandom(float x = 1.0f);
    // Mixes the upper half of n's double bit pattern into the current state.
    void Reseed(double n);

private:
    std::uint32_t state_ = 0x50000;  // 24 bits
};

// The one generator of this process.
PlatformRandom& ProcessRandom();

// NextRandom / Reseed on ProcessRandom().
float NextRandom(float x = 1.0f);
void Reseed(double n);

}  // namespace vtx
