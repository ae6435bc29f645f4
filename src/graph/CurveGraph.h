#pragma once

#include <qcustomplot.h>

#include <vector>

#include "draw/ColumnDecimator.h"
#include "draw/CurvePainter.h"

namespace vornex {

class CurveGraph;

// The curves of one plot drawn together by one CurvePainter: the first of them that a redraw
// reaches draws them all, in the order of their layer, so that a raster of dense lines is laid
// onto the paint buffer once.
class CurveLayer {
public:
    // Draws every visible curve of `graph`'s layer when `graph` is the first of them.
    void draw(const CurveGraph& graph, QCPPainter* painter);

private:
    CurvePainter painter_;
};

// A series of a plot holding the points it draws for the view, thinned to its pixel columns
// (ColumnDecimator); its layer's CurveLayer draws them. The graph's data are the same points, for
// the legend, the measuring cursor and whoever looks at what was drawn.
class CurveGraph : public QCPGraph {
    Q_OBJECT

public:
    CurveGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, CurveLayer& layer);

    // The points to draw from the next redraw on; takes them and leaves `points` empty.
    void setThinned(std::vector<CurveSample>& points);
    const std::vector<CurveSample>& thinned() const { return thinned_; }

protected:
    void draw(QCPPainter* painter) override;

private:
    CurveLayer& layer_;
    std::vector<CurveSample> thinned_;
    QVector<QCPGraphData> scratch_;
};

}  // namespace vornex
