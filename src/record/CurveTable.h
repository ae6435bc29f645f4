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

// Thirty curves, one per slave address, each a fixed ring of points allocated the first time its
// slave shows up and never again. A curve is shown as its points 0 .. latest index - 1.
class CurveTable {
public:
    static constexpr uint32_t kLength = 18000;
    // Once a curve reaches this far past slave 1's first point, the time axis follows it.
    static constexpr double kFixedSpan = 20.0;
    static constexpr uint32_t kFollowedPoints = 100;

    // Slave 1's curve exists from the start, holding the origin (0, 0) at index 0.
    CurveTable();

    // Stores a point in its slave's curve and returns the slot (slave - 1), or nothing for a slave
    // without a slot (0 or above 30). A new curve starts at index 0, except slave 1's, whose index
    // 0 holds the origin; after that every point goes one further, wrapping to 0 after the last.
    std::optional<int> add(const CurvePoint& point);

    // Slave 1's curve back to the bare origin, with its latest index 0.
    void resetOrigin();

    // All latest indices back to 0; the points stay.
    void resetIndices();

    uint32_t latestIndex(int slot) const { return latest_[static_cast<size_t>(slot)]; }
    // Nullptr while the slot has no curve yet.
    const CurvePoint* curve(int slot) const { return slots_[static_cast<size_t>(slot)].get(); }
    const CurvePoint& newest(int slot) const { return curve(slot)[latestIndex(slot)]; }

    // Where the time axis goes after the newest point of `slot` was stored: nothing while that
    // point is within the first 20 s after slave 1's first point; else from the point 100 back,
    // or the curve's index 0 when fewer are shown, up to the newest point. Nothing either when
    // that range would be empty (a curve of one point), so the axis never collapses.
    std::optional<TimeRange> window(int slot) const;

private:
    std::array<std::unique_ptr<CurvePoint[]>, kCurveSlots> slots_;
    std::array<uint32_t, kCurveSlots> latest_{};
};

}  // namespace vornex
