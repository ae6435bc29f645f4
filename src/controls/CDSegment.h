#pragma once

#include <cstdint>
#include <initializer_list>
#include <vector>

namespace vornex {

// A point on the integer grid that all LED cells are laid out on (y grows downward).
struct GridPoint {
    int32_t x;
    int32_t y;
    bool operator==(const GridPoint& o) const { return x == o.x && y == o.y; }
};

// One segment outline of an LED cell: a figure of grid points, each tagged with how the path
// reaches it.
class CDSegment {
public:
    static constexpr uint8_t kMoveTo = 6;
    static constexpr uint8_t kLineTo = 2;

    CDSegment() = default;
    // A closed figure: a move to the first point, then lines through the others.
    static CDSegment Figure(std::initializer_list<GridPoint> outline);

    // x -> cellWidth - 1 - x: the outline seen in a vertical mirror.
    CDSegment Mirrored(int32_t cellWidth) const;
    // y -> 82 - y: the outline turned upside down.
    CDSegment Flipped() const;

    const std::vector<GridPoint>& points() const { return points_; }
    const std::vector<uint8_t>& codes() const { return codes_; }
    int count() const { return static_cast<int>(points_.size()); }

private:
    std::vector<GridPoint> points_;
    std::vector<uint8_t> codes_;
};

}  // namespace vornex
