#include "controls/CDigiChar.h"

#include <QPainter>
#include <QPainterPath>

#include "controls/DigiGrid.h"

namespace vornex {

void CDigiChar::assignPattern(const std::vector<CDSegment>& outlines, uint16_t litMask) {
    segments_.clear();
    segments_.assign(outlines.begin(), outlines.end());
    litMask_ = litMask;
}

QPoint CDigiChar::MapToRect(GridPoint p, const QRectF& rect, int32_t width) {
    const double x = p.x * rect.width() / width + rect.left() + 0.5;
    const double y = p.y * rect.height() / kDigiGridHeight + rect.top() + 0.5;
    return {static_cast<int>(x), static_cast<int>(y)};
}

void CDigiChar::Draw(QPainter& painter, const QRectF& rect, const SegmentInk& on,
                     const SegmentInk& off) const {
    for (int i = 0; i < static_cast<int>(segments_.size()); ++i) {
        const CDSegment& segment = segments_[i];
        QPainterPath path;
        for (int k = 0; k < segment.count(); ++k) {
            const QPoint at = MapToRect(segment.points()[k], rect, width_);
            if (segment.codes()[k] == CDSegment::kMoveTo) {
                path.moveTo(at);
            } else {
                path.lineTo(at);
            }
        }
        path.closeSubpath();
        const SegmentInk& ink = isLit(i) ? on : off;
        painter.setPen(ink.pen);
        painter.setBrush(ink.brush);
        painter.drawPath(path);
    }
}

}  // namespace vornex
