#include "verify/RunFit.h"

#include "text/NumberText.h"
#include "verify/Deviation.h"

namespace vornex::verify {

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
    if (plan.tool.lowest && plan.shown(plan.setting(0)) < *plan.tool.lowest) {
        return "point " + plainNumber(plan.points[0]) + " (" +
               formatFixed(plan.setting(0), plan.decimals) + " " + plan.tool.unit +
               ") is below the tool's lowest marked value " +
               formatFixed(*plan.tool.lowest, plan.decimals);
    }
    return {};
}

}  // namespace vornex::verify
