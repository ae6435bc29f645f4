#include "judge/GapFinder.h"

#include <algorithm>

namespace vornex::judge {

std::optional<double> GapFinder::next(double time) {
    const std::optional<double> last = last_;
    last_ = time;
    if (!last)
        return std::nullopt;
    const double step = time - *last;
    if (!(step > 0.0))
        return std::nullopt;
    const bool gap =
        stepCount_ > 0 && step > kMinGapSeconds && step > kTypicalStepsPerGap * medianStep();
    // Gaps count as steps too, so that a curve whose pace really slows is soon joined again.
    steps_[nextStep_] = step;
    nextStep_ = (nextStep_ + 1) % kRecentSteps;
    stepCount_ = std::min(stepCount_ + 1, kRecentSteps);
    return gap ? last : std::nullopt;
}

void GapFinder::reset() {
    last_.reset();
    stepCount_ = 0;
    nextStep_ = 0;
}

double GapFinder::medianStep() const {
    std::array<double, kRecentSteps> sorted = steps_;
    const auto end = sorted.begin() + static_cast<std::ptrdiff_t>(stepCount_);
    const auto middle = sorted.begin() + static_cast<std::ptrdiff_t>(stepCount_ / 2);
    std::nth_element(sorted.begin(), middle, end);
    return *middle;
}

}  // namespace vornex::judge
