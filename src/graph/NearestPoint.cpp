#include "graph/NearestPoint.h"

#include <qcustomplot.h>

#include <cmath>
#include <limits>

namespace vornex {

std::optional<PlotPoint> findNearestPoint(const QCustomPlot& plot, QPointF pixel, double radiusPx) {
    std::optional<PlotPoint> best;
    double bestDistance = std::numeric_limits<double>::infinity();
    for (int i = 0; i < plot.graphCount(); ++i) {
        QCPGraph* graph = plot.graph(i);
        const auto data = graph->data();
        if (!graph->visible() || data->isEmpty()) {
            continue;
        }
        QCPAxis* keyAxis = graph->keyAxis();
        QCPAxis* valueAxis = graph->valueAxis();
        double from = keyAxis->pixelToCoord(pixel.x() - radiusPx);
        double to = keyAxis->pixelToCoord(pixel.x() + radiusPx);
        if (from > to) {
            std::swap(from, to);
        }
        // findBegin/findEnd with expandedRange take one point beyond each edge of the band.
        auto it = data->findBegin(from, true);
        const auto end = data->findEnd(to, true);
        for (; it != end; ++it) {
            // A point without a value only breaks the line at a gap.
            if (std::isnan(it->value)) {
                continue;
            }
            const double dx = keyAxis->coordToPixel(it->key) - pixel.x();
            const double dy = valueAxis->coordToPixel(it->value) - pixel.y();
            const double distance = dx * dx + dy * dy;
            if (distance < bestDistance) {
                bestDistance = distance;
                best = PlotPoint{graph, it->key, it->value};
            }
        }
    }
    return best;
}

}  // namespace vornex
