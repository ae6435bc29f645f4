#include "record/FileWriter.h"

#include <set>
#include <utility>

#include "record/TestFile.h"

namespace vornex {

FileWriter::FileWriter(WriteQueue& queue, AppendObserver& observer,
                       std::chrono::milliseconds period)
    : queue_(queue), observer_(observer), period_(period) {}

void FileWriter::stop() {
    if (!worker_)
        return;
    worker_->post([this] { appendAndReport(); });
    worker_.reset();
}

void FileWriter::start() {
    if (!worker_)
        worker_.emplace(period_, [this] {
            appendAndReport();
            return period_;
        });
}

void FileWriter::requestFlush(const std::string& closedPath) {
    start();
    if (!closedPath.empty()) {
        const std::lock_guard<std::mutex> lock(closedMutex_);
        closedPaths_.push_back(closedPath);
    }
    worker_->wake();
}

void FileWriter::appendAndReport() {
    std::vector<std::string> closed;
    {
        const std::lock_guard<std::mutex> lock(closedMutex_);
        closed.swap(closedPaths_);
    }
    flush();
    for (const std::string& path : closed)
        observer_.closedTestWritten(path, queue_.pointCount(path));
}

std::string FileWriter::failure(const std::string& path) {
    std::lock_guard<std::mutex> lock(appendMutex_);
    const auto found = failing_.find(path);
    return found == failing_.end() ? std::string() : found->second;
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
        if (failing_.insert_or_assign(batch.path, result.file.text).second)
            observer_.appendFailed(batch.path, result.file.text);
        unwritten.push_back(std::move(batch));
    }
    const bool emptied = unwritten.empty();
    if (!emptied)
        queue_.putBack(std::move(unwritten));
    return emptied;
}

}  // namespace vornex
