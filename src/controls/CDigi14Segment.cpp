#include "controls/CDigi14Segment.h"

#include "controls/DigiGrid.h"

namespace vornex {

CDigi14Segment::CDigi14Segment() : CDigiChar(kDigiWideCell, 14) {}

const std::vector<CDSegment>& CDigi14Segment::Outlines() {
    static const std::vector<CDSegment> outlines = [] {
        const CDSegment upperBar =
            CDSegment::Figure({{20, 13}, {20, 36}, {24, 40}, {28, 36}, {28, 13}});
        const CDSegment diagonal = CDSegment::Figure({{5, 5}, {15, 35}, {20, 37}, {18, 25}});
        const CDSegment middleLeft =
            CDSegment::Figure({{6, 41}, {14, 45}, {18, 45}, {22, 41}, {18, 37}, {14, 37}});
        const CDSegment side = CDSegment::Figure({{4, 7}, {4, 40}, {11, 36}, {11, 26}});
        const CDSegment top = CDSegment::Figure({{6, 4}, {11, 11}, {37, 11}, {42, 4}});
        return std::vector<CDSegment>{
            upperBar,
            diagonal,
            diagonal.Mirrored(kDigiWideCell),
            diagonal.Flipped(),
            diagonal.Mirrored(kDigiWideCell).Flipped(),
            upperBar.Flipped(),
            middleLeft,
            middleLeft.Mirrored(kDigiWideCell),
            side,
            side.Flipped(),
            top.Flipped(),
            side.Mirrored(kDigiWideCell).Flipped(),
            side.Mirrored(kDigiWideCell),
            top,
        };
    }();
    return outlines;
}

// Every style of this program draws the same straight-edged outlines.
void CDigi14Segment::SetPattern(uint16_t litMask, uint32_t) {
    assignPattern(Outlines(), litMask);
}

}  // namespace vornex
