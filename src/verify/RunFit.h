#pragma once

#include <string>

#include "verify/DeviationTable.h"
#include "verify/RunPlan.h"

namespace vornex::verify {

// Fits a new run's plan to its reference instrument: the tool's unit (the instrument's when the
// tool has none), the instrument's decimals and the permissible deviation of the tool's class.
// The problem when the run cannot be made on it, else empty.
std::string fitPlan(RunPlan& plan, const DeviationTable& table, const std::string& unit,
                    int decimals);

}  // namespace vornex::verify
