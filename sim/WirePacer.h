#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>

#include "SerialEndpoint.h"

namespace vornex::sim {

// Keeps the times of a 19200 baud 8E1 line (11 bits a character): a request counts as received
// when its last byte would have arrived plus the 3.5-character silence that ends a frame, and a
// reply goes out one byte per character time, each at its absolute deadline so that sleeping late
// once does not slow the rest.
class WirePacer {
public:
    using Clock = std::chrono::steady_clock;

    static constexpr std::chrono::nanoseconds kCharTime{572917};   // 11 / 19200 s
    static constexpr std::chrono::nanoseconds kFrameGap{2005208};  // 3.5 characters

    // The first byte of a request was seen at `seen`; the line may still be busy with the end of
    // the previous reply, so the request started no earlier than that.
    Clock::time_point requestStart(Clock::time_point seen) const {
        return seen > lineFree_ ? seen : lineFree_;
    }

    // When a request of `size` bytes that started at `start` is complete on the wire.
    static Clock::time_point requestReceived(Clock::time_point start, std::size_t size) {
        return start + kCharTime * static_cast<long>(size) + kFrameGap;
    }

    // Writes the reply byte by byte from `start` on; false when the line fails.
    bool send(SerialEndpoint& line, const uint8_t* data, std::size_t size, Clock::time_point start);

    static void sleepUntil(Clock::time_point deadline);

private:
    Clock::time_point lineFree_{};
};

}  // namespace vornex::sim
