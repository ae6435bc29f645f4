#pragma once

#include <QString>

#include "graph/GraphPrinter.h"
#include "graph/SeriesLabels.h"

namespace vornex {

class AcquisitionSession;
class CXGraph;

// The graph's texts from a language file.
GraphTexts graphTexts(const QString& languageFile);

// The header and footer of a printed page: the open test or the loaded file, the date and time,
// and the instruments shown with their units.
PageTexts pageTexts(const QString& languageFile, const AcquisitionSession& session,
                    const QString& loadedFile, const CXGraph& graph);

// Gives the graph the unit and decimals of every instrument of the device table that has been
// read, and the displayed instrument, so its axis, legend and readout carry them.
void applySeriesUnits(CXGraph& graph, const AcquisitionSession& session);

}  // namespace vornex
