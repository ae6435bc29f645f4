#pragma once

#include <ctime>
#include <map>
#include <string>

#include "verify/Reference.h"
#include "verify/RunPlan.h"

namespace vornex::verify {

struct StoredRun;

// The "Key: value" lines that open a run file, one side writing them and the other reading them
// back, kept together so that the two cannot drift apart.
std::string runHeaderText(const RunPlan& plan, const Reference& reference, std::time_t started);
// Fills the run's plan, instrument and reference from the header's keys; the problem, or empty.
std::string readRunHeader(const std::map<std::string, std::string>& header, StoredRun& run);

}  // namespace vornex::verify
