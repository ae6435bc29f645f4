#include "verifywin/VerifyFeed.h"

#include "session/AcquisitionSession.h"

namespace vornex {

VerifyFeed::VerifyFeed(AcquisitionSession& session, uint8_t address)
    : session_(session), readings_(address) {
    session_.addReadingSink(readings_);
}

VerifyFeed::~VerifyFeed() {
    session_.removeReadingSink(readings_);
}

}  // namespace vornex
