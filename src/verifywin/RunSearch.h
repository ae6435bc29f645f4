#pragma once

#include <QObject>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "verify/RunFinder.h"
#include "work/BackgroundWorker.h"

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
    // Whether the search under way was given up: set and read on the receiver's thread only.
    std::shared_ptr<bool> givenUp_;
    bool searching_ = false;
    std::optional<BackgroundWorker> worker_;
};

}  // namespace vornex
