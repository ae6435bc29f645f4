#pragma once

#include <cstdint>
#include <vector>

#include "link/ReadingQueue.h"
#include "link/Sample.h"

namespace vornex {

class AcquisitionSession;

// The live values of one station's instrument: the session's poller hands each reading over as it
// reads it, with the poller's time, whether or not a test records; the station takes them on the
// interface thread. The stations share the session's line this way and never open their own.
class VerifyFeed {
public:
    VerifyFeed(AcquisitionSession& session, uint8_t address);
    ~VerifyFeed();
    VerifyFeed(const VerifyFeed&) = delete;
    VerifyFeed& operator=(const VerifyFeed&) = delete;

    // The instrument's values since the last call, in order.
    std::vector<Sample> take() { return readings_.take(); }

private:
    AcquisitionSession& session_;
    ReadingQueue readings_;
};

}  // namespace vornex
