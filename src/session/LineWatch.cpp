#include "session/LineWatch.h"

#include "link/NetworkPort.h"

namespace vornex {

std::time_t LineWatch::lose(bool recordingWanted) {
    waiting_ = true;
    recordingWanted_ = recordingWanted;
    lostAt_ = std::chrono::steady_clock::now();
    nextTry_ = lostAt_ + kRetry;
    lostAtWall_ = wallClock_();
    return lostAtWall_;
}

bool LineWatch::due() {
    const auto now = std::chrono::steady_clock::now();
    if (!waiting_ || now < nextTry_)
        return false;
    nextTry_ = now + kRetry;
    return true;
}

bool LineWatch::reachable(const std::string& port) {
    return !NetworkPort::named(port) || probe_.ask(port) == LineProbe::Answer::Reachable;
}

double LineWatch::back() {
    waiting_ = false;
    const std::chrono::duration<double> without = std::chrono::steady_clock::now() - lostAt_;
    return without.count();
}

}  // namespace vornex
