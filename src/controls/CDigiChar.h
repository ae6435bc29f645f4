#pragma once

#include <QBrush>
#include <QPen>
#include <QPoint>
#include <QRectF>
#include <cstdint>
#include <vector>

#include "controls/CDSegment.h"

class QPainter;

namespace vornex {

// Pen and brush that one state (lit or unlit) of a segment is drawn with.
struct SegmentInk {
    QPen pen;
    QBrush brush;
};

// One character cell of an LED display: a fixed set of segment outlines on the grid and the mask
// of those that are lit.
class CDigiChar {
public:
    virtual ~CDigiChar() = default;

    // Rebuilds the kind's segments in index order and takes the lit mask (bit i lights segment i).
    virtual void SetPattern(uint16_t litMask, uint32_t style) = 0;

    int32_t width() const { return width_; }
    uint16_t litMask() const { return litMask_; }
    int segmentCount() const { return segmentCount_; }
    const std::vector<CDSegment>& segments() const { return segments_; }
    bool isLit(int segment) const { return (litMask_ >> segment) & 1u; }

    // Draws every segment, lit or not, scaled into rect.
    void Draw(QPainter& painter, const QRectF& rect, const SegmentInk& on,
              const SegmentInk& off) const;

    // Where a grid point of a cell this wide lands in rect, rounded to whole pixels.
    static QPoint MapToRect(GridPoint p, const QRectF& rect, int32_t width);

protected:
    CDigiChar(int32_t width, int segmentCount) : width_(width), segmentCount_(segmentCount) {}
    CDigiChar(const CDigiChar&) = default;
    CDigiChar& operator=(const CDigiChar&) = default;

    void assignPattern(const std::vector<CDSegment>& outlines, uint16_t litMask);

private:
    int32_t width_;
    uint16_t litMask_ = 0;
    int segmentCount_;
    std::vector<CDSegment> segments_;
};

}  // namespace vornex
