#include "graph/RasterGraph.h"

namespace vornex {

bool CurveRaster::draw(const RasterGraph& graph, QCPPainter* painter) {
    if (!engaged_ || !takes(*painter) || !graph.rasterizable()) {
        return false;
    }
    if (drawnFrame_ != frame_) {
        drawnFrame_ = frame_;
        drawAll(graph, painter);
    }
    return true;
}

bool CurveRaster::takes(const QCPPainter& painter) {
    return !painter.modes().testFlag(QCPPainter::pmVectorized) &&
           !painter.modes().testFlag(QCPPainter::pmNoCaching) &&
           !painter.testRenderHint(QPainter::Antialiasing) &&
           painter.deviceTransform().type() <= QTransform::TxTranslate;
}

void CurveRaster::drawAll(const RasterGraph& first, QCPPainter* painter) {
    const QRect area = first.drawArea();
    if (area.isEmpty()) {
        return;
    }
    raster_.begin(area.size());
    const QPointF origin = area.topLeft();
    for (QCPLayerable* child : first.layer()->children()) {
        const auto* graph = qobject_cast<const RasterGraph*>(child);
        if (graph == nullptr || !graph->realVisibility() || !graph->rasterizable() ||
            graph->drawArea() != area) {
            continue;
        }
        graph->linesInView(lines_);
        for (QPointF& point : lines_) {
            point -= origin;
        }
        raster_.add(lines_.constData(), static_cast<int>(lines_.size()),
                    graph->pen().color().rgb());
    }
    raster_.finish();
    const QRect drawn = raster_.drawn();
    if (!drawn.isEmpty()) {
        painter->drawImage(area.topLeft() + drawn.topLeft(), raster_.image(), drawn);
    }
}

RasterGraph::RasterGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, CurveRaster& raster)
    : QCPGraph(keyAxis, valueAxis), raster_(raster) {}

bool RasterGraph::rasterizable() const {
    const QPen& line = pen();
    return line.style() == Qt::SolidLine && line.color().alpha() == 255 && line.widthF() <= 1.0 &&
           lineStyle() == lsLine && scatterStyle().isNone() && brush().style() == Qt::NoBrush &&
           selection().isEmpty() && !mKeyAxis.isNull() && !mValueAxis.isNull() &&
           mKeyAxis->orientation() == Qt::Horizontal &&
           mKeyAxis->scaleType() == QCPAxis::stLinear &&
           mValueAxis->scaleType() == QCPAxis::stLinear;
}

void RasterGraph::linesInView(QVector<QPointF>& lines) const {
    lines.clear();
    if (mKeyAxis->range().size() <= 0.0 || mDataContainer->isEmpty()) {
        return;
    }
    const QCPAxis& keys = *mKeyAxis;
    const QCPAxis& values = *mValueAxis;
    // Linear axes map by a scale and an offset: two calls to the axes give both, and each point
    // costs two multiplications instead of two calls.
    const QCPRange keyRange = keys.range();
    const QCPRange valueRange = values.range();
    const double x0 = keys.coordToPixel(keyRange.lower);
    const double xScale = (keys.coordToPixel(keyRange.upper) - x0) / keyRange.size();
    const double y0 = values.coordToPixel(valueRange.lower);
    const double yScale = (values.coordToPixel(valueRange.upper) - y0) / valueRange.size();
    lines.reserve(mDataContainer->size());
    for (auto it = mDataContainer->constBegin(); it != mDataContainer->constEnd(); ++it) {
        lines.append(QPointF(x0 + (it->key - keyRange.lower) * xScale,
                             y0 + (it->value - valueRange.lower) * yScale));
    }
}

void RasterGraph::draw(QCPPainter* painter) {
    if (!raster_.draw(*this, painter)) {
        QCPGraph::draw(painter);
    }
}

}  // namespace vornex
