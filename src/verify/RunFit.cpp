#include "verify/RunFit.h"

#include <algorithm>

#include "text/NumberText.h"
#include "verify/Deviation.h"

namespace vornex::verify {

void startAtLowest(RunPlan& plan) {
    if (!plan.tool.lowest || !(plan.tool.maximum > 0.0))
        return;
    const double lowest = *plan.tool.lowest / plan.tool.maximum * 100.0;
    // The points below the lowest marked value become one point at it.
    std::vector<double> points;
    for (double p : plan.points) {
        const double at = std::max(p, lowest);
        if (points.empty() || at > points.back())
            points.push_back(at);
    }
    plan.points = std::move(points);
}

std::string fitPlan(RunPlan& plan, const DeviationTable& table, const std::string& unit,
                    int decimals) {
    if (plan.tool.unit.empty())
        plan.tool.unit = unit;
    if (plan.tool.unit != unit) {
        return "the instrument shows " + unit + ", the tool is set in " + plan.tool.unit +
               ": set the instrument to the tool's unit first";
    }
    plan.decimals = decimals;
    const auto permissible =
        permissibleDeviation(table, plan.tool.toolClass, plan.tool.maximum, plan.tool.unit);
    if (!permissible)
        return "the profile's deviation table has no class " + plan.tool.toolClass +
               " (or the unit " + plan.tool.unit + " is no torque)";
    plan.permissible = *permissible;
    startAtLowest(plan);
    return {};
}

}  // namespace vornex::verify
