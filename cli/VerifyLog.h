#pragma once

#include <string>

#include "verify/RunProgress.h"

namespace vornex::cli {

// A line of the run on standard output, flushed at once: a script drives the run from it.
void say(const std::string& line);

// The counted readings as CSV: point,reading,setting,value,unit,deviation,verdict,slip.
std::string readingsCsv(const verify::RunProgress& progress);

}  // namespace vornex::cli
