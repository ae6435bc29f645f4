#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>
#include <vector>

#include "link/ReadingSink.h"
#include "link/Sample.h"
#include "link/TickClock.h"

namespace vornex {

// One instrument's readings for a verification run: queued on the acquisition thread, every one of
// them, and taken in order by the thread that runs the verification, timed in seconds from the
// first reading heard.
class ReadingQueue : public ReadingSink {
public:
    // `arrived`, when given, is called on the acquisition thread after each reading is queued.
    explicit ReadingQueue(uint8_t address, std::function<void()> arrived = {})
        : address_(address), arrived_(std::move(arrived)) {}

    bool takes(uint8_t address) override { return address == address_; }
    void reading(const LiveReading& reading) override {
        {
            const std::lock_guard<std::mutex> lock(mutex_);
            if (!firstTick_)
                firstTick_ = reading.tick;
            queued_.push_back(Sample{reading.value,
                                     TickClock::secondsBetween(*firstTick_, reading.tick),
                                     reading.address});
        }
        if (arrived_)
            arrived_();
    }

    // The readings queued since the last call, in order.
    std::vector<Sample> take() {
        std::vector<Sample> taken;
        const std::lock_guard<std::mutex> lock(mutex_);
        queued_.swap(taken);
        return taken;
    }

private:
    const uint8_t address_;
    const std::function<void()> arrived_;
    std::mutex mutex_;
    std::optional<uint32_t> firstTick_;
    std::vector<Sample> queued_;
};

}  // namespace vornex
