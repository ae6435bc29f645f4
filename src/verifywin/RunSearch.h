#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "verify/Reference.h"

namespace vornex {

// A run file found for a station: where it is, its tool and when it started.
struct FoundRun {
    std::string path;
    std::string toolId;
    std::string started;  // "YYYY-MM-DDThh:mm:ss"
};

// The runs of one instrument in a verification folder, newest first.
struct FoundRuns {
    std::vector<FoundRun> unfinished;  // to resume
    std::vector<FoundRun> ended;       // with their result (not abandoned), for a certificate
};

// Reads every run file under `folder` (its day folders too) and keeps those bound to `reference`:
// a run is offered only on the instrument it began on. Files that are no run are passed over.
// Gives up, with what it found so far, once `stop` is set.
FoundRuns findRuns(const std::string& folder, const verify::Reference& reference,
                   const std::atomic<bool>& stop);

// findRuns on a thread of its own, the answer handed to `done` on `receiver`'s thread (the
// interface thread) through its event queue. A search started again, or the searcher destroyed,
// gives the one under way up: its answer never comes, and destroying waits only for the file
// being read.
class RunSearch {
public:
    using Done = std::function<void(const FoundRuns&)>;

    explicit RunSearch(QObject& receiver) : receiver_(receiver) {}
    ~RunSearch();
    RunSearch(const RunSearch&) = delete;
    RunSearch& operator=(const RunSearch&) = delete;

    void start(const std::string& folder, const verify::Reference& reference, Done done);
    // A search is under way: its answer has not come yet.
    bool searching() const { return searching_; }

private:
    void stop();

    QObject& receiver_;
    std::thread thread_;
    std::shared_ptr<std::atomic<bool>> stop_;
    bool searching_ = false;
};

}  // namespace vornex
