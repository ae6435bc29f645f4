#include "PeakHold.h"

#include <cmath>

#include "link/RegisterMap.h"

namespace vornex::sim {

void PeakHold::setMode(unsigned mode, const Rules& rules) {
    mode_ = mode;
    rules_ = rules;
    reset();
}

bool PeakHold::holds() const {
    return mode_ == regmap::kMeasurePeak || mode_ == regmap::kMeasureFirstPeak;
}

void PeakHold::reset() {
    held_ = 0.0;
    clicked_ = false;
    armed_ = false;
    mayArm_ = true;
}

void PeakHold::observe(double seconds, double torque) {
    const double magnitude = std::fabs(torque);
    const bool holding = mode_ == regmap::kMeasurePeak ? held_ != 0.0 : clicked_;
    if (holding && seconds - heldAt_ >= rules_.holdSeconds) {
        held_ = 0.0;
        clicked_ = false;
    }
    if (mode_ == regmap::kMeasurePeak) {
        if (magnitude > std::fabs(held_)) {
            held_ = torque;
            heldAt_ = seconds;
        }
        return;
    }
    if (mode_ != regmap::kMeasureFirstPeak)
        return;
    if (magnitude < rules_.threshold / 2.0)
        mayArm_ = true;
    if (clicked_)
        return;
    if (!armed_) {
        if (!mayArm_ || magnitude < rules_.threshold)
            return;
        armed_ = true;
        held_ = 0.0;
    }
    if (magnitude > std::fabs(held_)) {
        held_ = torque;
    } else if (const double fall = std::fabs(held_) - magnitude;
               fall >= std::fabs(held_) * rules_.clickDrop && fall > rules_.leastDrop) {
        clicked_ = true;
        armed_ = false;
        mayArm_ = false;
        heldAt_ = seconds;
    }
}

double PeakHold::shown(double torque) const {
    if (mode_ == regmap::kMeasurePeak || clicked_)
        return held_;
    return torque;
}

}  // namespace vornex::sim
