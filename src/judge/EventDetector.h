#pragma once

#include <optional>

#include "judge/GapFinder.h"

namespace vornex::judge {

// One event of a curve: from its first point at or above the threshold to the point that ended
// it, with the point of largest magnitude in between.
struct Event {
    double start = 0.0;
    double end = 0.0;  // the ending point's time, or the last point's when its stretch ended first
    double peakTime = 0.0;
    double peak = 0.0;  // with its sign
    // Rose through the threshold from a point below half of it and fell below half of it again,
    // both within one stretch of the curve: the whole pull was recorded.
    bool complete = false;
};

// Finds the events of one curve point by point. An event starts at the first point with
// |value| >= threshold and ends at the first later point with |value| < threshold / 2; the gap
// between the two keeps noise around the threshold from splitting one tightening into many.
// The curve falls into stretches, broken where readings stopped for a while (GapFinder: a lost
// line, a pause between Stop and Start) and at its end. An event that did not rise from below
// threshold / 2 within its stretch, or that its stretch ended before it fell, is incomplete.
// A point whose time or value is not a finite number is left out, as the graph leaves it out.
class EventDetector {
public:
    explicit EventDetector(double threshold) : threshold_(threshold) {}

    double threshold() const { return threshold_; }
    // From the next point on; an event on stays on.
    void setThreshold(double threshold) { threshold_ = threshold; }

    // The event that this point, or the break of the curve just before it, ended.
    std::optional<Event> add(double time, double value);
    // Ends the curve: the event still on, incomplete, if any.
    std::optional<Event> finish();
    // The event on now; its `complete` is not settled yet.
    const std::optional<Event>& current() const { return current_; }

private:
    std::optional<Event> endStretch();

    double threshold_;
    GapFinder gaps_;
    std::optional<Event> current_;
    // A point below threshold / 2 came since the stretch began or the last event ended.
    bool armed_ = false;
    // The event on now rose from such a point.
    bool currentArmed_ = false;
    double lastTime_ = 0.0;
};

}  // namespace vornex::judge
