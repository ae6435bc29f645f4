#pragma once

#include <string>

#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::verify {
struct StoredRun;
}

namespace vornex::store {

// What became of one test or run sent to the store.
struct Sending {
    enum class Outcome { Stored, AlreadyStored, Failed } outcome = Outcome::Failed;
    // Why it failed: Unreachable when the server went away, anything else is the item's.
    StoreResult result;

    bool sent() const { return outcome != Outcome::Failed; }
};

// Each goes in one transaction keyed by its UUID: sent again, it is stored once. The files are read
// as they are on disk; a test file whose hash differs from the one its companion recorded at its
// close is not sent.
Sending sendTest(PgConnection& connection, const std::string& uuid, const std::string& path);
// `bench` is the name of the bench that ran it: a run file does not hold it. `supersedes` names
// the row of the same run sent before it went on, or is empty.
Sending sendRun(PgConnection& connection, const std::string& uuid, const std::string& path,
                const std::string& bench, const std::string& supersedes = std::string());

// The word a stored test's result is: pass, low, high, fail (low and high ones), none (no judged
// pull); a run's: pass, fail, abandoned.
std::string testResultWord(size_t pass, size_t low, size_t high);
std::string runResultWord(const verify::StoredRun& run);

// Local "yyyy-MM-dd HH:mm:ss" (or with a "T") as an ISO 8601 time with the zone's offset, as the
// server's timestamptz takes it; empty when it is no such time.
std::string localTimeForServer(const std::string& local);

}  // namespace vornex::store
