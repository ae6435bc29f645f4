#include "controls/CDSegment.h"

#include "controls/DigiGrid.h"

namespace vornex {

CDSegment CDSegment::Figure(std::initializer_list<GridPoint> outline) {
    CDSegment s;
    s.points_.assign(outline.begin(), outline.end());
    s.codes_.assign(s.points_.size(), kLineTo);
    if (!s.codes_.empty()) {
        s.codes_.front() = kMoveTo;
    }
    return s;
}

CDSegment CDSegment::Mirrored(int32_t cellWidth) const {
    CDSegment s = *this;
    for (GridPoint& p : s.points_) {
        p.x = cellWidth - 1 - p.x;
    }
    return s;
}

CDSegment CDSegment::Flipped() const {
    CDSegment s = *this;
    for (GridPoint& p : s.points_) {
        p.y = kDigiGridHeight - 1 - p.y;
    }
    return s;
}

}  // namespace vornex
