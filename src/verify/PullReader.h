#pragma once

#include <optional>

#include "judge/EventDetector.h"

namespace vornex::verify {

// The share of a point's setting at which a pull starts during a run: a small point on a large
// instrument registers all the same.
constexpr double kPullThresholdShare = 0.10;

// One complete pull as the instrument showed it.
struct Pull {
    double peak = 0.0;  // with its sign
    // The peak stood on two polls in a row before it was let go: the instrument held it. A peak
    // seen once is a polled value on its way up or down, not what the instrument caught.
    bool held = false;
    // Seconds from the first polled value at 80 % of the setting to the peak; nothing when no
    // polled value of the pull reached 80 % before its peak.
    std::optional<double> loading;
    // Seconds from the last polled value below 80 % to the peak: the longest the loading may
    // have taken between two polls. Only a pull faster than this was surely loaded too fast.
    std::optional<double> loadingAtMost;
};

// The share of the setting from which a pull's loading is timed to its peak.
constexpr double kLoadingFromShare = 0.8;

// Watches an instrument's live values for one complete pull toward `setting`, judged as the bench
// judges events but with the threshold at 10 % of the setting. The peak is what the instrument
// showed at most: its held peak in "P", its first peak in "1P", the largest polled value in "T".
class PullReader {
public:
    explicit PullReader(double setting);

    // The complete pull this reading ended; a pull that was not seen whole (a value already up
    // when watching began, a line lost on the way) is no pull.
    std::optional<Pull> add(double seconds, double value);
    // A value below half the threshold was seen: a pull from now on is seen whole, so the pull
    // may be asked for.
    bool ready() const { return ready_; }

private:
    judge::EventDetector detector_;
    bool ready_ = false;
    std::optional<double> previous_;
    double held_ = 0.0;  // the largest value that stood on two polls in a row
    double setting_;
    std::optional<double> loadingFrom_;  // when the pull on now reached 80 % of the setting
    std::optional<double> lastBelow_;    // the last poll below 80 % before it did
    std::optional<double> riseFrom_;     // that poll's time, once the pull reached 80 %
};

}  // namespace vornex::verify
