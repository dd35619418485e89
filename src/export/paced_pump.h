// A message pump that lets the window's messages run at most once every few
// milliseconds. A walk calls its pump after every entry; fetching messages that
// often costs more than the walk itself on large trees, while the window only
// needs them a few dozen times a second to stay responsive. Portable.
#pragma once
#include <cstdint>
#include <functional>
#include <utility>

namespace vtx {

// How often the window's messages run during a walk, at most.
inline constexpr std::uint64_t kWindowPumpIntervalMs = 10;

class PacedPump {
public:
    using Pump = std::function<bool()>;
    using Clock = std::function<std::uint64_t()>;  // milliseconds, never going back

    PacedPump(Pump pump, Clock clock, std::uint64_t intervalMs)
        : pump_(std::move(pump)), clock_(std::move(clock)), intervalMs_(intervalMs) {}

    // Runs the pump when the interval has passed since its last run (the first call
    // always runs it). Once the pump has said stop, the answer stays false.
    bool operator()() {
        if (stopped_) return false;
        const std::uint64_t now = clock_();
        if (ran_ && now - lastRun_ < intervalMs_) return true;
        ran_ = true;
        lastRun_ = now;
        stopped_ = !pump_();
        return !stopped_;
    }

private:
    Pump pump_;
    Clock clock_;
    std::uint64_t intervalMs_;
    std::uint64_t lastRun_ = 0;
    bool ran_ = false;
    bool stopped_ = false;
};

}  // namespace vtx
