#pragma once

#include <string>

#include "verify/DeviationTable.h"
#include "verify/RunPlan.h"

namespace vornex::verify {

// Fits a new run's plan to its reference instrument: the tool's unit (the instrument's when the
// tool has none), the instrument's decimals and the permissible deviation of the tool's class.
// The problem when the run cannot be made on it, else empty.
// A tool's lowest marked value above the plan's first points is its first point: the points below
// it are replaced by it, still in percent of the maximum.
void startAtLowest(RunPlan& plan);

std::string fitPlan(RunPlan& plan, const DeviationTable& table, const std::string& unit,
                    int decimals);

}  // namespace vornex::verify
