// A probe of the system profile that may block, run under a deadline. Portable.
#pragma once
#include <chrono>
#include <functional>
#include <utility>

#include "common/deadline.h"
#include "profile/system_profile.h"

namespace vtx {

// Runs `work` (which returns facts with an `outcome`) on a worker thread for at
// most `limit`. Without an answer the facts are `unanswered` with the outcome
// TimedOut when the deadline passed, Failed when the worker could not run or threw.
// `whileWaiting` (if any) runs meanwhile on the caller's thread (see RunWithDeadline).
template <class Facts, class Work>
Facts ProbeWithDeadline(std::chrono::milliseconds limit, Work work, Facts unanswered = {},
                        const std::function<void()>& whileWaiting = {}) {
    const auto start = std::chrono::steady_clock::now();
    if (auto facts = RunWithDeadline(limit, std::move(work), whileWaiting)) return std::move(*facts);
    unanswered.outcome =
        std::chrono::steady_clock::now() - start >= limit ? ProbeOutcome::TimedOut : ProbeOutcome::Failed;
    return unanswered;
}

}  // namespace vtx
