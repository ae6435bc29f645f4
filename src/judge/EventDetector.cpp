#include "judge/EventDetector.h"

#include <cmath>

namespace vornex::judge {

std::optional<Event> EventDetector::add(double time, double value) {
    lastTime_ = time;
    const double magnitude = std::fabs(value);
    if (!current_) {
        if (magnitude >= threshold_)
            current_ = Event{time, time, time, value, false};
        return std::nullopt;
    }
    if (magnitude < threshold_ / 2.0) {
        Event ended = *current_;
        ended.end = time;
        current_.reset();
        return ended;
    }
    if (magnitude > std::fabs(current_->peak)) {
        current_->peak = value;
        current_->peakTime = time;
    }
    return std::nullopt;
}

std::optional<Event> EventDetector::finish() {
    if (!current_)
        return std::nullopt;
    Event cut = *current_;
    cut.end = lastTime_;
    cut.cut = true;
    current_.reset();
    return cut;
}

}  // namespace vornex::judge
