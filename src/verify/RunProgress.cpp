#include "verify/RunProgress.h"

#include <algorithm>
#include <cmath>

namespace vornex::verify {

const char* directionName(Direction direction) {
    return direction == Direction::Clockwise ? "clockwise" : "counterclockwise";
}

RunProgress::RunProgress(RunPlan plan)
    : plan_(std::move(plan)),
      series_(plan_.series()),
      preloadsDone_(series_.size(), 0),
      taken_(series_.size(), 0) {}

Step RunProgress::next() const {
    const auto perPoint = static_cast<size_t>(plan_.readings);
    for (size_t s = 0; s < series_.size(); ++s) {
        if (preloadsDone_[s] < plan_.preloads)
            return {Step::Kind::Preload, 0, preloadsDone_[s] + 1, s, series_[s]};
        const size_t taken = taken_[s];
        if (taken < perPoint * plan_.points.size())
            return {Step::Kind::Reading, taken / perPoint, static_cast<int>(taken % perPoint) + 1,
                    s, series_[s]};
    }
    return {};
}

Reading RunProgress::peek(double peak, const PullFacts& facts) const {
    const Step step = next();
    Reading r;
    r.number = step.number;
    r.value = plan_.shown(std::fabs(peak));
    r.direction = step.direction;
    r.loading = facts.loading;
    if (step.kind != Step::Kind::Reading)
        return r;
    r.point = step.point;
    // An indicating tool is judged by what it showed against the reference.
    r.setting = plan_.indicating() && facts.indicated ? plan_.shown(*facts.indicated)
                                                      : plan_.setting(step.point);
    r.deviation = deviationPercent(r.setting, r.value);
    r.conforms = r.value > 0.0 && conformsTo(r.deviation, plan_.permissible);
    r.slip = verify::isSlip(r.setting, r.value);
    return r;
}

bool RunProgress::isSlip(double peak) const {
    return peek(peak).slip;
}

Taken RunProgress::take(double peak, std::optional<SlipPolicy> answer, const PullFacts& facts) {
    const Step step = next();
    Taken taken;
    taken.reading = peek(peak, facts);
    if (step.kind == Step::Kind::Done)
        return taken;
    if (step.kind != Step::Kind::Reading) {
        ++preloadsDone_[step.series];
        return taken;
    }
    const Reading& r = taken.reading;
    if (r.slip && answer.value_or(plan_.slips) == SlipPolicy::Repeat) {
        taken.kind = Taken::Kind::SlipRepeated;
        return taken;
    }
    taken.kind = Taken::Kind::Reading;
    taken.endsPoint = step.number == plan_.readings;
    readings_.push_back(r);
    ++taken_[step.series];
    return taken;
}

PointSummary RunProgress::summary(size_t point) const {
    return summary(point, series_.front());
}

PointSummary RunProgress::summary(size_t point, Direction direction) const {
    std::vector<double> values;
    double indicated = 0.0;
    for (const Reading& r : readings_) {
        if (r.point == point && r.direction == direction) {
            values.push_back(r.value);
            indicated += r.setting;
        }
    }
    const double setting = plan_.indicating() && !values.empty()
                               ? indicated / static_cast<double>(values.size())
                               : plan_.setting(point);
    return summarize(setting, values);
}

bool RunProgress::conforms() const {
    return std::all_of(readings_.begin(), readings_.end(),
                       [](const Reading& r) { return r.conforms; });
}

}  // namespace vornex::verify
