#pragma once

#include <cstdint>

namespace vornex::sim {

// Torque of a wrench being tightened again and again, in N.m: rest near zero, a smooth ramp up to
// a peak that differs from cycle to cycle, a short hold, a release back to zero; with a little
// noise throughout. A pure function of time and seed, so two profiles with one seed agree.
class TorqueProfile {
public:
    TorqueProfile(float range, uint64_t seed) : range_(range), seed_(seed) {}

    float valueAt(double seconds) const;

    static constexpr double kRestSeconds = 1.0;
    static constexpr double kRampSeconds = 1.5;
    static constexpr double kHoldSeconds = 0.3;
    static constexpr double kReleaseSeconds = 0.7;
    static constexpr double kCycleSeconds =
        kRestSeconds + kRampSeconds + kHoldSeconds + kReleaseSeconds;
    // The noise spans this share of the range, from lowest to highest.
    static constexpr double kNoiseShare = 0.004;

    // Peak of one cycle, between 40 % and 90 % of the range.
    float peakOfCycle(uint64_t cycle) const;

private:
    float range_;
    uint64_t seed_;
};

}  // namespace vornex::sim
