#pragma once

#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "Transaction.h"

namespace vornex::sim {

// Every request an instrument took, in order, kept in memory and optionally written to a file
// one line each, flushed per line so that a reader sees each line as soon as it is there.
class TransactionLog {
public:
    TransactionLog() = default;
    TransactionLog(const TransactionLog&) = delete;
    TransactionLog& operator=(const TransactionLog&) = delete;
    ~TransactionLog();

    // False with errno set when the file cannot be opened for append.
    bool openFile(const std::string& path);

    void append(const Transaction& t);
    std::vector<Transaction> entries() const;
    std::size_t size() const;
    // Entries for one slave address (all of them for 0).
    std::size_t countFor(int slave) const;
    void clear();

private:
    mutable std::mutex mutex_;
    std::vector<Transaction> entries_;
    std::FILE* file_ = nullptr;
};

}  // namespace vornex::sim
