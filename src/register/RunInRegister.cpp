#include "register/RunInRegister.h"

#include <algorithm>

#include "register/DueDates.h"
#include "verify/RunPlan.h"

namespace vornex {

RunInRegister enterRun(const LabRegister& lab, const std::string& toolId, bool conforms,
                       const std::string& condition, const QDate& day) {
    RunInRegister result;
    std::optional<RegisteredTool> tool = lab.tool(toolId, result.error);
    if (!tool)
        return result;
    result.registered = true;
    if (conforms) {
        tool->lastGood = day.toString(Qt::ISODate).toStdString();
        if (lab.enter(*tool, result.error))
            result.due = toolDue(*tool, 0, day).date;
        return result;
    }
    if (condition == verify::RunPlan::kAsLeft)
        return result;
    if (tool->intervalMonths)
        result.halvedMonths = std::max(1, *tool->intervalMonths / 2);
    if (tool->intervalCycles)
        result.halvedCycles = std::max(1L, *tool->intervalCycles / 2);
    return result;
}

}  // namespace vornex
