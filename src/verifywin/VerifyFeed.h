#pragma once

#include <chrono>
#include <map>
#include <mutex>
#include <vector>

#include "link/Sample.h"
#include "record/SessionObserver.h"

namespace vornex {

class AcquisitionSession;

// The live values of the session's instruments for verification runs: each pass over the table
// queues every instrument's reading with the time the pass ended, whether or not a test records.
// The stations share the session's line this way and never open their own.
class VerifyFeed : private SessionObserver {
public:
    explicit VerifyFeed(AcquisitionSession& session);
    ~VerifyFeed() override;
    VerifyFeed(const VerifyFeed&) = delete;
    VerifyFeed& operator=(const VerifyFeed&) = delete;

    // The values of `address` queued since the last call, in order.
    std::vector<Sample> take(uint8_t address);

private:
    // Acquisition thread.
    void passEnded(unsigned pass, const std::vector<RecordSnapshot>& records) override;

    AcquisitionSession& session_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::mutex mutex_;
    std::map<uint8_t, std::vector<Sample>> queued_;
};

}  // namespace vornex
