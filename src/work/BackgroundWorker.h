#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace vornex {

// One thread of its own that runs the jobs posted to it one at a time, in the order posted, and,
// when it has a tick, runs that too whenever it is woken and once the wait the tick asked for has
// passed. The owner ends it by destroying it: from then on stopping() holds, pauses end at once
// and the tick no longer runs; every job posted before still runs, so that each can tell its
// caller it was stopped, and the destructor returns once the last has. Nothing here knows of an
// event loop: a job hands its answer on as its owner asks.
class BackgroundWorker {
public:
    using Job = std::function<void()>;
    // Does one round and says how long to wait for the next unless woken sooner.
    using Tick = std::function<std::chrono::milliseconds()>;

    BackgroundWorker();
    // The tick's first round comes once `firstWait` has passed, or when woken sooner.
    BackgroundWorker(std::chrono::milliseconds firstWait, Tick tick);
    ~BackgroundWorker();
    BackgroundWorker(const BackgroundWorker&) = delete;
    BackgroundWorker& operator=(const BackgroundWorker&) = delete;

    // Refused once the worker stops.
    void post(Job job);
    // The tick's next round comes as soon as the jobs waiting have run, whatever its wait.
    void wake();
    // Asks the thread to end, as the destructor does, without waiting for it.
    void stop();
    bool stopping() const { return stopping_.load(); }
    // The same, for work that polls a flag of its own.
    const std::atomic<bool>& stopFlag() const { return stopping_; }
    // For the job under way: waits until `until`; false as soon as the worker stops.
    bool pauseUntil(std::chrono::steady_clock::time_point until);

private:
    void run();

    const Tick tick_;
    std::mutex mutex_;
    std::condition_variable changed_;
    std::deque<Job> jobs_;
    bool woken_ = false;
    std::chrono::steady_clock::time_point due_;
    std::atomic<bool> stopping_{false};
    std::thread thread_;
};

}  // namespace vornex
