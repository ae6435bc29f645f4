#include "verifywin/VerifyFeed.h"

#include "link/NumberText.h"
#include "record/AcquisitionSession.h"

namespace vornex {

namespace {

// A station that is not taken from (none open for it) keeps no more than this.
constexpr size_t kMaxQueued = 4096;

}  // namespace

VerifyFeed::VerifyFeed(AcquisitionSession& session) : session_(session) {
    session_.addObserver(*this);
}

VerifyFeed::~VerifyFeed() {
    session_.removeObserver(*this);
}

std::vector<Sample> VerifyFeed::take(uint8_t address) {
    std::vector<Sample> samples;
    const std::lock_guard<std::mutex> lock(mutex_);
    queued_[address].swap(samples);
    return samples;
}

void VerifyFeed::passEnded(unsigned, const std::vector<RecordSnapshot>& records) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
    const std::lock_guard<std::mutex> lock(mutex_);
    for (const RecordSnapshot& record : records) {
        double value = 0.0;
        if (!record.hasValue || record.presence != PresenceState::Identified ||
            !parseDouble(record.valueText, value))
            continue;
        std::vector<Sample>& queue = queued_[record.address];
        if (queue.size() >= kMaxQueued)
            queue.erase(queue.begin(), queue.begin() + kMaxQueued / 2);
        queue.push_back(Sample{static_cast<float>(value), seconds, record.address});
    }
}

}  // namespace vornex
