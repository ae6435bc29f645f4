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
    if (std::isfinite(point.time)) {
        if (!first_ || point.time < *first_)
            first_ = point.time;
        extent_ = TimeRange{*first_, extent_ ? std::max(extent_->upper, point.time) : point.time};
    }
    return static_cast<int>(slot);
}

void CurveTable::clear() {
    sizes_.fill(0);
    wrapped_.fill(false);
    first_.reset();
    extent_.reset();
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

}  // namespace vornex
