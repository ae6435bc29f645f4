#pragma once

#include <QPointF>
#include <optional>

class QCustomPlot;
class QCPGraph;

namespace vornex {

struct PlotPoint {
    QCPGraph* graph = nullptr;
    double key = 0.0;
    double value = 0.0;
};

// The data point of a visible graph of the plot that lies nearest to a pixel position, by
// on-screen distance. Points within radiusPx across are all weighed, plus the nearest point on
// either side of that band, so a graph with data always offers a candidate. Nothing when no
// visible graph has data.
std::optional<PlotPoint> findNearestPoint(const QCustomPlot& plot, QPointF pixel, double radiusPx);

}  // namespace vornex
