#include "common/deadline.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>

#include "common/probe_wait.h"

namespace vtx {
namespace {

using namespace std::chrono_literals;

// Work that blocks until the test opens the gate, and tells when it has ended.
// Every test opens its gates before it ends, so no worker is left blocked.
struct Gate {
    std::promise<void> open;
    std::shared_future<void> opened = open.get_future().share();
    std::promise<void> endedSignal;
    std::future<void> ended = endedSignal.get_future();

    // A work for RunWithDeadline: waits for the gate, then gives `value`.
    static auto Work(const std::shared_ptr<Gate>& gate, std::string value) {
        return [gate, value] {
            gate->opened.wait();
            gate->endedSignal.set_value();
            return value;
        };
    }
    // Opens the gate and waits until the work has returned.
    bool Release() {
        open.set_value();
        return ended.wait_for(10s) == std::future_status::ready;
    }
};

TEST(RunWithDeadline, KeepsTheValueOfWorkThatEndsInTime) {
    // At once, and after a few rounds of waiting: the gate is opened from the
    // caller's thread while it waits.
    EXPECT_EQ(RunWithDeadline(10s, [] { return std::string("sofort"); }), "sofort");

    auto gate = std::make_shared<Gate>();
    const std::thread::id caller = std::this_thread::get_id();
    int rounds = 0;
    bool elsewhere = false;
    const auto whileWaiting = [&] {
        elsewhere = elsewhere || std::this_thread::get_id() != caller;
        if (++rounds == 3) gate->open.set_value();
    };
    EXPECT_EQ(RunWithDeadline(10s, Gate::Work(gate, "nach drei Runden"), whileWaiting), "nach drei Runden");
    EXPECT_GE(rounds, 3);
    EXPECT_FALSE(elsewhere) << "whileWaiting ran on another thread";
    EXPECT_EQ(gate->ended.wait_for(10s), std::future_status::ready);
}

TEST(RunWithDeadline, StopsWaitingForWorkThatNeverReturns) {
    auto gate = std::make_shared<Gate>();
    int rounds = 0;
    const auto start = std::chrono::steady_clock::now();
    const std::optional<std::string> value = RunWithDeadline(50ms, Gate::Work(gate, "nie"), [&] { ++rounds; });
    const auto waited = std::chrono::steady_clock::now() - start;
    EXPECT_FALSE(value.has_value());
    EXPECT_GE(waited, 50ms);  // not before the deadline
    EXPECT_GE(rounds, 1);
    // Still blocked after the caller has gone on; the test lets it go.
    EXPECT_EQ(gate->ended.wait_for(0s), std::future_status::timeout);
    EXPECT_TRUE(gate->Release());
}

TEST(RunWithDeadline, DropsTheValueOfWorkThatReturnsLate) {
    auto gate = std::make_shared<Gate>();
    EXPECT_FALSE(RunWithDeadline(20ms, Gate::Work(gate, "zu spät")).has_value());
    // The late worker ends on its own; the next call is not disturbed by it.
    EXPECT_TRUE(gate->Release());
    EXPECT_EQ(RunWithDeadline(10s, [] { return 42; }), 42);
}

TEST(RunWithDeadline, FailsWithoutWaitingForThrowingWorkOrASpentLimit) {
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(RunWithDeadline(10s, []() -> int { throw std::runtime_error("kaputt"); }).has_value());
    EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);

    // No time left: the work is not even started.
    for (const auto limit : {0ms, -5ms}) {
        std::atomic<bool> started = false;
        EXPECT_FALSE(RunWithDeadline(limit, [&started] { return started = true; }).has_value());
        EXPECT_FALSE(started);
    }
}

TEST(RunWithDeadline, WorkThatEndsAtOnceAgainAndAgain) {
    // A worker that is done before its thread could be let go of, many times over
    // (a probe whose service answers "not implemented" at once): every value
    // arrives, and no later worker is started without its work.
    std::atomic<int> arrived = 0;
    const auto rounds = [&arrived] {
        for (int round = 0; round < 1000; ++round)
            if (RunWithDeadline(10s, [round] { return round; }) == round) ++arrived;
    };
    std::thread a(rounds), b(rounds), c(rounds);
    rounds();
    a.join();
    b.join();
    c.join();
    EXPECT_EQ(arrived, 4000);
}

TEST(DeadlineBudget, GivesEachWaitTheSmallerOfItsOwnDeadlineAndWhatIsLeft) {
    const DeadlineBudget plenty(1h), spent(0ms), tenSeconds(10s);
    EXPECT_EQ(plenty.Limit(3s), 3s);
    EXPECT_EQ(spent.Limit(3s), 0ms);
    const std::chrono::milliseconds left = tenSeconds.Limit(1h);
    EXPECT_LE(left, 10s);
    EXPECT_GT(left, 5s);

    // A probe without a budget has its own deadline; with a spent one it fails at
    // once.
    EXPECT_EQ(ProbeWait{}.Limit(3s), 3s);
    const ProbeWait late{&spent, {}};
    EXPECT_EQ(late.Limit(3s), 0ms);
    EXPECT_FALSE(RunWithDeadline(late.Limit(3s), [] { return 1; }).has_value());
}

}  // namespace
}  // namespace vtx
