#include "controls/DigiLayout.h"

#include "controls/DigiGrid.h"

namespace vornex {

DigiLayout DigiLayout::Compute(int width, int height, int32_t totalWidth, uint32_t style) {
    DigiLayout l;
    if (totalWidth <= 0) {
        return l;
    }
    l.sx = static_cast<double>(width) / totalWidth;
    l.sy = static_cast<double>(height) / kDigiGridHeight;
    if (style & DIGI_KEEP_ASPECT) {
        if (l.sx < l.sy) {
            l.sy = l.sx;
        } else {
            l.sx = l.sy;
        }
        l.x0 = (width - totalWidth * l.sx) / 2;
        l.y0 = (height - kDigiGridHeight * l.sy) / 2;
    }
    return l;
}

}  // namespace vornex
