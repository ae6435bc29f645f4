#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "judge/EventDetector.h"
#include "judge/JudgeRules.h"
#include "judge/PeakStatistics.h"

namespace vornex::judge {

// An event with its verdict; `number` counts from 1 in the order the events ended.
struct JudgedEvent {
    int number = 0;
    Event event;
    Verdict verdict = Verdict::None;
};

// How to judge one instrument: the threshold at which events start, the band peaks must fall in
// (none: verdicts are none) and the decimals its values are read and shown with.
struct JudgeSettings {
    double threshold = 0.0;
    std::optional<Band> band;
    int decimals = 3;
};

// The threshold for an instrument: the one given, else 5 % of its range, else (range unknown)
// 5 % of the largest magnitude it recorded; 0 when none of these is above 0.
double thresholdFor(std::optional<double> given, double range, double largestMagnitude);

// Judges one instrument's curve point by point: its events, their verdicts, counts and statistics.
// Only complete events are judged and counted in the statistics; incomplete ones are listed with
// their peak and the verdict Incomplete.
class InstrumentJudge {
public:
    explicit InstrumentJudge(const JudgeSettings& settings);

    // The event this point ended, judged, if it ended one.
    const JudgedEvent* add(double time, double value);
    // The end of the test: an event still on is listed as incomplete.
    const JudgedEvent* finish();
    // The event still on, as finish() would list it; nothing when none is on.
    std::optional<JudgedEvent> pending() const;

    const JudgeSettings& settings() const { return settings_; }
    const std::vector<JudgedEvent>& events() const { return events_; }
    size_t count(Verdict verdict) const;
    Statistics statistics() const;

private:
    const JudgedEvent* judge(const Event& event);

    JudgeSettings settings_;
    EventDetector detector_;
    std::vector<JudgedEvent> events_;
    std::vector<double> magnitudes_;  // of the complete events
};

}  // namespace vornex::judge
