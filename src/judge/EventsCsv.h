#pragma once

#include <string>

#include "files/FileResult.h"
#include "judge/TestResults.h"

namespace vornex {

// Every event of a judged test as CSV: a header "slave,event,time,peak,unit,verdict", then one
// line per event in address and event order; time in seconds with 3 decimals, the peak with its
// sign and the instrument's decimals.
std::string eventsCsv(const TestResults& results);

// Replaces `path` whole or not at all.
FileResult writeEventsCsv(const TestResults& results, const std::string& path);

// One event as the command-line tool prints it: "TIME PEAK VERDICT".
std::string eventFields(const InstrumentResult& instrument, const judge::JudgedEvent& event);

}  // namespace vornex
