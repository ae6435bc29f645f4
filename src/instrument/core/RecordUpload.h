#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>

#include "link/PortLink.h"
#include "link/RegisterMap.h"
#include "work/BackgroundWorker.h"

namespace vornex {

// One record of an upload as it arrived: without a record when its exchange failed, and then
// with what the link said.
struct UploadedRecord {
    unsigned run = 0;  // the upload it belongs to
    uint16_t order = 0;
    uint16_t count = 0;
    std::optional<regmap::StoredRecord> record;
    LinkResult failure;
};

enum class UploadEnd {
    Completed,  // every record was requested
    Stopped,    // stopped or restarted before the last
    LineLost,   // the port went away; no further exchange can succeed
};

// Receives an upload's records on the upload's own thread.
class UploadObserver {
public:
    virtual ~UploadObserver() = default;
    virtual void recordUploaded(const UploadedRecord& item) = 0;
    virtual void uploadEnded(unsigned run, UploadEnd end, unsigned failed) = 0;
};

// The link of the upload window: opened on one instrument, it reads the range and the number of
// stored records, then fetches records 1..N on a thread of its own, each by selecting it (holding
// 7) and reading input 1013..1020, one record per period. A record whose selection or read fails
// is handed on without data, never with the data of the record before it.
class RecordUpload {
public:
    explicit RecordUpload(UploadObserver& observer) : observer_(observer) {}
    ~RecordUpload();
    RecordUpload(const RecordUpload&) = delete;
    RecordUpload& operator=(const RecordUpload&) = delete;

    // Opened, why the port did not open, or NoAnswer when the instrument's range or record count
    // could not be read.
    OpenResult link(const std::string& port, int slave);
    // Why the last link() ended in NoAnswer; Ok after a link that succeeded.
    const LinkResult& linkFailure() const { return linkFailure_; }
    // Stops a running upload and closes the link.
    void unlink();
    bool linked() const { return link_.isOpen(); }
    float range() const { return range_; }
    uint16_t count() const { return count_; }

    // Starts fetching from record 1, stopping a running upload first; returns the new run's
    // number. A period of zero fetches as fast as the line answers.
    unsigned start(std::chrono::milliseconds period);
    // Returns once the upload's thread has ended; the observer is not called after that.
    void stop();
    bool running() const { return running_.load(); }

private:
    void run(BackgroundWorker& worker, unsigned run, uint16_t count,
             std::chrono::milliseconds period);

    UploadObserver& observer_;
    PortLink link_;
    float range_ = 0.0f;
    uint16_t count_ = 0;
    LinkResult linkFailure_;
    unsigned runs_ = 0;

    std::atomic<bool> running_{false};
    std::optional<BackgroundWorker> worker_;  // one for each upload
};

}  // namespace vornex
