#include "TransactionLog.h"

#include <algorithm>

namespace vornex::sim {

TransactionLog::~TransactionLog() {
    if (file_)
        std::fclose(file_);
}

bool TransactionLog::openFile(const std::string& path) {
    std::FILE* file = std::fopen(path.c_str(), "a");
    if (!file)
        return false;
    std::lock_guard<std::mutex> lock(mutex_);
    if (file_)
        std::fclose(file_);
    file_ = file;
    return true;
}

void TransactionLog::append(const Transaction& t) {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.push_back(t);
    if (file_) {
        std::fprintf(file_, "%s\n", t.toLine().c_str());
        std::fflush(file_);
    }
}

std::vector<Transaction> TransactionLog::entries() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_;
}

std::size_t TransactionLog::size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return entries_.size();
}

std::size_t TransactionLog::countFor(int slave) const {
    std::lock_guard<std::mutex> lock(mutex_);
    if (slave == 0)
        return entries_.size();
    return static_cast<std::size_t>(std::count_if(entries_.begin(), entries_.end(),
                                                  [&](const auto& t) { return t.slave == slave; }));
}

void TransactionLog::clear() {
    std::lock_guard<std::mutex> lock(mutex_);
    entries_.clear();
}

}  // namespace vornex::sim
