#pragma once

#include <array>
#include <cstddef>
#include <optional>

namespace vornex::judge {

// Tells a stretch without readings (a lost line, a pause between Stop and Start) from the
// ordinary spacing of one curve's points, which depends on how many instruments share the line.
// A step is a gap when it is longer than 2 s and than ten times the median of the recent steps.
class GapFinder {
public:
    static constexpr double kMinGapSeconds = 2.0;
    static constexpr double kTypicalStepsPerGap = 10.0;
    static constexpr size_t kRecentSteps = 15;

    // The time of the curve's next point; when the step from the point before is a gap, the time
    // of that point. Times that go back or stand still are no step and no gap.
    std::optional<double> next(double time);
    // The next point is the curve's first.
    void reset();

private:
    double medianStep() const;

    std::optional<double> last_;
    std::array<double, kRecentSteps> steps_{};
    size_t stepCount_ = 0;
    size_t nextStep_ = 0;
};

}  // namespace vornex::judge
