#pragma once

#include <QObject>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "verify/RunFinder.h"

namespace vornex {

// findRuns on a thread of its own, the answer handed to `done` on `receiver`'s thread (the
// interface thread) through its event queue. A search started again, or the searcher destroyed,
// gives the one under way up: its answer never comes, and destroying waits only for the file
// being read.
class RunSearch {
public:
    using Done = std::function<void(const verify::FoundRuns&)>;

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
