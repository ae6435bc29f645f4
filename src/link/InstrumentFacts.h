#pragma once

#include <optional>
#include <string>

#include "link/DeviceRecord.h"

namespace vornex {

// What an identified instrument said about itself: what a verification run records of its
// reference instrument.
struct InstrumentFacts {
    std::string unit;
    unsigned measuringMode = 0;  // measuring-mode table code
    int decimals = 0;
    float range = 0.0f;
    std::string identification;  // hex, as the report shows it
};

// Nothing until the instrument is identified, has a value and its settings were read. Safe on any
// thread while polling runs.
std::optional<InstrumentFacts> instrumentFacts(const DeviceRecord& record);

}  // namespace vornex
