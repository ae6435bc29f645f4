#include "controls/CDigi7Segment.h"

#include "controls/DigiGrid.h"

namespace vornex {

CDigi7Segment::CDigi7Segment() : CDigiChar(kDigiWideCell, 7) {}

const std::vector<CDSegment>& CDigi7Segment::Outlines() {
    static const std::vector<CDSegment> outlines = [] {
        const CDSegment top = CDSegment::Figure({{5, 4}, {12, 11}, {36, 11}, {43, 4}});
        const CDSegment upperLeft = CDSegment::Figure({{4, 6}, {4, 40}, {11, 36}, {11, 13}});
        const CDSegment middle =
            CDSegment::Figure({{6, 41}, {14, 45}, {34, 45}, {42, 41}, {34, 37}, {14, 37}});
        return std::vector<CDSegment>{
            top,           upperLeft,           upperLeft.Mirrored(kDigiWideCell),
            middle,        upperLeft.Flipped(), upperLeft.Mirrored(kDigiWideCell).Flipped(),
            top.Flipped(),
        };
    }();
    return outlines;
}

// Every style of this program draws the same straight-edged outlines.
void CDigi7Segment::SetPattern(uint16_t litMask, uint32_t) {
    assignPattern(Outlines(), litMask);
}

}  // namespace vornex
