#pragma once

#include "controls/CDigiChar.h"

namespace vornex {

// A 7-segment digit cell: top, upper left, upper right, middle, lower left, lower right, bottom.
class CDigi7Segment : public CDigiChar {
public:
    CDigi7Segment();
    void SetPattern(uint16_t litMask, uint32_t style) override;

    static const std::vector<CDSegment>& Outlines();
};

}  // namespace vornex
