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
    // Index of the settings in force at its peak, in the judge's timeline; its peak is in their
    // unit.
    size_t settings = 0;
};

// How to judge one instrument from test time `since` on: the threshold at which events start,
// the band peaks must fall in (none: verdicts are none) and the decimals its values are read and
// shown with, all in the unit its values are in then. `unit` tells units apart: a pull during
// which it changed was not measured in one unit. `toLast` turns a value in this unit into the
// unit of the last settings, in which the statistics are computed.
struct JudgeSettings {
    double threshold = 0.0;
    std::optional<Band> band;
    int decimals = 3;
    double since = 0.0;
    unsigned unit = 0;
    double toLast = 1.0;
};

// The threshold for an instrument: the one given, else 5 % of its range, else (range unknown)
// 5 % of the largest magnitude it recorded; 0 when none of these is above 0.
double thresholdFor(std::optional<double> given, double range, double largestMagnitude);

// Judges one instrument's curve point by point: its events, their verdicts, counts and statistics.
// Only complete events are judged and counted in the statistics; incomplete ones are listed with
// their peak and the verdict Incomplete. Settings may change during the test: each event is judged
// with those in force at its peak, and an event on while the unit changed is incomplete.
class InstrumentJudge {
public:
    explicit InstrumentJudge(const JudgeSettings& settings);
    // Settings in time order; the first holds from the start of the test, whatever its `since`.
    explicit InstrumentJudge(std::vector<JudgeSettings> timeline);

    // The event this point ended, judged, if it ended one.
    const JudgedEvent* add(double time, double value);
    // The end of the test: an event still on is listed as incomplete.
    const JudgedEvent* finish();
    // The event still on, as finish() would list it; nothing when none is on.
    std::optional<JudgedEvent> pending() const;

    // The settings in force at the end of the test.
    const JudgeSettings& settings() const { return timeline_.back(); }
    const std::vector<JudgeSettings>& timeline() const { return timeline_; }
    const std::vector<JudgedEvent>& events() const { return events_; }
    size_t count(Verdict verdict) const;
    Statistics statistics() const;
    // The peak magnitudes the statistics are taken over, in time order and the last unit.
    const std::vector<double>& magnitudes() const { return magnitudes_; }

private:
    const JudgedEvent* judge(const Event& event);
    // Index of the settings in force at `time`.
    size_t settingsAt(double time) const;

    std::vector<JudgeSettings> timeline_;
    size_t now_ = 0;  // index of the settings in force at the last point
    EventDetector detector_;
    bool cutByUnit_ = false;  // the unit changed while the event now on was on
    std::vector<JudgedEvent> events_;
    std::vector<double> magnitudes_;  // of the complete events
};

}  // namespace vornex::judge
