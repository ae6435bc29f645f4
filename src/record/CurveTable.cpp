#include "record/CurveTable.h"

namespace vornex {

CurveTable::CurveTable() {
    slots_[0] = std::make_unique<CurvePoint[]>(kLength);
    resetOrigin();
}

std::optional<int> CurveTable::add(const CurvePoint& point) {
    if (!hasCurveSlot(point.slave))
        return std::nullopt;
    const auto slot = static_cast<size_t>(point.slave - 1);
    auto& curve = slots_[slot];
    if (!curve) {
        curve = std::make_unique<CurvePoint[]>(kLength);
        latest_[slot] = 0;
    } else {
        latest_[slot] = latest_[slot] + 1 == kLength ? 0 : latest_[slot] + 1;
    }
    curve[latest_[slot]] = point;
    return static_cast<int>(slot);
}

void CurveTable::resetOrigin() {
    slots_[0][0] = CurvePoint{0.0, 0.0, 1, {}};
    latest_[0] = 0;
}

void CurveTable::resetIndices() {
    latest_.fill(0);
}

std::optional<TimeRange> CurveTable::window(int slot) const {
    const CurvePoint* points = curve(slot);
    const uint32_t k = latestIndex(slot);
    const double upper = points[k].time;
    if (!(upper - slots_[0][0].time > kFixedSpan))
        return std::nullopt;
    const double lower = points[k >= kFollowedPoints ? k - kFollowedPoints : 0].time;
    if (!(lower < upper))
        return std::nullopt;
    return TimeRange{lower, upper};
}

}  // namespace vornex
