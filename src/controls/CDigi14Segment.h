#pragma once

#include "controls/CDigiChar.h"

namespace vornex {

// A 14-segment cell for letters, symbols and, when a display asks for it, digits: two centre
// bars, four diagonals, a split middle bar, four sides, top and bottom.
class CDigi14Segment : public CDigiChar {
public:
    CDigi14Segment();
    void SetPattern(uint16_t litMask, uint32_t style) override;

    static const std::vector<CDSegment>& Outlines();
};

}  // namespace vornex
