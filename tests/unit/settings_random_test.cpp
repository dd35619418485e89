#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "settings/random.h"

namespace vtx {
namespace {

// Seven significant digits, as the values are usually printed.
std::string Digits7(float value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.7g", static_cast<double>(value));
    return text;
}

std::vector<std::string> NextFive(PlatformRandom& random) {
    std::vector<std::string> values;
    for (int i = 0; i < 5; ++i) values.push_back(Digits7(random.NextRandom()));
    return values;
}

TEST(PlatformRandom, ReproducesTheKnownSequences) {
    struct Case {
        const char* label;
        bool restart;  // NextRandom(-1) first
        bool reseed;
        double seed;
        std::vector<std::string> expected;
    };
    const Case cases[] = {
        {"initial state", false, false, 0, {"0.7055475", "0.533424", "0.5795186", "0.2895625", "0.301948"}},
        {"Reseed(1)", true, true, 1, {"0.3335753", "0.06816387", "0.5938293", "0.7660395", "0.1892894"}},
        {"Reseed(32)", true, true, 32, {"0.5799132", "0.5791502", "0.3108703", "0.8649164", "0.1426585"}},
        {"Reseed(327680)", true, true, 327680, {"0.8827086", "0.733264", "0.661029", "0.3769404", "0.9190868"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.label);
        PlatformRandom random;
        if (c.restart) {
            EXPECT_EQ(Digits7(random.NextRandom(-1.0f)), "0.224007");
        }
        if (c.reseed) random.Reseed(c.seed);
        EXPECT_EQ(NextFive(random), c.expected);
    }
}

TEST(PlatformRandom, NegativeArgumentRestartsFromTheArgumentAlone) {
    PlatformRandom fresh;
    PlatformRandom used;
    for (int i = 0; i < 17; ++i) used.NextRandom();
    used.Reseed(12345.678);
    for (const float x : {-1.0f, -0.25f, -97.5f}) {
        SCOPED_TRACE(x);
        EXPECT_EQ(fresh.NextRandom(x), used.NextRandom(x));
        EXPECT_EQ(NextFive(fresh), NextFive(used));
    }
    EXPECT_NE(PlatformRandom().NextRandom(-1.0f), PlatformRandom().NextRandom(-2.0f));
}

TEST(PlatformRandom, ZeroRepeatsTheLastValueWithoutStepping) {
    PlatformRandom random;
    EXPECT_EQ(random.NextRandom(0.0f), 0x50000 / 16777216.0f);
    const float first = random.NextRandom();
    EXPECT_EQ(random.NextRandom(0.0f), first);
    EXPECT_EQ(random.NextRandom(-0.0f), first);
    EXPECT_EQ(Digits7(random.NextRandom()), "0.533424");  // the sequence went on undisturbed
}

TEST(PlatformRandom, ValuesStayInTheUnitInterval) {
    PlatformRandom random;
    random.Reseed(-1e300);
    for (int i = 0; i < 100000; ++i) {
        const float value = random.NextRandom(i % 1000 == 0 ? -static_cast<float>(i) : 1.0f);
        ASSERT_GE(value, 0.0f);
        ASSERT_LT(value, 1.0f);
    }
}

TEST(PlatformRandom, FreeFunctionsDriveTheOneProcessGenerator) {
    EXPECT_EQ(&ProcessRandom(), &ProcessRandom());
    const float restarted = NextRandom(-1.0f);
    Reseed(32);
    EXPECT_EQ(Digits7(restarted), "0.224007");
    EXPECT_EQ(Digits7(ProcessRandom().NextRandom()), "0.5799132");
    EXPECT_EQ(Digits7(NextRandom()), "0.5791502");
    EXPECT_EQ(NextRandom(0.0f), ProcessRandom().NextRandom(0.0f));
}

}  // namespace
}  // namespace vtx
