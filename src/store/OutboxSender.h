#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "store/Outbox.h"
#include "store/PgConnection.h"

namespace vornex::store {

// One pass over the outbox: every waiting item sent in turn, each removed once the server holds
// it. The pass ends early when the server cannot be reached, and when `interrupt` is interrupted:
// the statement under way is then cancelled and what was not sent stays in the outbox.
struct DrainPass {
    size_t sent = 0;
    size_t left = 0;  // the damaged items too
    bool unreachable = false;
    bool interrupted = false;
    std::string error;  // the last failure of the pass, empty when none
    std::vector<DamagedItem> damaged;
};
DrainPass drainOutbox(Outbox& outbox, const std::string& conninfo,
                      PgInterrupt* interrupt = nullptr);

// The longest a statement of a pass may run. The longest a bench sends is a test file's insert,
// 24 bytes a reading: an hour of 30 instruments read 20 times a second is 52 MB, seconds on a
// lab's network. A minute is only reached by a statement the server does not get to (a table
// locked, a server that stopped), which the next pass sends again.
constexpr int kStatementSeconds = 60;

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

// What the status bar shows of the store.
struct OutboxStatus {
    size_t waiting = 0;     // the damaged items too
    std::string lastError;  // stays until a pass sends everything
    std::vector<DamagedItem> damaged;
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
