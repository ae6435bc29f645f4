#include <gtest/gtest.h>

#include <vector>

#include "controls/CDigi14Segment.h"
#include "controls/CDigi7Segment.h"
#include "controls/CDigiColonDotChar.h"
#include "controls/CreateCell.h"
#include "controls/DigiLayout.h"

namespace vornex {
namespace {

using Outline = std::vector<GridPoint>;

// The derived outlines (mirrored, flipped or both) must land exactly on the grid points of the
// panel-meter artwork; a slip of one unit shows as a crooked segment.
TEST(DigiCellTest, DerivedOutlinesMatchTheArtwork) {
    const auto& seven = CDigi7Segment::Outlines();
    ASSERT_EQ(seven.size(), 7u);
    EXPECT_EQ(seven[2].points(), (Outline{{44, 6}, {44, 40}, {37, 36}, {37, 13}}));
    EXPECT_EQ(seven[5].points(), (Outline{{44, 76}, {44, 42}, {37, 46}, {37, 69}}));

    const auto& fourteen = CDigi14Segment::Outlines();
    ASSERT_EQ(fourteen.size(), 14u);
    EXPECT_EQ(fourteen[4].points(), (Outline{{43, 77}, {33, 47}, {28, 45}, {30, 57}}));
    EXPECT_EQ(fourteen[7].points(),
              (Outline{{42, 41}, {34, 45}, {30, 45}, {26, 41}, {30, 37}, {34, 37}}));
    EXPECT_EQ(fourteen[10].points(), (Outline{{6, 78}, {11, 71}, {37, 71}, {42, 78}}));
    EXPECT_EQ(fourteen[11].points(), (Outline{{44, 75}, {44, 42}, {37, 46}, {37, 56}}));

    for (const auto* set : {&seven, &fourteen, &CDigiColonDotChar::Outlines()}) {
        for (const CDSegment& s : *set) {
            ASSERT_EQ(s.codes().size(), s.points().size());
            EXPECT_EQ(s.codes().front(), CDSegment::kMoveTo);
            for (size_t i = 1; i < s.codes().size(); ++i) {
                EXPECT_EQ(s.codes()[i], CDSegment::kLineTo);
            }
        }
    }
}

struct CellSummary {
    int32_t width;
    int segments;
    uint16_t mask;
    bool operator==(const CellSummary& o) const {
        return width == o.width && segments == o.segments && mask == o.mask;
    }
};

std::vector<CellSummary> summarise(const QString& text, uint32_t style) {
    std::vector<CellSummary> out;
    for (const auto& cell : CreateCells(text, style)) {
        EXPECT_EQ(static_cast<int>(cell->segments().size()), cell->segmentCount());
        out.push_back({cell->width(), cell->segmentCount(), cell->litMask()});
    }
    return out;
}

TEST(DigiCellTest, CellsFollowTheCharactersAndTheStyle) {
    // The value display (14-segment digits): two digits, a dot and a digit, 165 units wide.
    EXPECT_EQ(summarise("12.5", 0x16),
              (std::vector<CellSummary>{
                  {49, 14, 0x1800}, {49, 14, 0x36C0}, {18, 3, 0x4}, {49, 14, 0x2DC0}}));
    // Without the 14-segment bit digits, space and minus are 7-segment cells.
    EXPECT_EQ(summarise("- 8", 0x14),
              (std::vector<CellSummary>{{49, 7, 0x08}, {49, 7, 0x00}, {49, 7, 0x7F}}));
    EXPECT_EQ(summarise("- 8", 0x16),
              (std::vector<CellSummary>{{49, 14, 0x00C0}, {49, 14, 0x0000}, {49, 14, 0x3FC0}}));
    // Letters are 14-segment cells in capitals whatever the case typed; colon and dot are narrow.
    EXPECT_EQ(summarise("n.m", 0x14), summarise("N.M", 0x14));
    EXPECT_EQ(summarise("n:M", 0x14),
              (std::vector<CellSummary>{{49, 14, 0x1B12}, {18, 3, 0x3}, {49, 14, 0x1B06}}));
    EXPECT_EQ(summarise("(/*+\\)'", 0x14), (std::vector<CellSummary>{{49, 14, 0x0014},
                                                                     {49, 14, 0x000C},
                                                                     {49, 14, 0x00FF},
                                                                     {49, 14, 0x00E1},
                                                                     {49, 14, 0x0012},
                                                                     {49, 14, 0x000A},
                                                                     {49, 14, 0x0001}}));
    // Characters without a cell take no room at all.
    EXPECT_TRUE(summarise("%_#,", 0x14).empty());
    EXPECT_EQ(summarise("8%_8", 0x14), summarise("88", 0x14));
}

TEST(DigiCellTest, LayoutKeepsAspectAndCentresOrStretches) {
    // 330 x 83 with a row of 165 units: sx = 2 and sy = 1 become 1, centred at 82.5.
    DigiLayout kept = DigiLayout::Compute(330, 83, 165, 0x16);
    EXPECT_DOUBLE_EQ(kept.sx, 1.0);
    EXPECT_DOUBLE_EQ(kept.sy, 1.0);
    EXPECT_DOUBLE_EQ(kept.x0, 82.5);
    EXPECT_DOUBLE_EQ(kept.y0, 0.0);

    DigiLayout stretched = DigiLayout::Compute(330, 83, 165, 0x12);
    EXPECT_DOUBLE_EQ(stretched.sx, 2.0);
    EXPECT_DOUBLE_EQ(stretched.sy, 1.0);
    EXPECT_DOUBLE_EQ(stretched.x0, 0.0);

    // A tall area: the width limits the scale and the row is centred vertically.
    DigiLayout tall = DigiLayout::Compute(98, 300, 49, 0x14);
    EXPECT_DOUBLE_EQ(tall.sx, 2.0);
    EXPECT_DOUBLE_EQ(tall.sy, 2.0);
    EXPECT_DOUBLE_EQ(tall.x0, 0.0);
    EXPECT_DOUBLE_EQ(tall.y0, 67.0);
}

}  // namespace
}  // namespace vornex
