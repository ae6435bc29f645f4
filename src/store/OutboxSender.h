#pragma once

#include <chrono>
#include <functional>
#include <string>

#include "store/Outbox.h"
#include "store/OutboxDrain.h"
#include "store/PgConnection.h"
#include "work/BackgroundWorker.h"

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
    // `bench` names the register lines it sends after each pass (empty: the login's bench).
    OutboxSender(Outbox& outbox, std::string conninfo,
                 std::function<void(const OutboxStatus&)> changed, std::string bench = {});
    // Cancels the statement under way (an item it has not heard acknowledged waits for the next
    // program) and joins.
    ~OutboxSender();
    OutboxSender(const OutboxSender&) = delete;
    OutboxSender& operator=(const OutboxSender&) = delete;

    // Something was queued: a pass starts now, whatever the back-off.
    void wake();

private:
    // One pass, told to `changed`; the wait until the next one unless woken sooner.
    std::chrono::milliseconds pass();

    Outbox& outbox_;
    std::string conninfo_;
    std::string bench_;
    std::function<void(const OutboxStatus&)> changed_;
    PgInterrupt interrupt_;
    Backoff backoff_;          // the worker's
    OutboxStatus status_;      // the worker's
    BackgroundWorker worker_;  // last: it ends first, before what its passes use
};

}  // namespace vornex::store
