#pragma once

#include <string>

#include "Arguments.h"
#include "verify/RunPlan.h"
#include "verify/RunProgress.h"
#include "verify/ToolFolder.h"
#include "verify/VerificationRun.h"

namespace vornex::cli {

// The run's conversation on the console. A line of the run on standard output, flushed at once:
// a script drives the run from it.
void say(const std::string& line);

// The counted readings as CSV: point,reading,setting,value,unit,deviation,verdict,slip.
std::string readingsCsv(const verify::RunProgress& progress);

// The tool's type as `verify` is given it, --type I|II over the remembered record's, and its
// resolution, --resolution R (its scale interval or last digit). False, the problem said on
// stderr, when either is malformed; the resolution is checked here and kept by readResolution.
bool readToolKind(const Arguments& a, verify::Tool& tool);
void readResolution(const Arguments& a, verify::RunPlan& plan);

// The indication the run asks for, one number a line from standard input; a line that is no
// number is said on stderr and asked again. False, the run noted as stopped, when standard input
// ends first.
bool answerIndication(verify::VerificationRun& run);

}  // namespace vornex::cli
