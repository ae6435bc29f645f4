#include "record/CurveTable.h"

#include <algorithm>
#include <cmath>

namespace vornex {

std::optional<int> CurveTable::add(const CurvePoint& point) {
    if (!hasCurveSlot(point.slave))
        return std::nullopt;
    const auto slot = static_cast<size_t>(point.slave - 1);
    auto& curve = slots_[slot];
    if (!curve)
        curve = std::make_unique<CurvePoint[]>(kLength);
    if (sizes_[slot] == kLength) {
        sizes_[slot] = 0;
        wrapped_[slot] = true;
    }
    curve[sizes_[slot]++] = point;
    if (std::isfinite(point.time) && (!first_ || point.time < *first_))
        first_ = point.time;
    return static_cast<int>(slot);
}

void CurveTable::clear() {
    sizes_.fill(0);
    wrapped_.fill(false);
    first_.reset();
}

std::optional<TimeRange> CurveTable::window(int slot) const {
    const auto s = static_cast<size_t>(slot);
    if (sizes_[s] == 0 || !first_)
        return std::nullopt;
    const double upper = newest(slot).time;
    if (!(upper - *first_ > kFixedSpan))
        return TimeRange{*first_, *first_ + kFixedSpan};
    double lower = *first_;
    const uint32_t newestIndex = sizes_[s] - 1;
    if (newestIndex >= kFollowedPoints)
        lower = curve(slot)[newestIndex - kFollowedPoints].time;
    else if (wrapped_[s])
        lower = curve(slot)[kLength + newestIndex - kFollowedPoints].time;
    if (!(lower < upper))
        return std::nullopt;
    return TimeRange{lower, upper};
}

std::optional<TimeRange> CurveTable::extent() const {
    std::optional<TimeRange> range;
    for (int slot = 0; slot < kCurveSlots; ++slot) {
        const CurvePoint* points = curve(slot);
        for (uint32_t i = 0; i < size(slot); ++i) {
            const double t = points[i].time;
            if (!std::isfinite(t))
                continue;
            if (!range)
                range = TimeRange{t, t};
            range->lower = std::min(range->lower, t);
            range->upper = std::max(range->upper, t);
        }
    }
    return range;
}

}  // namespace vornex
