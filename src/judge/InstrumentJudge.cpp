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
    : InstrumentJudge(std::vector<JudgeSettings>{settings}) {}

InstrumentJudge::InstrumentJudge(std::vector<JudgeSettings> timeline)
    : timeline_(timeline.empty() ? std::vector<JudgeSettings>(1) : std::move(timeline)),
      detector_(timeline_.front().threshold) {}

const JudgedEvent* InstrumentJudge::add(double time, double value) {
    if (std::isfinite(time) && now_ + 1 < timeline_.size() && time >= timeline_[now_ + 1].since) {
        const size_t next = settingsAt(time);
        cutByUnit_ =
            cutByUnit_ || (detector_.current() && timeline_[next].unit != timeline_[now_].unit);
        now_ = next;
        detector_.setThreshold(timeline_[now_].threshold);
    }
    // Without a threshold every reading would be one endless event.
    if (!(timeline_[now_].threshold > 0.0))
        return nullptr;
    const std::optional<Event> ended = detector_.add(time, value);
    return ended ? judge(*ended) : nullptr;
}

size_t InstrumentJudge::settingsAt(double time) const {
    const auto later =
        std::upper_bound(timeline_.begin() + 1, timeline_.end(), time,
                         [](double t, const JudgeSettings& s) { return t < s.since; });
    return static_cast<size_t>(later - timeline_.begin()) - 1;
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
    open.settings = settingsAt(open.event.peakTime);
    return open;
}

size_t InstrumentJudge::count(Verdict verdict) const {
    return static_cast<size_t>(
        std::count_if(events_.begin(), events_.end(),
                      [verdict](const JudgedEvent& e) { return e.verdict == verdict; }));
}

Statistics InstrumentJudge::statistics() const {
    return statisticsOf(magnitudes_, settings().band, settings().decimals);
}

const JudgedEvent* InstrumentJudge::judge(const Event& event) {
    JudgedEvent judged;
    judged.number = static_cast<int>(events_.size()) + 1;
    judged.event = event;
    judged.settings = settingsAt(event.peakTime);
    const bool cut = cutByUnit_;
    cutByUnit_ = false;
    if (event.complete && !cut) {
        const JudgeSettings& in = timeline_[judged.settings];
        judged.verdict = verdictOf(event.peak, in.band, in.decimals);
        magnitudes_.push_back(std::fabs(event.peak) * in.toLast);
    } else {
        judged.verdict = Verdict::Incomplete;
    }
    events_.push_back(judged);
    return &events_.back();
}

}  // namespace vornex::judge
