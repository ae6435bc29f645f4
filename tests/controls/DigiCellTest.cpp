#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "controls/CreateCell.h"
#include "controls/DigiLayout.h"

namespace vornex {
namespace {

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
    // Characters without a cell take no room at all.
    EXPECT_TRUE(summarise("%_#,", 0x14).empty());
    EXPECT_EQ(summarise("8%_8", 0x14), summarise("88", 0x14));
}

TEST(DigiCellTest, LayoutKeepsAspectAndCentresOrStretches) {
    // {sx, sy, x0, y0}: 330 x 83 with a row of 165 units kept (sx 2 and sy 1 become 1, centred
    // at 82.5) and stretched; a tall area, where the width limits the scale, centred vertically.
    const std::pair<DigiLayout, std::array<double, 4>> cases[] = {
        {DigiLayout::Compute(330, 83, 165, 0x16), {1.0, 1.0, 82.5, 0.0}},
        {DigiLayout::Compute(330, 83, 165, 0x12), {2.0, 1.0, 0.0, 0.0}},
        {DigiLayout::Compute(98, 300, 49, 0x14), {2.0, 2.0, 0.0, 67.0}},
    };
    for (const auto& [layout, expected] : cases) {
        EXPECT_EQ((std::array<double, 4>{layout.sx, layout.sy, layout.x0, layout.y0}), expected);
    }
}

}  // namespace
}  // namespace vornex
