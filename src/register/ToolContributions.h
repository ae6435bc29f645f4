#pragma once

#include <QDate>
#include <optional>
#include <string>

#include "verify/Profile.h"
#include "verify/RunPlan.h"
#include "verify/UncertaintyBudget.h"

namespace vornex::verify {
class VerificationRun;
}

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

// A calibration of the plan's tool takes the tool's latest contributions instead of measuring
// them when every sub-test was measured, in the run's unit, within the profile's months: the plan
// then leaves its sub-tests out. Nothing when it takes none (`error` says why when the register
// could not be read).
std::optional<MeasuredContributions> takeValidContributions(const std::string& home,
                                                            const verify::Profile& profile,
                                                            verify::RunPlan& plan,
                                                            const QDate& today, std::string& error);
// "DATE in RUN", as a run states where the contributions it took come from.
std::string contributionsOrigin(const MeasuredContributions& measured);
// What a run's sub-tests measured, entered for its tool on `today`; true at once for a run that
// measured none.
bool enterRunContributions(const std::string& home, const verify::VerificationRun& run,
                           const QDate& today, std::string& error);

}  // namespace vornex
