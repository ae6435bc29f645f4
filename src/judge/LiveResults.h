#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "judge/InstrumentJudge.h"
#include "judge/TestResults.h"
#include "record/CompanionFile.h"
#include "record/CurveTable.h"

namespace vornex {

// The judging of the curves shown, kept up to date point by point while a test records: each
// instrument's events, verdicts and statistics, judged with the settings history of the test's
// companion file (or the overrides) by the same judge as the report. A change of an instrument's
// settings or of the overrides judges its curve again from the test's first point: every point
// taken is kept, since the curve table holds only the newest of them.
class LiveResults {
public:
    // Forgets every instrument: the curves hold another test now.
    void reset();
    void setOverrides(const JudgeOverrides& overrides);

    // Takes the points added to `curves` since the last call. `companion` may be null. True when
    // an instrument's events or settings changed. While `recording`, a threshold guessed from the
    // largest magnitude is set again only when that has doubled; once it stops, whenever it
    // differs, so that the results are the report's.
    bool update(const CurveTable& curves, const Companion* companion, bool recording);
    // Judges the saved test at `path` whole, as its report does, and counts the points that
    // loading it put into `curves` as taken. What cannot be read of the file is left out: loading
    // the test into the curves has said why.
    void load(const std::string& path, const CurveTable& curves, const Companion* companion);

    // Slaves judged so far, in address order.
    std::vector<int> slaves() const;
    const judge::InstrumentJudge* judgeOf(int slave) const;
    // The settings in force at the end of what was judged; null without.
    const InstrumentSettings* settingsOf(int slave) const;

private:
    using History = std::vector<InstrumentSettings>;
    struct Slot {
        std::unique_ptr<judge::InstrumentJudge> judge;
        History history;  // the companion file's, empty without
        std::vector<double> times;
        std::vector<double> values;
        uint32_t taken = 0;          // points of the curve table's ring taken
        double largest = 0.0;        // magnitude of every point taken
        double judgedLargest = 0.0;  // as it was when the judge was made
    };
    bool judgeSlot(int slot, size_t firstNew, const History* history, bool recording);
    static const History* historyIn(const Companion* companion, int slave);

    std::array<Slot, kCurveSlots> slots_;
    JudgeOverrides overrides_;
    bool overridesChanged_ = false;
};

}  // namespace vornex
