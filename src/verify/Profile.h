#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/ParseProblem.h"
#include "verify/DeviationTable.h"

namespace vornex::verify {

// A guided sub-test of a calibration: `series` series of `readings` pulls each, under one
// changed condition per series (the drive turned, another interface, another loading point).
struct Subtest {
    int series = 0;
    int readings = 0;
};

// The decision rule a calibration may state: the point's relative uncertainty interval W' within
// the permissible deviation.
constexpr const char* kUncertaintyDecisionRule = "W' <= permissible";

// How a tool is verified: where, how often and how hard it is applied, and how far it may be off.
struct Profile {
    std::string name;
    std::string standard;                     // what a conforming tool conforms to
    std::vector<double> points{20, 60, 100};  // percent of the tool's maximum, ascending
    int readings = 5;                         // per point
    int preloads = 3;                         // at the maximum, before the first point
    std::string direction = "clockwise";      // clockwise, counterclockwise or both
    double temperatureMin = 18.0;  // the ambient conditions readings are taken in, in degC
    double temperatureMax = 28.0;
    double humidityMax = 90.0;                                          // percent relative humidity
    DeviationTable deviations = standardDeviationTable("II");           // setting tools
    DeviationTable indicatingDeviations = standardDeviationTable("I");  // indicating tools
    // A pull from 80 % of its point to its peak in less time is loaded too fast, in seconds.
    double loadingMin = 0.5;
    std::string decisionRule;  // empty, or kUncertaintyDecisionRule
    // The sub-tests of a calibration's uncertainty budget, taken at `subtestPoint` (percent of
    // the maximum; unset: the lowest point). A tool's contributions measured within
    // `subtestsValidMonths` (0: never) may be taken instead of measuring them again.
    Subtest reproducibility{4, 5};
    Subtest outputDrive{4, 10};
    Subtest interface { 4, 10 };
    Subtest loadingPoint{2, 5};
    std::optional<double> subtestPoint;
    int subtestsValidMonths = 0;
};

// A profile whose standard is a calibration with its measurement uncertainty (ISO 6789-2), not a
// declaration of conformance.
bool calibrates(const Profile& profile);
bool calibrates(const std::string& standard);

// A profile, or why it was refused: the line at fault (0 when no one line is) and the problem.
struct ProfileRead {
    std::optional<Profile> profile;
    ParseProblem problem;
};

// Reads a profile file's text: [Profile] with Name, Points, Readings and Preloads (and optionally
// Standard, Direction, TemperatureMin, TemperatureMax, HumidityMax, LoadingMin, DecisionRule,
// Reproducibility, OutputDrive, Interface and LoadingPoint as "SERIES, READINGS", SubtestPoint,
// SubtestsValidMonths), and optionally [Deviation] (setting tools) and [Deviation I] (indicating
// tools) with one row per class, "CLASS = ABOVE, AT_OR_BELOW, LIMIT" (percent, percent, N.m), each
// replacing its standard table. Anything else is refused.
ProfileRead parseProfile(const std::string& text);
// The text parseProfile reads back as the same profile.
std::string profileText(const Profile& profile);

// "ISO 6789-1 conformance" and "ISO 6789-2 calibration".
const std::vector<Profile>& builtInProfiles();

// A profile by name or file: a text holding "/" or ending in ".ini" is a file; a name is the file
// NAME.ini in `folder` when there is one, else the built-in profile of that name. A file is read
// as readIniFile reads it: a regular file of bounded size, never waited on.
ProfileRead loadProfile(const std::string& folder, const std::string& nameOrFile);
// Writes each built-in profile that `folder` does not hold yet as NAME.ini, for the lab to copy
// and edit; false when the folder or a file cannot be written.
bool writeBuiltInProfiles(const std::string& folder);

}  // namespace vornex::verify
