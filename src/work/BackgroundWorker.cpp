#include "work/BackgroundWorker.h"

#include <utility>

namespace vornex {

BackgroundWorker::BackgroundWorker() : thread_([this] { run(); }) {}

BackgroundWorker::BackgroundWorker(std::chrono::milliseconds firstWait, Tick tick)
    : tick_(std::move(tick)),
      due_(std::chrono::steady_clock::now() + firstWait),
      thread_([this] { run(); }) {}

BackgroundWorker::~BackgroundWorker() {
    stop();
    thread_.join();
}

void BackgroundWorker::post(Job job) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_)
            return;
        jobs_.push_back(std::move(job));
    }
    changed_.notify_one();
}

void BackgroundWorker::wake() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        woken_ = true;
    }
    changed_.notify_one();
}

void BackgroundWorker::stop() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_one();
}

bool BackgroundWorker::pauseUntil(std::chrono::steady_clock::time_point until) {
    std::unique_lock<std::mutex> lock(mutex_);
    return !changed_.wait_until(lock, until, [this] { return stopping_.load(); });
}

void BackgroundWorker::run() {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto ready = [this] { return stopping_ || !jobs_.empty() || (tick_ && woken_); };
    for (;;) {
        if (!tick_)
            changed_.wait(lock, ready);
        else if (!changed_.wait_until(lock, due_, ready))
            woken_ = true;
        if (!jobs_.empty()) {
            Job job = std::move(jobs_.front());
            jobs_.pop_front();
            lock.unlock();
            job();
            job = nullptr;
            lock.lock();
            continue;
        }
        if (stopping_)
            return;
        woken_ = false;
        lock.unlock();
        const std::chrono::milliseconds wait = tick_();
        lock.lock();
        due_ = std::chrono::steady_clock::now() + wait;
    }
}

}  // namespace vornex
