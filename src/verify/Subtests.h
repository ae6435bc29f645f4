#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "verify/Profile.h"
#include "verify/UncertaintyBudget.h"

namespace vornex::verify {

// The sub-tests of a calibration's uncertainty budget, in the order they are taken: the tool
// fitted again (reproducibility), its output drive turned, another interface, the force applied
// off the mark.
enum class SubtestKind { Reproducibility, OutputDrive, Interface, LoadingPoint };

// "reproducibility", "output-drive", "interface", "loading-point", as run files name them.
const char* subtestName(SubtestKind kind);
std::optional<SubtestKind> subtestNamed(std::string_view name);
// What the operator does before series `series` (from 1) of `count`.
std::string subtestInstruction(SubtestKind kind, int series, int count);

// The field of `contributions` a sub-test's span goes in.
std::optional<double>& contributionOf(Contributions& contributions, SubtestKind kind);

struct SubtestPlan {
    SubtestKind kind = SubtestKind::Reproducibility;
    Subtest counts;
};
// The profile's sub-tests, all four in their order.
std::vector<SubtestPlan> subtestPlans(const Profile& profile);

// The pull asked for next: reading `number` (from 1) of series `series` (from 1) of a sub-test.
struct SubtestStep {
    SubtestKind kind = SubtestKind::Reproducibility;
    int series = 1, seriesCount = 1;
    int number = 1, readings = 1;
};

// A sub-test's reading: the reference's peak at the sub-test's setting, not judged.
struct SubtestReading {
    SubtestKind kind = SubtestKind::Reproducibility;
    int series = 1;
    int number = 1;
    double setting = 0.0;
    double value = 0.0;
};

// Where a calibration's sub-tests stand: each sub-test's series in turn, each series its
// readings, all at one setting. A sub-test's contribution is the span of its series' means, known
// once its last series is in.
class SubtestProgress {
public:
    SubtestProgress(std::vector<SubtestPlan> plans, double setting);

    std::optional<SubtestStep> next() const;
    // The peak taken for the step asked for; the sub-test's span when it was its last reading.
    std::optional<double> take(double peak);
    // Readings taken before, as a run file holds them, in their order.
    void replay(const SubtestReading& reading) { take(reading.value); }

    double setting() const { return setting_; }
    const std::vector<SubtestReading>& readings() const { return readings_; }
    // The spans of the sub-tests finished so far.
    Contributions contributions() const;
    bool done() const { return !next(); }

private:
    std::vector<double> seriesMeans(SubtestKind kind) const;

    std::vector<SubtestPlan> plans_;
    double setting_ = 0.0;
    std::vector<SubtestReading> readings_;
};

// The run file's and the tool's lines of the sub-tests:
//   series NAME S of N: INSTRUCTION
//   apply SET UNIT series NAME S reading K of N
//   reading NAME S K SET VALUE
//   contribution NAME SPAN UNIT
std::string seriesLine(const SubtestStep& step);
std::string subtestApplyLine(const SubtestStep& step, const std::string& setting,
                             const std::string& unit);
std::string subtestReadingLine(const SubtestReading& reading, int decimals);
std::string contributionLine(SubtestKind kind, double span, int decimals, const std::string& unit);
// A run file event's text read back as a sub-test's reading; nothing for any other event.
std::optional<SubtestReading> parseSubtestReading(const std::string& text);
// A "contribution NAME SPAN UNIT" event's text read back into its field of `into`; false for any
// other event.
bool parseContributionLine(const std::string& text, Contributions& into);

// The header's words for a run's sub-tests ("reproducibility 4x5 output-drive 4x10", "none") and
// back; nothing when the words are none of these.
std::string subtestPlansText(const std::vector<SubtestPlan>& plans);
std::optional<std::vector<SubtestPlan>> parseSubtestPlans(const std::string& text);

}  // namespace vornex::verify
