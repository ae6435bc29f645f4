#pragma once

#include <optional>

namespace vornex::judge {

// One event of a curve: from its first point at or above the threshold to the point that ended
// it, with the point of largest magnitude in between.
struct Event {
    double start = 0.0;
    double end = 0.0;  // the ending point's time, or the last point's when cut by the end
    double peakTime = 0.0;
    double peak = 0.0;  // with its sign
    bool cut = false;   // the test ended while the event was still on
};

// Finds the events of one curve point by point. An event starts at the first point with
// |value| >= threshold and ends at the first later point with |value| < threshold / 2; the gap
// between the two keeps noise around the threshold from splitting one tightening into many.
// A value that is not a number neither starts nor ends an event.
class EventDetector {
public:
    explicit EventDetector(double threshold) : threshold_(threshold) {}

    double threshold() const { return threshold_; }

    // The event this point ended, if it ended one.
    std::optional<Event> add(double time, double value);
    // Ends the curve: the event still on, cut by the end, if any.
    std::optional<Event> finish();
    // The event on now.
    const std::optional<Event>& current() const { return current_; }

private:
    double threshold_;
    std::optional<Event> current_;
    double lastTime_ = 0.0;
};

}  // namespace vornex::judge
