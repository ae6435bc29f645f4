#pragma once

#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "record/CurvePoint.h"

namespace vornex {

// Points waiting for their test file, in the order they were queued. Each run of points carries
// the file it belongs to, fixed when it was queued, so a change of test never redirects them.
class WriteQueue {
public:
    struct Batch {
        std::string path;
        std::vector<CurvePoint> points;
    };

    void push(const std::string& path, const CurvePoint* points, size_t count);

    // Everything queued, oldest first; the queue is left empty.
    std::deque<Batch> takeAll();

    // Returns batches that could not be written to the front, ahead of anything queued since.
    void putBack(std::deque<Batch> batches);

    size_t pointCount() const;
    // Points waiting for `path`.
    size_t pointCount(const std::string& path) const;

private:
    mutable std::mutex mutex_;
    std::deque<Batch> batches_;
    size_t points_ = 0;
};

}  // namespace vornex
