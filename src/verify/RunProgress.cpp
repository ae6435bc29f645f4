#include "verify/RunProgress.h"

#include <algorithm>
#include <cmath>

namespace vornex::verify {

Step RunProgress::next() const {
    if (preloadsDone_ < plan_.preloads)
        return {Step::Kind::Preload, 0, preloadsDone_ + 1};
    const size_t taken = readings_.size();
    const auto perPoint = static_cast<size_t>(plan_.readings);
    if (taken >= perPoint * plan_.points.size())
        return {};
    return {Step::Kind::Reading, taken / perPoint, static_cast<int>(taken % perPoint) + 1};
}

Reading RunProgress::peek(double peak) const {
    const Step step = next();
    Reading r;
    r.number = step.number;
    r.value = plan_.shown(std::fabs(peak));
    if (step.kind != Step::Kind::Reading)
        return r;
    r.point = step.point;
    r.setting = plan_.setting(step.point);
    r.deviation = deviationPercent(r.setting, r.value);
    r.conforms = r.value > 0.0 && conformsTo(r.deviation, plan_.permissible);
    r.slip = verify::isSlip(r.setting, r.value);
    return r;
}

bool RunProgress::isSlip(double peak) const {
    return peek(peak).slip;
}

Taken RunProgress::take(double peak, std::optional<SlipPolicy> answer) {
    const Step step = next();
    Taken taken;
    taken.reading = peek(peak);
    if (step.kind != Step::Kind::Reading) {
        ++preloadsDone_;
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
    return taken;
}

PointSummary RunProgress::summary(size_t point) const {
    std::vector<double> values;
    for (const Reading& r : readings_) {
        if (r.point == point)
            values.push_back(r.value);
    }
    return summarize(plan_.setting(point), values);
}

bool RunProgress::conforms() const {
    return std::all_of(readings_.begin(), readings_.end(),
                       [](const Reading& r) { return r.conforms; });
}

}  // namespace vornex::verify
