#include "register/ToolIdentity.h"

#include <optional>

#include "register/LabRegister.h"

namespace vornex {

std::string takeToolIdentity(const std::string& home, verify::RunPlan& plan) {
    std::string error;
    const std::optional<RegisteredTool> tool = LabRegister(home).tool(plan.tool.id, error);
    if (!tool)
        return error.empty() ? std::string() : "the tool's maker, model and serial: " + error;
    plan.toolMaker = tool->maker;
    plan.toolModel = tool->model;
    plan.toolSerial = tool->serial;
    return {};
}

}  // namespace vornex
