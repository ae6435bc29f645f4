#pragma once

#include <cstdint>

namespace vornex {

// Where a row of LED cells, totalWidth grid units wide, sits in a W x H area.
struct DigiLayout {
    double sx = 0;  // pixels per grid unit across
    double sy = 0;  // pixels per grid unit down
    double x0 = 0;  // left edge of the first cell
    double y0 = 0;  // top edge of every cell

    // With DIGI_KEEP_ASPECT the row keeps its shape and is centred; otherwise it fills the area.
    static DigiLayout Compute(int width, int height, int32_t totalWidth, uint32_t style);
};

}  // namespace vornex
