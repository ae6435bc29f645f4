#include "TorqueProfile.h"

#include <cmath>

namespace vornex::sim {

namespace {

uint64_t splitMix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// Uniform in [0, 1).
double unitRandom(uint64_t seed, uint64_t index) {
    return static_cast<double>(splitMix64(seed * 0x100000001B3ull ^ index) >> 11) * 0x1.0p-53;
}

}  // namespace

float TorqueProfile::peakOfCycle(uint64_t cycle) const {
    return range_ * static_cast<float>(0.4 + 0.5 * unitRandom(seed_, cycle));
}

float TorqueProfile::valueAt(double seconds) const {
    if (seconds < 0)
        seconds = 0;
    const auto cycle = static_cast<uint64_t>(seconds / kCycleSeconds);
    const double t = seconds - static_cast<double>(cycle) * kCycleSeconds;
    const double peak = peakOfCycle(cycle);

    double value = 0;
    if (t < kRestSeconds) {
        value = 0;
    } else if (t < kRestSeconds + kRampSeconds) {
        const double x = (t - kRestSeconds) / kRampSeconds;
        value = peak * (1 - std::cos(M_PI * x)) / 2;
    } else if (t < kRestSeconds + kRampSeconds + kHoldSeconds) {
        value = peak;
    } else {
        const double x = (t - kRestSeconds - kRampSeconds - kHoldSeconds) / kReleaseSeconds;
        value = peak * (1 - x);
    }
    // New noise every 10 ms, +-0.2 % of the range.
    const auto tick = static_cast<uint64_t>(seconds * 100);
    const double noise = (unitRandom(seed_ + 1, tick) - 0.5) * kNoiseShare * range_;
    return static_cast<float>(value + noise);
}

}  // namespace vornex::sim
