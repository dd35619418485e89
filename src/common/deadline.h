// Work that may never return (a stuck service, a dying disk) runs on a thread of
// its own, and its caller stops waiting for it at a deadline.
#pragma once
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <system_error>
#include <thread>
#include <type_traits>
#include <utility>

namespace vtx {

// How often the caller's `whileWaiting` runs while it waits: the pace of the
// window's messages during the walks.
inline constexpr std::chrono::milliseconds kDeadlineSlice{10};

// Runs `work` on a new thread and waits for it at most `limit`. Gives its value
// when it ends in time; std::nullopt when it does not, when it throws, or when no
// thread can be started. A limit of zero or less gives std::nullopt at once
// without starting `work`. While waiting, `whileWaiting` (if any) runs about every
// kDeadlineSlice on the caller's thread; a value that comes in meanwhile is kept
// even when `whileWaiting` itself took past the limit.
//
// A late worker is left to finish on its own (or to end with the process); its
// value is dropped and nobody waits for it. So `work` must own everything it
// touches: capture by value, share nothing, hand back a plain value. One that
// answered in time is joined before its value is given: a thread still on its way
// out when the process ends (right after the last probe of a command-line run)
// can crash the runtime's exit.
//
// Either way the worker's thread ends only after the caller has decided to join
// it or to let it go: mingw-w64's threads reuse the record of a thread detached
// after its end while that thread is still ending, and a worker started then may
// run without its work (seen as a crash under Wine with workers that end at once).
template <class Work>
auto RunWithDeadline(std::chrono::milliseconds limit, Work work, const std::function<void()>& whileWaiting = {})
    -> std::optional<std::invoke_result_t<Work&>> {
    using Value = std::invoke_result_t<Work&>;
    if (limit <= std::chrono::milliseconds::zero()) return std::nullopt;
    struct Shared {
        std::mutex mutex;
        std::condition_variable done;
        std::optional<Value> value;
        bool finished = false;
        bool decided = false;  // the caller joins the worker or has let it go
    };
    auto shared = std::make_shared<Shared>();
    std::thread worker;
    try {
        worker = std::thread([shared, work = std::move(work)]() mutable {
            std::optional<Value> value;
            try {
                value.emplace(work());
            } catch (...) {
            }
            std::unique_lock lock(shared->mutex);
            shared->value = std::move(value);
            shared->finished = true;
            shared->done.notify_all();
            shared->done.wait(lock, [&] { return shared->decided; });
        });
    } catch (const std::system_error&) {
        return std::nullopt;
    }
    // Decides on every way out (a late worker, a throwing whileWaiting) and tells
    // the worker, which may end from then on.
    struct Decision {
        Shared& shared;
        std::thread& worker;
        ~Decision() {
            std::unique_lock lock(shared.mutex);
            const bool answered = shared.finished;
            if (!answered) worker.detach();
            shared.decided = true;
            lock.unlock();
            shared.done.notify_all();
            if (answered) worker.join();
        }
    } decision{*shared, worker};

    const auto end = std::chrono::steady_clock::now() + limit;
    std::unique_lock lock(shared->mutex);
    while (!shared->finished) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= end) return std::nullopt;
        shared->done.wait_for(lock, std::min<std::chrono::steady_clock::duration>(end - now, kDeadlineSlice));
        if (whileWaiting && !shared->finished) {
            lock.unlock();
            whileWaiting();
            lock.lock();
        }
    }
    std::optional<Value> value = std::move(shared->value);
    lock.unlock();
    return value;
}

}  // namespace vtx
