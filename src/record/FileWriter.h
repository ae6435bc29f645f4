#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "record/AppendObserver.h"
#include "record/WriteQueue.h"
#include "work/BackgroundWorker.h"

namespace vornex {

// Moves queued points into their test files: from its own thread once a period and whenever asked
// to, and on demand from the caller's thread. Each run of points for one file is appended with one
// write. Points that could not be written stay queued, in order, and are tried again next time; a
// failing file is reported once until it works again.
class FileWriter {
public:
    FileWriter(WriteQueue& queue, AppendObserver& observer,
               std::chrono::milliseconds period = std::chrono::seconds(1));
    // Stops the thread; whatever is still queued is the owner's to flush.
    ~FileWriter() { stop(); }
    FileWriter(const FileWriter&) = delete;
    FileWriter& operator=(const FileWriter&) = delete;

    // Starts the periodic thread unless it runs already.
    void start();
    // Stops the periodic thread after one last append and waits for it.
    void stop();

    // Wakes the thread (starting it if needed) to append everything queued now, and returns at
    // once: the caller never waits for the disk. With `closedPath`, the observer hears once that
    // append has run how many points of that test are still unwritten.
    void requestFlush(const std::string& closedPath = std::string());

    // Appends everything queued now, on the calling thread. True when the queue was emptied.
    bool flush();

    // Why appends to `path` fail, or empty when they do not.
    std::string failure(const std::string& path);

private:
    // One round of the thread: everything queued appended, then the closed tests reported.
    void appendAndReport();

    WriteQueue& queue_;
    AppendObserver& observer_;
    const std::chrono::milliseconds period_;

    // Held for a whole take-write-put-back, so two flushes never reorder points of one file.
    std::mutex appendMutex_;
    // Failing file → the reason it last failed.
    std::map<std::string, std::string> failing_;

    std::mutex closedMutex_;
    std::vector<std::string> closedPaths_;
    std::optional<BackgroundWorker> worker_;
};

}  // namespace vornex
