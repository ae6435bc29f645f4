#include "graph/CurveGraph.h"

#include <algorithm>

namespace vornex {

void CurveLayer::draw(const CurveGraph& graph, QCPPainter* painter) {
    const QList<QCPLayerable*>& children = graph.layer()->children();
    const auto visible = [](const QCPLayerable* child) {
        const auto* each = qobject_cast<const CurveGraph*>(child);
        return each != nullptr && each->realVisibility() ? each : nullptr;
    };
    const auto first = std::find_if(children.begin(), children.end(), visible);
    if (first == children.end() || *first != &graph) {
        return;
    }
    const QCPAxis& keys = *graph.keyAxis();
    const QCPAxis& values = *graph.valueAxis();
    const QCPRange time = keys.range();
    const QCPRange value = values.range();
    painter_.begin(
        PlotView{QRectF(QPointF(keys.coordToPixel(time.lower), values.coordToPixel(value.upper)),
                        QPointF(keys.coordToPixel(time.upper), values.coordToPixel(value.lower))),
                 time.lower, time.upper, value.lower, value.upper});
    for (auto it = first; it != children.end(); ++it) {
        if (const CurveGraph* each = visible(*it)) {
            painter_.add(each->thinned().data(), each->thinned().size(), each->pen().color());
        }
    }
    painter_.draw(*painter);
}

CurveGraph::CurveGraph(QCPAxis* keyAxis, QCPAxis* valueAxis, CurveLayer& layer)
    : QCPGraph(keyAxis, valueAxis), layer_(layer) {}

void CurveGraph::setThinned(std::vector<CurveSample>& points) {
    thinned_.swap(points);
    points.clear();
    scratch_.resize(static_cast<int>(thinned_.size()));
    for (size_t i = 0; i < thinned_.size(); ++i) {
        scratch_[static_cast<int>(i)] = QCPGraphData(thinned_[i].time, thinned_[i].value);
    }
    data()->set(scratch_, true);
}

void CurveGraph::draw(QCPPainter* painter) {
    layer_.draw(*this, painter);
}

}  // namespace vornex
