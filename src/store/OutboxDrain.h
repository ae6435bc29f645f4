#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "store/Outbox.h"
#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// One pass over the outbox: every waiting item sent in turn, each removed once the server holds
// it. The pass ends early when the server cannot be reached, and when `interrupt` is interrupted:
// the statement under way is then cancelled and what was not sent stays in the outbox.
struct DrainPass {
    size_t sent = 0;
    size_t left = 0;     // the damaged items too
    StoreResult result;  // the last failure of the pass
    std::vector<DamagedItem> damaged;
};
DrainPass drainOutbox(Outbox& outbox, const std::string& conninfo,
                      PgInterrupt* interrupt = nullptr);

// The longest a statement of a pass may run. The longest a bench sends is a test file's insert,
// 24 bytes a reading: an hour of 30 instruments read 20 times a second is 52 MB, seconds on a
// lab's network. A minute is only reached by a statement the server does not get to (a table
// locked, a server that stopped), which the next pass sends again.
constexpr int kStatementSeconds = 60;

// What the status bar shows of the store.
struct OutboxStatus {
    size_t waiting = 0;       // the damaged items too
    StoreResult lastFailure;  // stays until a pass sends everything
    std::vector<DamagedItem> damaged;

    // What `pass` found.
    void take(const DrainPass& pass);
};

}  // namespace vornex::store
