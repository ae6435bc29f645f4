#pragma once

#include <ctime>

#include "link/Sample.h"

namespace vornex {

// A broken-down local time (seconds resolution) as an OLE automation date: days since
// 30 December 1899 00:00 with the time of day as the fraction. Invalid (status 1) when the fields
// do not name a real date and time in the years 100 to 9999.
OleStamp oleStampFromLocalTime(const std::tm& local);

// The current local wall-clock time in whole seconds.
OleStamp currentOleStamp();

}  // namespace vornex
