#pragma once

#include <deque>
#include <mutex>
#include <vector>

#include "link/Sample.h"

namespace vornex {

// Unbounded FIFO between the recording's sink on the acquisition thread (push) and the recorder
// (drain). Never cleared: samples left when a recording stops are consumed when the next one
// starts.
class SampleQueue {
public:
    void push(const Sample& sample) {
        std::lock_guard<std::mutex> lock(mutex_);
        samples_.push_back(sample);
    }

    // Moves every queued sample, in order, to the end of `out`; returns how many.
    size_t drainInto(std::vector<Sample>& out) {
        std::lock_guard<std::mutex> lock(mutex_);
        const size_t n = samples_.size();
        out.insert(out.end(), samples_.begin(), samples_.end());
        samples_.clear();
        return n;
    }

    size_t size() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return samples_.size();
    }

private:
    mutable std::mutex mutex_;
    std::deque<Sample> samples_;
};

}  // namespace vornex
