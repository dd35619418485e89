#include "export/paced_pump.h"

#include <gtest/gtest.h>

namespace vtx {
namespace {

TEST(PacedPump, RunsThePumpOncePerIntervalAndKeepsAStop) {
    std::uint64_t now = 1000;
    int runs = 0;
    bool answer = true;
    PacedPump pump([&] { ++runs; return answer; }, [&] { return now; }, 20);

    EXPECT_TRUE(pump());  // the first call runs it
    EXPECT_EQ(runs, 1);
    now += 19;
    EXPECT_TRUE(pump());  // too early: not run
    EXPECT_EQ(runs, 1);
    now += 1;
    EXPECT_TRUE(pump());
    EXPECT_EQ(runs, 2);

    // The pump says stop: from then on every call answers false without running it.
    answer = false;
    now += 20;
    EXPECT_FALSE(pump());
    answer = true;
    now += 100;
    EXPECT_FALSE(pump());
    EXPECT_FALSE(pump());
    EXPECT_EQ(runs, 3);
}

}  // namespace
}  // namespace vtx
