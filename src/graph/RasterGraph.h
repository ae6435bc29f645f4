#pragma once

#include <qcustomplot.h>

#include <cstdint>

#include "graph/LineRaster.h"

namespace vornex {

class RasterGraph;

// The curves of one plot drawn together through a LineRaster while many points are in view:
// the first of them that a redraw reaches draws them all, in the order of their layer, and lays
// the image onto the paint buffer once. Printing, vector and image export, smoothed drawing and
// scaled painters draw each curve as QCustomPlot does.
class CurveRaster {
public:
    void setEngaged(bool engaged) { engaged_ = engaged; }
    bool engaged() const { return engaged_; }
    // Called at the start of every redraw of the plot.
    void nextFrame() { ++frame_; }

    // True when `graph` is drawn by the raster in this redraw (by this call or an earlier one).
    bool draw(const RasterGraph& graph, QCPPainter* painter);

private:
    static bool takes(const QCPPainter& painter);
    void drawAll(const RasterGraph& first, QCPPainter* painter);

    LineRaster raster_;
    QVector<QPointF> lines_;
    bool engaged_ = false;
    uint64_t frame_ = 0;
    uint64_t drawnFrame_ = UINT64_MAX;
};

// A graph of a plot whose curves a CurveRaster may draw together.
class RasterGraph : public QCPGraph {
    Q_OBJECT

public:
    RasterGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, CurveRaster& raster);

    // A plain opaque line of one pixel, without points, fill or selection, over a linear time
    // axis and a linear value axis.
    bool rasterizable() const;
    // Where the layer lets it draw, in the painter's pixel coordinates.
    QRect drawArea() const { return clipRect().translated(0, -1); }
    // For a rasterizable graph: the line through every point it holds, in the painter's pixel
    // coordinates; a point without a value breaks it.
    void linesInView(QVector<QPointF>& lines) const;

protected:
    void draw(QCPPainter* painter) override;

private:
    CurveRaster& raster_;
};

}  // namespace vornex
