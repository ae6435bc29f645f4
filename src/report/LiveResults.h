#pragma once

#include <array>
#include <memory>
#include <optional>
#include <vector>

#include "judge/InstrumentJudge.h"
#include "record/CompanionFile.h"
#include "record/CurveTable.h"
#include "report/TestResults.h"

namespace vornex {

// The judging of the curves shown, kept up to date point by point while a test records: each
// instrument's events, verdicts and statistics, judged with the settings of the test's companion
// file (or the overrides). A change of an instrument's settings or of the overrides judges its
// curve again from its first point shown.
class LiveResults {
public:
    // Forgets every instrument: the curves hold another test now.
    void reset();
    void setOverrides(const JudgeOverrides& overrides);

    // Takes the points added to `curves` since the last call. `companion` may be null. True when
    // an instrument's events or settings changed.
    bool update(const CurveTable& curves, const Companion* companion);
    // The test has ended: events still on are judged as cut by its end.
    bool finish();

    // Slaves judged so far, in address order.
    std::vector<int> slaves() const;
    const judge::InstrumentJudge* judgeOf(int slave) const;
    const InstrumentSettings* settingsOf(int slave) const;

private:
    struct Slot {
        std::unique_ptr<judge::InstrumentJudge> judge;
        std::optional<InstrumentSettings> settings;
        uint32_t taken = 0;
        double largest = 0.0;        // magnitude of every point taken
        double judgedLargest = 0.0;  // as it was when the judge was made
    };
    bool judgeSlot(int slot, const CurveTable& curves, const InstrumentSettings* settings);

    std::array<Slot, kCurveSlots> slots_;
    JudgeOverrides overrides_;
    bool overridesChanged_ = false;
};

}  // namespace vornex
