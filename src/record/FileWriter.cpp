#include "record/FileWriter.h"

#include "record/TestFile.h"

namespace vornex {

FileWriter::FileWriter(WriteQueue& queue, RecordingObserver& observer,
                       std::chrono::milliseconds period)
    : queue_(queue), observer_(observer), period_(period) {}

void FileWriter::stop() {
    if (!thread_.joinable())
        return;
    {
        std::lock_guard<std::mutex> lock(wakeMutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    stopping_ = false;
}

void FileWriter::start() {
    if (!thread_.joinable())
        thread_ = std::thread(&FileWriter::run, this);
}

void FileWriter::run() {
    std::unique_lock<std::mutex> lock(wakeMutex_);
    while (!wake_.wait_for(lock, period_, [this] { return stopping_; })) {
        lock.unlock();
        flush();
        lock.lock();
    }
}

bool FileWriter::flush() {
    std::lock_guard<std::mutex> lock(appendMutex_);
    auto batches = queue_.takeAll();
    if (batches.empty())
        return true;
    std::deque<WriteQueue::Batch> unwritten;
    std::set<std::string> failedNow;
    for (auto& batch : batches) {
        // Once a file fails, its later points wait too, so they never overtake the failed ones.
        if (failedNow.count(batch.path) != 0) {
            unwritten.push_back(std::move(batch));
            continue;
        }
        const AppendResult result =
            TestFile(batch.path).append(batch.points.data(), batch.points.size());
        if (result.ok()) {
            if (failing_.erase(batch.path) != 0)
                observer_.appendRecovered(batch.path);
            continue;
        }
        batch.points.erase(batch.points.begin(),
                           batch.points.begin() + static_cast<std::ptrdiff_t>(result.written));
        failedNow.insert(batch.path);
        if (failing_.insert(batch.path).second)
            observer_.appendFailed(batch.path, result.error);
        unwritten.push_back(std::move(batch));
    }
    const bool emptied = unwritten.empty();
    if (!emptied)
        queue_.putBack(std::move(unwritten));
    return emptied;
}

}  // namespace vornex
