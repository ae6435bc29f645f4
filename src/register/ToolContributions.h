#pragma once

#include <QDate>
#include <optional>
#include <string>

#include "verify/UncertaintyBudget.h"

namespace vornex {

// What a calibration's sub-tests found of one tool, and when: a later calibration of the tool
// may take them instead of measuring them again while its profile holds them valid.
struct MeasuredContributions {
    std::string toolId;
    std::string date;  // YYYY-MM-DD
    verify::Contributions contributions;
    std::string unit;
    std::string run;  // the run file they were measured in
};

// Register/Contributions.tsv of the home folder (ends in "/"), one line per measurement, never
// rewritten: the latest line of a tool is what is known of it.
bool enterContributions(const std::string& home, const MeasuredContributions& measured,
                        std::string& error);
// The tool's latest, nothing when none were measured (`error` empty) or the file cannot be read
// (`error` says why).
std::optional<MeasuredContributions> latestContributions(const std::string& home,
                                                         const std::string& toolId,
                                                         std::string& error);
// Measured within `months` before `today`; never for 0 months.
bool contributionsValid(const MeasuredContributions& measured, int months, const QDate& today);

}  // namespace vornex
