#pragma once

#include <chrono>
#include <cstdint>
#include <functional>

namespace vornex {

// Monotonic millisecond tick count cut to 32 bits. Differences are taken as unsigned, so they stay
// right across one wrap. Tests replace the source to control time.
class TickClock {
public:
    using Source = std::function<uint32_t()>;

    TickClock() : source_(&TickClock::steadyMilliseconds) {}
    explicit TickClock(Source source) : source_(std::move(source)) {}

    uint32_t now() const { return source_(); }

    static uint32_t steadyMilliseconds() {
        const auto since = std::chrono::steady_clock::now().time_since_epoch();
        return static_cast<uint32_t>(
            std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
    }

    static double secondsBetween(uint32_t base, uint32_t now) {
        return static_cast<double>(static_cast<uint32_t>(now - base)) / 1000.0;
    }

private:
    Source source_;
};

}  // namespace vornex
