#pragma once

#include <QColor>

namespace vornex {

// Colour of a graph series. The first thirty are pairwise distinct and readable on white; beyond
// that colours repeat.
QColor seriesColor(int series);

}  // namespace vornex
