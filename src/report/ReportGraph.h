#pragma once

#include <QColor>
#include <QImage>
#include <QSize>

#include "report/TestResults.h"

namespace vornex {

// The colour of a slave's curve in the report and the results panel.
QColor slaveColour(int slave);

// The judged test drawn for the report: every curve over the whole test, named in a legend as
// "`slaveLabel` N", each event's peak marked with a circle (red when it is low or high), and the
// target line with its band for instrument `bandSlave` (0: the first that has a band).
QImage drawTestGraph(const TestResults& results, QSize size, const QString& slaveLabel,
                     int bandSlave = 0);

}  // namespace vornex
