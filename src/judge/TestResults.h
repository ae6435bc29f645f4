#pragma once

#include <optional>
#include <string>
#include <vector>

#include "files/FileResult.h"
#include "judge/InstrumentJudge.h"
#include "record/CompanionFile.h"
#include "record/CurvePoint.h"

namespace vornex {

// What the user gives instead of the companion file: a threshold, and a target with limits for
// every instrument (in the unit recorded, limits in percent of the range).
struct JudgeOverrides {
    std::optional<double> threshold;
    std::optional<double> target;
    double upper = 0.0;
    double lower = 0.0;
};

// How one instrument is judged: from its settings when the companion file names them, else from
// the overrides alone. Without a known range, the range counts as the largest magnitude recorded.
judge::JudgeSettings judgeSettingsFor(const InstrumentSettings* settings,
                                      const JudgeOverrides& overrides, double largestMagnitude);
// The same for each of an instrument's settings changes (none: judged without settings), each in
// its own unit, with the factor into the unit it ended with.
std::vector<judge::JudgeSettings> judgeTimelineFor(const std::vector<InstrumentSettings>* history,
                                                   const JudgeOverrides& overrides,
                                                   double largestMagnitude);

// One instrument of a judged test.
struct InstrumentResult {
    // Decimals of an instrument without recorded settings.
    static constexpr int kDecimals = 3;

    int slave = 0;
    std::optional<InstrumentSettings> settings;  // from the companion file, in force at the end
    // Every settings section of the companion file in time order; the last is `settings`.
    std::vector<InstrumentSettings> history;
    InstrumentIdentity identity;
    // Why the companion file's settings for it were not believed; empty when they were or there
    // are none.
    std::string refusal;
    judge::JudgeSettings judged;  // as in force at the end
    std::vector<judge::JudgedEvent> events;
    size_t pass = 0;
    size_t low = 0;
    size_t high = 0;
    size_t incomplete = 0;
    judge::Statistics statistics;
    // The complete pulls' peak magnitudes the statistics are taken over, in time order, in the
    // unit of `judged`.
    std::vector<double> magnitudes;

    // The unit's name, "-" when not known.
    std::string unitName() const;
    // Decimals of values: the instrument's, or kDecimals when not known.
    int decimals() const;
    // The unit and decimals of an event's peak: those of the settings in force at its peak.
    std::string unitNameOf(const judge::JudgedEvent& event) const;
    int decimalsOf(const judge::JudgedEvent& event) const;
};

// A judged test file: every slave with records, in address order, and its curves for drawing.
struct TestResults {
    std::string path;
    std::string name;     // the file's name without ".pdat"
    std::string started;  // from the companion file, else empty
    bool hasCompanion = false;
    // Every refusal of the companion file's contents, one line each; see CompanionRead.
    std::vector<std::string> refusals;
    TestTrace trace;     // from the companion file
    std::string sha256;  // of the file as it was read, hex
    std::vector<InstrumentResult> instruments;
    std::vector<std::vector<CurvePoint>> curves;  // one per instrument, in the same order
};

// A judged test file.
struct JudgedFile {
    TestResults results;  // empty when the file cannot be read
    FileResult file;
};

JudgedFile judgeTestFile(const std::string& path, const JudgeOverrides& overrides);

}  // namespace vornex
