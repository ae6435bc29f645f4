#pragma once

#include <string>
#include <vector>

#include "verify/RunPlan.h"

namespace vornex::verify {

// A check of the reference against the tool it is to verify that failed: a quarter of the tool's
// permissible deviation is what the reference may show in its last digit at a point, and what its
// own relative expanded uncertainty may be. Below either, the reference cannot tell a good tool
// from a bad one.
struct ReferenceCheck {
    enum class Kind { Resolution, Uncertainty };
    Kind kind = Kind::Resolution;
    double value = 0.0;   // the reference's step in the run's unit, or its uncertainty in %
    double limit = 0.0;   // a quarter of the permissible deviation: in the unit at `torque`, or %
    double torque = 0.0;  // the point's setting the step is too coarse for
};

// The checks a fitted plan's reference fails: its resolution at the lowest point that it does
// not resolve, and its uncertainty when the plan knows it. Empty when both hold.
std::vector<ReferenceCheck> failedReferenceChecks(const RunPlan& plan);

// "the reference's step of 1 N.m exceeds 0.06 N.m, a quarter of the permissible deviation at
// 4 N.m", "the reference's uncertainty of 1.5 % exceeds 1 %, a quarter of the permissible
// deviation"; and the run file's line of one confirmed with a reason.
std::string checkText(const ReferenceCheck& check, const std::string& unit);
std::string checkNote(const ReferenceCheck& check, const std::string& unit,
                      const std::string& reason);

}  // namespace vornex::verify
