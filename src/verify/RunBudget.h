#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "verify/RunProgress.h"
#include "verify/UncertaintyBudget.h"

namespace vornex::verify {

// One target value's budget: a point of one direction, X in the tool's unit.
struct PointBudget {
    Direction direction = Direction::Clockwise;
    size_t point = 0;
    double target = 0.0;
    UncertaintyBudget budget;
};

// The budget of every point of every direction that holds readings, clockwise first, from the
// run's readings, its plan (the tool's resolution, the reference's uncertainty) and the
// contributions known; an unknown term counts as none. An indicating tool is read at the mean of
// what the reference showed, a setting tool at its set value.
std::vector<PointBudget> runBudgets(const RunProgress& progress, const Contributions& known);

// "uncertainty P W WPRIME", percent with 2 decimals.
std::string uncertaintyLine(const RunPlan& plan, const PointBudget& budget);

}  // namespace vornex::verify
