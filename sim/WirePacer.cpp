#include "WirePacer.h"

#include <cerrno>
#include <ctime>

namespace vornex::sim {

void WirePacer::sleepUntil(Clock::time_point deadline) {
    // steady_clock is CLOCK_MONOTONIC here, so its epoch count is a monotonic timespec.
    const auto ns =
        std::chrono::duration_cast<std::chrono::nanoseconds>(deadline.time_since_epoch()).count();
    timespec ts{static_cast<time_t>(ns / 1000000000), static_cast<long>(ns % 1000000000)};
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &ts, nullptr) == EINTR) {
    }
}

bool WirePacer::send(SerialEndpoint& line, const uint8_t* data, std::size_t size,
                     Clock::time_point start) {
    for (std::size_t i = 0; i < size; ++i) {
        // A byte can be read once its last bit is on the wire.
        sleepUntil(start + kCharTime * static_cast<long>(i + 1));
        if (!line.write(data + i, 1))
            return false;
    }
    lineFree_ = start + kCharTime * static_cast<long>(size) + kFrameGap;
    return true;
}

}  // namespace vornex::sim
