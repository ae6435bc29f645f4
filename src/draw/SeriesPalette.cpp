#include "draw/SeriesPalette.h"

namespace vornex {

namespace {

// Ten well-separated hues, then the same hues darker and lighter, so neighbouring slaves never
// share a colour family.
constexpr QRgb kBase[10] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
                            0x8c564b, 0xe377c2, 0x17becf, 0xbcbd22, 0x555555};

}  // namespace

QColor seriesColor(int series) {
    const int index = ((series % 30) + 30) % 30;
    const QColor base = QColor::fromRgb(kBase[index % 10]);
    switch (index / 10) {
        case 1:
            return base.darker(160);
        case 2:
            return base.lighter(140);
        default:
            return base;
    }
}

}  // namespace vornex
