#pragma once

#include <QString>
#include <cstddef>
#include <optional>
#include <string>

#include "record/CompanionFile.h"
#include "record/CurvePoint.h"
#include "report/ReportTexts.h"

namespace vornex {

// Where an instrument's peaks came from: held by the instrument in measuring mode "P" or "1P",
// exact however short the pull; or read off the curve as polled, which misses the top of a pull
// shorter than the time between two readings.
struct PeakSource {
    unsigned heldIn = 0;  // the measuring mode that held them; 0: the polled curve
    std::optional<double> readingsPerSecond;
};

// From the measuring mode the instrument recorded in (a mode not known counts as the polled
// curve) and its readings in time order: readings per second between its first and last one.
PeakSource peakSourceOf(const InstrumentSettings* settings, const CurvePoint* points, size_t count);

// "held by the instrument (P)" or "polled curve 0.6 readings/s", as the tool prints it.
std::string peakSourceWords(const PeakSource& source);
// The same in the language of `texts`.
QString peakSourceText(const PeakSource& source, const ReportTexts& texts);

}  // namespace vornex
