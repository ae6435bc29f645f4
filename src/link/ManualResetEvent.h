#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace vornex {

// An event that stays set until it is reset; every waiter wakes once it is set.
class ManualResetEvent {
public:
    explicit ManualResetEvent(bool set) : set_(set) {}

    void set() {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            set_ = true;
        }
        changed_.notify_all();
    }

    void reset() {
        std::lock_guard<std::mutex> lock(mutex_);
        set_ = false;
    }

    bool isSet() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return set_;
    }

    void wait() const {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return set_; });
    }

    bool waitFor(std::chrono::milliseconds timeout) const {
        std::unique_lock<std::mutex> lock(mutex_);
        return changed_.wait_for(lock, timeout, [this] { return set_; });
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    bool set_;
};

}  // namespace vornex
