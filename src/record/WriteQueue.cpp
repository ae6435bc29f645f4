#include "record/WriteQueue.h"

#include <utility>

namespace vornex {

void WriteQueue::push(const std::string& path, const CurvePoint* points, size_t count) {
    if (count == 0)
        return;
    std::lock_guard<std::mutex> lock(mutex_);
    if (batches_.empty() || batches_.back().path != path)
        batches_.push_back(Batch{path, {}});
    auto& target = batches_.back().points;
    target.insert(target.end(), points, points + count);
    points_ += count;
}

std::deque<WriteQueue::Batch> WriteQueue::takeAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    points_ = 0;
    return std::exchange(batches_, {});
}

void WriteQueue::putBack(std::deque<Batch> batches) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = batches.rbegin(); it != batches.rend(); ++it) {
        points_ += it->points.size();
        batches_.push_front(std::move(*it));
    }
}

size_t WriteQueue::pointCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return points_;
}

size_t WriteQueue::pointCount(const std::string& path) const {
    std::lock_guard<std::mutex> lock(mutex_);
    size_t count = 0;
    for (const Batch& batch : batches_) {
        if (batch.path == path)
            count += batch.points.size();
    }
    return count;
}

}  // namespace vornex
