#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "register/RegisterRecords.h"
#include "register/ToolCycles.h"
#include "work/BackgroundWorker.h"

namespace vornex {

// Counts the register's tools' cycles on a thread of its own: counting judges every test of the
// home folder made with a tool, which can take long. All tools are counted in one walk of the
// folder; a count not yet begun when a later one is asked for is left out. Answers come as queued
// signals with the serial they were asked with.
class CycleCounter : public QObject {
    Q_OBJECT

public:
    explicit CycleCounter(std::string home);  // ends in "/"
    ~CycleCounter() override;
    CycleCounter(const CycleCounter&) = delete;
    CycleCounter& operator=(const CycleCounter&) = delete;

    void count(uint64_t serial, const std::vector<RegisteredTool>& tools);

signals:
    // On the worker's thread: the cycles of the tool `id` since its last good verification.
    void counted(quint64 serial, QString id, qlonglong pulls, int tests, int unread);

private:
    const std::string home_;
    std::atomic<uint64_t> latest_{0};
    BackgroundWorker worker_;  // last: it ends first, before what its jobs use
};

}  // namespace vornex
