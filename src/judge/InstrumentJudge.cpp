#include "judge/InstrumentJudge.h"

#include <algorithm>
#include <cmath>

namespace vornex::judge {

double thresholdFor(std::optional<double> given, double range, double largestMagnitude) {
    if (given && *given > 0.0)
        return *given;
    const double basis = range > 0.0 ? range : largestMagnitude;
    return basis > 0.0 && std::isfinite(basis) ? kThresholdShare * basis : 0.0;
}

InstrumentJudge::InstrumentJudge(const JudgeSettings& settings)
    : settings_(settings), detector_(settings.threshold) {}

const JudgedEvent* InstrumentJudge::add(double time, double value) {
    // Without a threshold every reading would be one endless event.
    if (!(settings_.threshold > 0.0))
        return nullptr;
    const std::optional<Event> ended = detector_.add(time, value);
    return ended ? judge(*ended) : nullptr;
}

const JudgedEvent* InstrumentJudge::finish() {
    const std::optional<Event> cut = detector_.finish();
    return cut ? judge(*cut) : nullptr;
}

std::optional<JudgedEvent> InstrumentJudge::pending() const {
    if (!detector_.current())
        return std::nullopt;
    JudgedEvent open;
    open.number = static_cast<int>(events_.size()) + 1;
    open.event = *detector_.current();
    open.verdict = Verdict::Incomplete;
    return open;
}

size_t InstrumentJudge::count(Verdict verdict) const {
    return static_cast<size_t>(
        std::count_if(events_.begin(), events_.end(),
                      [verdict](const JudgedEvent& e) { return e.verdict == verdict; }));
}

Statistics InstrumentJudge::statistics() const {
    return statisticsOf(magnitudes_, settings_.band, settings_.decimals);
}

const JudgedEvent* InstrumentJudge::judge(const Event& event) {
    JudgedEvent judged;
    judged.number = static_cast<int>(events_.size()) + 1;
    judged.event = event;
    if (event.complete) {
        judged.verdict = verdictOf(event.peak, settings_.band, settings_.decimals);
        magnitudes_.push_back(std::fabs(event.peak));
    } else {
        judged.verdict = Verdict::Incomplete;
    }
    events_.push_back(judged);
    return &events_.back();
}

}  // namespace vornex::judge
