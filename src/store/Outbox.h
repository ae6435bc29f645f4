#pragma once

#include <ctime>
#include <mutex>
#include <string>
#include <vector>

#include "store/StoreResult.h"

namespace vornex::store {

// What waits to be sent: a closed test or an ended (or abandoned) verification run.
struct OutboxItem {
    enum class Kind { Test, Run } kind = Kind::Test;
    std::string uuid;
    std::string path;        // the test file or the run file
    std::string bench;       // the bench that ran it (a run file does not say)
    std::string supersedes;  // the UUID under which the same run was queued before, if any
    std::time_t queued = 0;
    std::string file;  // the item's own file in the outbox
};

// An outbox file that cannot be taken as an item. It is left where it is and counts as waiting,
// until someone mends or removes it: the test or run it stood for may be nowhere else queued.
struct DamagedItem {
    enum class Damage { Unreadable, Empty, CutShort, UnknownKind, NoUuid } damage = Damage::Empty;
    std::string file;
    std::string detail;  // why it cannot be read, or the kind it names
};
// "FILE is empty" and the like, on one line.
std::string describe(const DamagedItem& damaged);

struct OutboxContents {
    std::vector<OutboxItem> items;  // oldest first
    std::vector<DamagedItem> damaged;

    size_t waiting() const { return items.size() + damaged.size(); }
};

// The store's outbox: one small file per waiting item in the home folder's Outbox/, written whole
// and synced before queue() returns, removed once the server has committed the item. A program
// that ends between the two sends the item again and the server keeps it once. Safe to use from
// several threads; several programs on one home folder only ever write distinct or equal items.
class Outbox {
public:
    // `home` ends in "/".
    explicit Outbox(const std::string& home);

    // Queues a closed test. A test whose companion file names no UUID (recorded before tests had
    // one) is given one now, written into its companion file.
    StoreResult queueTest(const std::string& testPath, const std::string& bench);
    // Queues a run file under a UUID of its contents: the same run queued twice is one item. A run
    // queued again after it went on supersedes what was queued of it before.
    StoreResult queueRun(const std::string& runPath, const std::string& bench);

    // What waits: the items, and the files named as items that cannot be read as one. Other files
    // are left alone. A test's id is the UUID its companion file holds, a run's the one its item
    // names, so that a copy of an item under another name is the same item.
    OutboxContents contents() const;
    std::vector<OutboxItem> items() const { return contents().items; }
    size_t count() const { return contents().waiting(); }
    // The server has the item: it no longer waits.
    void remove(const OutboxItem& item);

    const std::string& folder() const { return folder_; }
    // The home folder the outbox is in, ending in "/".
    const std::string& home() const { return home_; }

private:
    StoreResult write(const OutboxItem& item);
    // Where the UUID last queued for a run file is kept.
    std::string runRecord(const std::string& runPath) const;

    std::string home_;
    std::string folder_;
    mutable std::mutex mutex_;
};

}  // namespace vornex::store
