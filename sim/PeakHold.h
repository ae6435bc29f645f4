#pragma once

namespace vornex::sim {

// What an instrument's live value shows in its measuring mode. "T" tracks the torque. "P" holds
// the torque of largest magnitude since the last reset. "1P" holds the first peak: once the torque
// has risen to the threshold (from below half of it), the largest torque reached before it first
// falls back by the click drop (and by more than the least drop), as a click wrench's torque falls
// when it clicks; until then the torque is tracked. A held value is let go (the hold starts again
// from 0) a hold time after it was last raised, or on a reset. Every torque the instrument had is
// to be observed, in time order.
class PeakHold {
public:
    struct Rules {
        double threshold = 0.0;   // magnitude at which "1P" looks for a click
        double clickDrop = 0.02;  // share of the peak by which the torque falls at a click
        double leastDrop = 0.0;   // a fall no larger than this is noise, not a click
        double holdSeconds = 2.0;
    };

    // A new mode (measuring-mode table code) or new rules let the held value go.
    void setMode(unsigned mode, const Rules& rules);
    // True in the modes that hold a value, where every torque matters.
    bool holds() const;

    void observe(double seconds, double torque);
    void reset();
    // What the live value register shows while the torque is `torque`.
    double shown(double torque) const;

private:
    unsigned mode_ = 0;
    Rules rules_;
    double held_ = 0.0;  // with its sign
    double heldAt_ = 0.0;
    bool clicked_ = false;
    bool armed_ = false;  // 1P: the torque reached the threshold
    bool mayArm_ = true;  // 1P: the torque was below half the threshold since the click
};

}  // namespace vornex::sim
