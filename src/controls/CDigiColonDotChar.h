#pragma once

#include "controls/CDigiChar.h"

namespace vornex {

// A narrow cell with the two dots of a colon and a decimal point.
class CDigiColonDotChar : public CDigiChar {
public:
    static constexpr uint16_t kColon = 0x3;
    static constexpr uint16_t kDot = 0x4;

    CDigiColonDotChar();
    void SetPattern(uint16_t litMask, uint32_t style) override;

    static const std::vector<CDSegment>& Outlines();
};

}  // namespace vornex
