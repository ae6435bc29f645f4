#include "verify/ReferenceChecks.h"

#include <cmath>

#include "text/NumberText.h"
#include "verify/UncertaintyBudget.h"

namespace vornex::verify {

std::vector<ReferenceCheck> failedReferenceChecks(const RunPlan& plan) {
    std::vector<ReferenceCheck> failed;
    const double step = std::pow(10.0, -plan.decimals);
    for (size_t point = 0; point < plan.points.size(); ++point) {
        const double torque = plan.setting(point);
        if (!resolutionWithinQuarter(step, torque, plan.permissible)) {
            failed.push_back({ReferenceCheck::Kind::Resolution, step,
                              torque * plan.permissible / 100.0 / 4.0, torque});
            break;
        }
    }
    if (plan.referenceUncertainty &&
        !uncertaintyWithinQuarter(*plan.referenceUncertainty, plan.permissible))
        failed.push_back({ReferenceCheck::Kind::Uncertainty, *plan.referenceUncertainty,
                          plan.permissible / 4.0, 0.0});
    return failed;
}

std::string checkText(const ReferenceCheck& check, const std::string& unit) {
    if (check.kind == ReferenceCheck::Kind::Uncertainty)
        return "the reference's uncertainty of " + plainNumber(check.value) + " % exceeds " +
               plainNumber(check.limit) + " %, a quarter of the permissible deviation";
    return "the reference's step of " + plainNumber(check.value) + " " + unit + " exceeds " +
           plainNumber(std::round(check.limit * 1e4) / 1e4) + " " + unit +
           ", a quarter of the permissible deviation at " + plainNumber(check.torque) + " " + unit;
}

std::string checkNote(const ReferenceCheck& check, const std::string& unit,
                      const std::string& reason) {
    return "confirmed " + checkText(check, unit) + ": " + reason;
}

}  // namespace vornex::verify
