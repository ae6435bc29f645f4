#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "record/CurvePoint.h"

namespace vornex {

// A visible range of the time axis.
struct TimeRange {
    double lower = 0.0;
    double upper = 0.0;
};

// The curves of one test, one per slave address, each a fixed ring of points allocated the first
// time its slave shows up and kept when the curves are cleared for the next test. A curve is
// shown as its points 0 .. size - 1, in the order they were written.
class CurveTable {
public:
    static constexpr uint32_t kLength = 18000;
    // The time axis shows at least this span from the test's first point on.
    static constexpr double kFixedSpan = 20.0;
    // Past that span, the axis follows the newest this many points of the curve last updated.
    static constexpr uint32_t kFollowedPoints = 100;

    // Stores a point in its slave's curve and returns the slot (slave - 1), or nothing for a slave
    // without a slot (0 or above 30). A full curve starts again at index 0 and then shows only
    // the points written since.
    std::optional<int> add(const CurvePoint& point);

    // Every curve empty and no first point: the table holds no test.
    void clear();

    // Points shown of a slot's curve; 0 while it is empty.
    uint32_t size(int slot) const { return sizes_[static_cast<size_t>(slot)]; }
    // Nullptr while the slot has no curve yet.
    const CurvePoint* curve(int slot) const { return slots_[static_cast<size_t>(slot)].get(); }
    // The point written last to a slot with size() > 0.
    const CurvePoint& newest(int slot) const { return curve(slot)[size(slot) - 1]; }

    // Where the time axis goes after a point of `slot` was stored: from the test's first point
    // over at least 20 s; once the newest point lies further on, from the point 100 back up to
    // the newest (from the test's first point while the curve has fewer). Nothing while the
    // slot is empty.
    std::optional<TimeRange> window(int slot) const;

    // From the earliest to the latest time of every point stored since the table was cleared,
    // those of curves that started again included; nothing when none was (times that are not
    // finite numbers are left out).
    std::optional<TimeRange> extent() const { return extent_; }

private:
    std::array<std::unique_ptr<CurvePoint[]>, kCurveSlots> slots_;
    std::array<uint32_t, kCurveSlots> sizes_{};
    // A wrapped curve still holds its older points behind the ones shown.
    std::array<bool, kCurveSlots> wrapped_{};
    // Time of the earliest point stored since the table was cleared.
    std::optional<double> first_;
    std::optional<TimeRange> extent_;
};

}  // namespace vornex
