#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "store/Outbox.h"
#include "store/OutboxDrain.h"
#include "store/PgConnection.h"

namespace vornex::store {

// Waits between passes that left something: 1 s, doubling to 60 s; back to 1 s after a pass that
// had nothing to fail.
class Backoff {
public:
    static constexpr std::chrono::seconds kFirst{1};
    static constexpr std::chrono::seconds kLongest{60};

    std::chrono::seconds next() {
        const std::chrono::seconds wait = wait_;
        wait_ = std::min(wait_ * 2, kLongest);
        return wait;
    }
    void reset() { wait_ = kFirst; }

private:
    std::chrono::seconds wait_ = kFirst;
};

// The one background sender of a program: drains the outbox whenever something is queued, and
// again with back-off while items are left, so that recording never waits for the network.
// `changed` is called on the sender's thread after every pass.
class OutboxSender {
public:
    OutboxSender(Outbox& outbox, std::string conninfo,
                 std::function<void(const OutboxStatus&)> changed);
    // Cancels the statement under way (an item it has not heard acknowledged waits for the next
    // program) and joins.
    ~OutboxSender();
    OutboxSender(const OutboxSender&) = delete;
    OutboxSender& operator=(const OutboxSender&) = delete;

    // Something was queued: a pass starts now, whatever the back-off.
    void wake();

private:
    void run();

    Outbox& outbox_;
    std::string conninfo_;
    std::function<void(const OutboxStatus&)> changed_;
    PgInterrupt interrupt_;
    std::mutex mutex_;
    std::condition_variable cv_;
    bool woken_ = true;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace vornex::store
