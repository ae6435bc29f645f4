#pragma once

#include <QImage>
#include <QSize>

#include "judge/TestResults.h"
#include "report/ReportTexts.h"

namespace vornex {

// The distance between two ticks of an axis over `span`: 1, 2 or 5 × 10^n, the smallest that
// splits the span into at most `most` parts, so that every tick label is a round value.
double roundStep(double span, int most);
// The decimals that print every multiple of `step` exactly: 0 for 50, 1 for 0.5, 2 for 0.05.
int stepDecimals(double step);

// The judged test drawn for the report: every curve over the whole test (CurvePainter), in the
// window's colour of its slave and named in a legend as the window names its slaves, each
// event's peak marked with a circle (red when it is low or high), the target line with its band
// for instrument `bandSlave` (0: the first that has a band), and both axes titled with their
// units.
QImage drawTestGraph(const TestResults& results, QSize size, const ReportTexts& texts,
                     int bandSlave = 0);

}  // namespace vornex
