#pragma once

#include <cstdint>
#include <vector>

#include "link/RegisterMap.h"

namespace vornex::sim {

// The records an instrument keeps in its memory, made up from a seed: every few records one is
// deleted or denied, units and decimals vary, some torques are negative, the time stamps advance
// record by record through a day and across a month end.
std::vector<regmap::StoredRecord> makeStoredRecords(int count, uint64_t seed);

}  // namespace vornex::sim
