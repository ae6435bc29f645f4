#pragma once

#include <optional>
#include <string>

#include "register/RegisterRecords.h"
#include "register/ToolContributions.h"
#include "verify/Profile.h"
#include "verify/RunPlan.h"
#include "verify/VerificationRun.h"

namespace vornex::cli {

// The lab's register as the tool's verification sees it (home ends in "/"); what it refuses or
// proposes is said on stderr.

// The register's reference `asset` the run is to be made with: nothing, and said, when the
// register does not know it, its calibration is overdue (unless a reason is given) or a point of
// the run lies below the lowest torque its certificate covers.
std::optional<RegisteredReference> registeredReference(const std::string& asset,
                                                       const std::string& home,
                                                       const verify::RunPlan& plan,
                                                       const std::string& overdueReason);

// The tool's contributions a calibration takes instead of its sub-tests (the plan then leaves
// them out), said; nothing when it measures them.
std::optional<MeasuredContributions> reusedContributions(const std::string& home,
                                                         const verify::Profile& profile,
                                                         verify::RunPlan& plan);

// A registered tool's run is its last good verification when it conforms; found out of
// tolerance, the lab is told its interval halved and how to find what it touched. What its
// sub-tests measured is kept with the tool.
void tellRegister(const std::string& home, const verify::VerificationRun& run);

}  // namespace vornex::cli
