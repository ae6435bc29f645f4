#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "verify/Deviation.h"
#include "verify/RunPlan.h"

namespace vornex::verify {

// What the run asks for next: preload `number` (from 1), reading `number` of point `point`, or
// nothing more; in the plan's series `series`, turning the tool `direction`.
struct Step {
    enum class Kind { Preload, Reading, Done };
    Kind kind = Kind::Done;
    size_t point = 0;
    int number = 0;
    size_t series = 0;
    Direction direction = Direction::Clockwise;
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
    Direction direction = Direction::Clockwise;
    // Seconds from 80 % of the point to the peak, when the polled values showed it.
    std::optional<double> loading;
};

// What is known of a pull besides its peak: an indicating tool's indication (its reading's
// setting), and how long it took to load.
struct PullFacts {
    std::optional<double> indicated;
    std::optional<double> loading;
};

// What a pull became.
struct Taken {
    enum class Kind { Preload, Reading, SlipRepeated };
    Kind kind = Kind::Preload;
    Reading reading;         // of a reading or a dropped slip
    bool endsPoint = false;  // the point's last reading
};

// Where a run stands: for each series of the plan (clockwise first), preloads first, then each
// point's readings in turn. Each pull's peak is
// taken for the step asked for; a slip is counted or repeated as the plan says, or as answered
// (a plan that asks counts the slips it is given without an answer: a run file holds only the
// slips that were counted).
class RunProgress {
public:
    explicit RunProgress(RunPlan plan);

    const RunPlan& plan() const { return plan_; }
    Step next() const;
    Taken take(double peak, std::optional<SlipPolicy> answer = std::nullopt,
               const PullFacts& facts = {});
    // The peak, taken for the step asked for, would be a slip.
    bool isSlip(double peak) const;
    // The reading the peak would be, nothing taken.
    Reading peek(double peak, const PullFacts& facts = {}) const;

    // The counted readings, in order.
    const std::vector<Reading>& readings() const { return readings_; }
    // A point's readings of one direction (of the plan's first series when not named). An
    // indicating tool's mean is set against the mean of its indications.
    PointSummary summary(size_t point) const;
    PointSummary summary(size_t point, Direction direction) const;
    // Every counted reading conforms.
    bool conforms() const;

private:
    RunPlan plan_;
    std::vector<Direction> series_;
    std::vector<int> preloadsDone_;  // per series
    std::vector<size_t> taken_;      // counted readings per series
    std::vector<Reading> readings_;
};

}  // namespace vornex::verify
