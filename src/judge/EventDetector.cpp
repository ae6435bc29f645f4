#include "judge/EventDetector.h"

#include <cmath>

namespace vornex::judge {

std::optional<Event> EventDetector::add(double time, double value) {
    if (!std::isfinite(time) || !std::isfinite(value))
        return std::nullopt;
    std::optional<Event> ended;
    if (gaps_.next(time))
        ended = endStretch();
    lastTime_ = time;
    const double magnitude = std::fabs(value);
    if (!current_) {
        if (magnitude >= threshold_) {
            current_ = Event{time, time, time, value, false};
            currentArmed_ = armed_;
        } else if (magnitude < threshold_ / 2.0) {
            armed_ = true;
        }
        return ended;
    }
    if (magnitude < threshold_ / 2.0) {
        Event fell = *current_;
        fell.end = time;
        fell.complete = currentArmed_;
        current_.reset();
        armed_ = true;
        return fell;
    }
    if (magnitude > std::fabs(current_->peak)) {
        current_->peak = value;
        current_->peakTime = time;
    }
    return ended;
}

std::optional<Event> EventDetector::finish() {
    return endStretch();
}

std::optional<Event> EventDetector::endStretch() {
    armed_ = false;
    if (!current_)
        return std::nullopt;
    Event cut = *current_;
    cut.end = lastTime_;
    cut.complete = false;
    current_.reset();
    return cut;
}

}  // namespace vornex::judge
