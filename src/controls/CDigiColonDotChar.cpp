#include "controls/CDigiColonDotChar.h"

#include "controls/DigiGrid.h"

namespace vornex {

CDigiColonDotChar::CDigiColonDotChar() : CDigiChar(kDigiNarrowCell, 3) {}

const std::vector<CDSegment>& CDigiColonDotChar::Outlines() {
    static const std::vector<CDSegment> outlines{
        CDSegment::Figure({{4, 23}, {4, 32}, {13, 32}, {13, 23}}),
        CDSegment::Figure({{4, 50}, {4, 59}, {13, 59}, {13, 50}}),
        CDSegment::Figure({{4, 68}, {4, 77}, {13, 77}, {13, 68}}),
    };
    return outlines;
}

// Every style of this program draws the same straight-edged outlines.
void CDigiColonDotChar::SetPattern(uint16_t litMask, uint32_t) {
    assignPattern(Outlines(), litMask);
}

}  // namespace vornex
