#pragma once

#include <QRectF>

#include "spc/ControlChart.h"

class QPainter;

namespace vornex {

// The two charts of an analysis drawn into `area` one above the other: the subgroup means with
// their centre line and limits, and below them the ranges or standard deviations with theirs,
// each limit's value written beside it with `decimals` decimals. A mean that broke a rule, and a
// spread beyond its limits, are ringed in red; with more points than the area is wide, each
// column draws the span of its points, red where one broke. The window and the report draw the
// same picture.
// Nothing is drawn without limits or below two subgroups.
void drawControlCharts(QPainter& p, const QRectF& area, const spc::SpcAnalysis& analysis,
                       int decimals);

}  // namespace vornex
