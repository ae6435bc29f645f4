#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "verify/Deviation.h"
#include "verify/RunPlan.h"

namespace vornex::verify {

// What the run asks for next: preload `number` (from 1), reading `number` of point `point`, or
// nothing more.
struct Step {
    enum class Kind { Preload, Reading, Done };
    Kind kind = Kind::Done;
    size_t point = 0;
    int number = 0;
};

// One pull taken as a reading, or a slip dropped.
struct Reading {
    size_t point = 0;
    int number = 0;
    double setting = 0.0;
    double value = 0.0;  // as the instrument showed it
    double deviation = 0.0;
    bool conforms = false;
    bool slip = false;
};

// What a pull became.
struct Taken {
    enum class Kind { Preload, Reading, SlipRepeated };
    Kind kind = Kind::Preload;
    Reading reading;         // of a reading or a dropped slip
    bool endsPoint = false;  // the point's last reading
};

// Where a run stands: preloads first, then each point's readings in turn. Each pull's peak is
// taken for the step asked for; a slip is counted or repeated as the plan says, or as answered
// (a plan that asks counts the slips it is given without an answer: a run file holds only the
// slips that were counted).
class RunProgress {
public:
    explicit RunProgress(RunPlan plan) : plan_(std::move(plan)) {}

    const RunPlan& plan() const { return plan_; }
    Step next() const;
    Taken take(double peak, std::optional<SlipPolicy> answer = std::nullopt);
    // The peak, taken for the step asked for, would be a slip.
    bool isSlip(double peak) const;
    // The reading the peak would be, nothing taken.
    Reading peek(double peak) const;

    // The counted readings, in order.
    const std::vector<Reading>& readings() const { return readings_; }
    PointSummary summary(size_t point) const;
    // Every counted reading conforms.
    bool conforms() const;

private:
    RunPlan plan_;
    int preloadsDone_ = 0;
    std::vector<Reading> readings_;
};

}  // namespace vornex::verify
