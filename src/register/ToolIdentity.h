#pragma once

#include <string>

#include "verify/RunPlan.h"

namespace vornex {

// The maker, model and serial the lab's register holds for the plan's tool, written into the plan
// so that its run file, and every document made from it, names the tool as the register does.
// A tool the register does not hold keeps them empty. The problem reading the register, or empty.
std::string takeToolIdentity(const std::string& home, verify::RunPlan& plan);

}  // namespace vornex
