// How a probe that may never return waits for its work: its share of a deadline
// budget common to the probes of one report, and what runs on the caller's thread
// meanwhile (the window's messages).
#pragma once
#include <algorithm>
#include <chrono>
#include <functional>

namespace vtx {

// A span of time that several waits share, from its construction on.
class DeadlineBudget {
public:
    explicit DeadlineBudget(std::chrono::milliseconds total) : end_(std::chrono::steady_clock::now() + total) {}

    // The smaller of `own` and what is left of the budget; zero once it is spent.
    std::chrono::milliseconds Limit(std::chrono::milliseconds own) const {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(end_ - std::chrono::steady_clock::now());
        return std::max(std::chrono::milliseconds::zero(), std::min(left, own));
    }

private:
    std::chrono::steady_clock::time_point end_;
};

struct ProbeWait {
    // Shared with the other probes of the same report; none: each probe waits for
    // its own deadline only.
    const DeadlineBudget* budget = nullptr;
    // Runs on the caller's thread while it waits (see RunWithDeadline).
    std::function<void()> whileWaiting;

    std::chrono::milliseconds Limit(std::chrono::milliseconds own) const { return budget ? budget->Limit(own) : own; }
};

}  // namespace vtx
