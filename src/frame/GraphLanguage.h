#pragma once

#include <QString>

#include "graph/SeriesLabels.h"

namespace vornex {

class AcquisitionSession;
class CXGraph;

// The graph's texts from a language file.
GraphTexts graphTexts(const QString& languageFile);

// Gives the graph the unit and decimals of every instrument of the device table that has been
// read, and the displayed instrument, so its axis, legend and readout carry them.
void applySeriesUnits(CXGraph& graph, const AcquisitionSession& session);

}  // namespace vornex
