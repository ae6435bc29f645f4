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

Taken RunProgress::take(double peak) {
    const Step step = next();
    Taken taken;
    const double value = plan_.shown(std::fabs(peak));
    if (step.kind != Step::Kind::Reading) {
        ++preloadsDone_;
        taken.reading.value = value;
        taken.reading.number = step.number;
        return taken;
    }
    Reading& r = taken.reading;
    r.point = step.point;
    r.number = step.number;
    r.setting = plan_.setting(step.point);
    r.value = value;
    r.deviation = deviationPercent(r.setting, value);
    r.conforms = value > 0.0 && conformsTo(r.deviation, plan_.permissible);
    r.slip = isSlip(r.setting, value);
    if (r.slip && plan_.slips == SlipPolicy::Repeat) {
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
