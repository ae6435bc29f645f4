#include "graph/CXGraph.h"

#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "draw/ColumnDecimator.h"
#include "draw/PlotPicture.h"
#include "draw/SeriesPalette.h"
#include "graph/CachedLegendItem.h"

namespace vornex {

CXGraph::CXGraph(QWidget* parent)
    : QCustomPlot(parent),
      xAxis_(xAxis, [this] { userView_ = false; }),
      yAxis_(yAxis, [this] { userView_ = false; }),
      cursor_(*this, labels_, [this](const QCPGraph* graph) { return seriesOf(graph); }) {
    applyLabels();
    xAxis->setRange(0.0, 20.0);
    yAxis_.SetAutoScale(true);

    QCPLayoutInset* inset = axisRect()->insetLayout();
    inset->remove(legend);
    legend = new CachedLegend;
    inset->addElement(legend, Qt::AlignTop | Qt::AlignRight);
    legend->setLayer(QStringLiteral("legend"));
    legend->setVisible(true);
    QFont legendFont = font();
    legendFont.setPointSizeF(legendFont.pointSizeF() * 0.85);
    legend->setFont(legendFont);
    // Opaque: a peak mark seen through the legend passes for one of its entries. The legend is
    // dragged off what it hides.
    legend->setBrush(QBrush(Qt::white));
    // Thirty slaves make more rows than a graph is tall: wrap into columns.
    legend->setWrap(10);
    legend->setFillOrder(QCPLayoutGrid::foRowsFirst, false);

    // One paint buffer instead of two: every redraw clears and composites each buffer over the
    // whole plot, which costs more than the zoom rectangle redrawing the plot while it is dragged.
    layer(QStringLiteral("overlay"))->setMode(QCPLayer::lmLogical);
    setNoAntialiasingOnDrag(true);
    axisRect()->setRangeDrag(Qt::Horizontal | Qt::Vertical);
    axisRect()->setRangeZoom(Qt::Horizontal | Qt::Vertical);

    redrawTimer_.setSingleShot(true);
    redrawTimer_.setInterval(kMinRedrawIntervalMs);
    connect(&redrawTimer_, &QTimer::timeout, this, &CXGraph::replotNow);

    connect(selectionRect(), &QCPSelectionRect::accepted, this, [this] { userView_ = true; });
    connect(this, &QCustomPlot::mousePress, this, &CXGraph::onMousePress);
    connect(this, &QCustomPlot::mouseMove, this, &CXGraph::onMouseMove);
    connect(this, &QCustomPlot::mouseDoubleClick, this, [this] {
        // The press that began the double-click moved a cross-hair; a double-click only shows all.
        if (mode_ == MouseMode::Cursor) {
            cursor_.undoPress();
            emit modeChanged(mode_);
        }
        showFullView();
    });
    // Every replot, also those QCustomPlot starts itself while the mouse pans or zooms.
    connect(this, &QCustomPlot::beforeReplot, this, [this] {
        refreshCurves();
        updateSmoothing();
    });
}

void CXGraph::SetData(const CurvePoint* points, int count, int series) {
    if (!accepts(points, count, series)) {
        return;
    }
    CurveHistory& curve = curves_[static_cast<size_t>(series)];
    if (!curve.empty()) {
        curve.clear();
        ++versions_[static_cast<size_t>(series)];
        updateLegend();
    }
    appendPoints(points, count, series);
}

void CXGraph::appendPoints(const CurvePoint* points, int count, int series) {
    if (!accepts(points, count, series) || count == 0) {
        return;
    }
    ensureSeries(series);
    CurveHistory& curve = curves_[static_cast<size_t>(series)];
    const bool wasEmpty = curve.empty();
    for (int i = 0; i < count; ++i) {
        curve.append(points[i].time, points[i].value);
    }
    curve.sort();
    ++versions_[static_cast<size_t>(series)];
    if (curve.empty() != wasEmpty) {
        updateLegend();
    }
}

bool CXGraph::accepts(const CurvePoint* points, int count, int series) const {
    if (series < 0 || series >= kSeriesCount || count < 0 || (count > 0 && points == nullptr)) {
        qWarning("CXGraph: refused series %d with %d points", series, count);
        return false;
    }
    return true;
}

void CXGraph::clearCurves() {
    for (size_t i = 0; i < curves_.size(); ++i) {
        if (!curves_[i].empty()) {
            curves_[i].clear();
            ++versions_[i];
        }
    }
    updateLegend();
    cursor_.hide();
    emit modeChanged(mode_);
}

void CXGraph::breakCurves() {
    for (CurveHistory& curve : curves_) {
        curve.breakBeforeNext();
    }
}

const CurveHistory& CXGraph::seriesCurve(int series) const {
    static const CurveHistory kNone;
    return series >= 0 && series < kSeriesCount ? curves_[static_cast<size_t>(series)] : kNone;
}

void CXGraph::refreshCurves(int columns) {
    if (columns <= 0) {
        columns = std::max(axisRect()->width(), 1);
    }
    const QCPRange keys = xAxis->range();
    for (size_t i = 0; i < graphs_.size(); ++i) {
        if (graphs_[i] == nullptr) {
            continue;
        }
        const Drawn now{versions_[i], keys.lower, keys.upper, columns};
        Drawn& drawn = drawn_[i];
        if (drawn.version == now.version && drawn.lower == now.lower && drawn.upper == now.upper &&
            drawn.columns == now.columns) {
            continue;
        }
        ColumnDecimator(curves_[i], keys.lower, keys.upper, columns).decimate(scratch_);
        graphs_[i]->setThinned(scratch_);
        drawn = now;
    }
}

CXGraphAxis& CXGraph::GetXAxis(int) {
    return xAxis_;
}

CXGraphAxis& CXGraph::GetYAxis(int) {
    return yAxis_;
}

void CXGraph::Redraw() {
    if (!redrawTimer_.isActive()) {
        redrawTimer_.start();
    }
}

void CXGraph::replotNow() {
    redrawTimer_.stop();
    applyAutoScale();
    replot();
}

void CXGraph::NoOp() {
    setMouseMode(MouseMode::None);
    cursor_.hide();
    userView_ = false;
    Redraw();
}

void CXGraph::Zoom() {
    setMouseMode(MouseMode::Zoom);
}

void CXGraph::Pan() {
    setMouseMode(MouseMode::Pan);
}

void CXGraph::Cursor() {
    setMouseMode(MouseMode::Cursor);
}

void CXGraph::SetCursorFlags(unsigned flags) {
    cursor_.setFlags(flags);
    replot(rpQueuedReplot);
}

void CXGraph::setTexts(const GraphTexts& texts) {
    labels_.setTexts(texts);
    applyLabels();
    emit modeChanged(mode_);
}

void CXGraph::setSeriesUnits(const std::array<SeriesUnit, kSeriesCount>& units,
                             int displayedSeries) {
    if (labels_.setUnits(units, displayedSeries))
        applyLabels();
}

void CXGraph::applyLabels() {
    xAxis->setLabel(labels_.texts().time);
    yAxis->setLabel(labels_.axisTitle());
    updateLegend();
    cursor_.refresh();
    replot(rpQueuedReplot);
}

int CXGraph::seriesOf(const QCPGraph* graph) const {
    for (int i = 0; i < kSeriesCount; ++i) {
        if (graphs_[static_cast<size_t>(i)] == graph)
            return i;
    }
    return -1;
}

QString CXGraph::hint() const {
    const GraphTexts& texts = labels_.texts();
    switch (mode_) {
        case MouseMode::Zoom:
            return texts.hintZoom;
        case MouseMode::Pan:
            return texts.hintPan;
        case MouseMode::Cursor:
            if (!cursor_.isPlaced(MeasureCursor::First))
                return texts.hintFirst;
            if (!cursor_.isPlaced(MeasureCursor::Second) &&
                (cursor_.flags() & MeasureCursor::SecondCursor))
                return texts.hintSecond;
            return texts.hintMove;
        case MouseMode::None:
            break;
    }
    return {};
}

void CXGraph::showFullView() {
    userView_ = false;
    fitToData();
    replot(rpQueuedReplot);
}

void CXGraph::fitToData() {
    fitKeysToData();
    fitValuesToData();
}

bool CXGraph::PrintGraph(QPrinter& printer) {
    applyAutoScale();
    QCPPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
    refreshCurves(page.width());
    // Vector output at screen resolution keeps lines sharp and fonts at their on-screen size.
    painter.setMode(QCPPainter::pmVectorized);
    painter.setMode(QCPPainter::pmNoCaching);
    toPainter(&painter, page.width(), page.height());
    return painter.end();
}

QCPGraph* CXGraph::seriesGraph(int series) const {
    return series >= 0 && series < kSeriesCount ? graphs_[series] : nullptr;
}

QCPGraph* CXGraph::ensureSeries(int series) {
    if (graphs_[series] != nullptr) {
        return graphs_[series];
    }
    auto* graph = new CurveGraph(xAxis, yAxis, curveLayer_);
    graph->setName(labels_.curveName(series));
    // The legend's icon; the curve itself is drawn in the pen's colour by the CurvePainter.
    QPen pen(seriesColor(series), 0.0);
    pen.setCosmetic(true);
    graph->setPen(pen);
    graph->setSelectable(QCP::stNone);
    graph->removeFromLegend();
    graphs_[series] = graph;
    return graph;
}

void CXGraph::updateLegend() {
    // Slave order, whatever order the slaves first report in; only the curves of what is shown.
    legend->clearItems();
    std::vector<int> shown;
    for (int i = 0; i < kSeriesCount; ++i) {
        if (graphs_[static_cast<size_t>(i)] != nullptr && !seriesCurve(i).empty())
            shown.push_back(i);
    }
    for (const int i : shown) {
        QCPGraph* each = graphs_[static_cast<size_t>(i)];
        each->setName(labels_.legendName(i, shown));
        legend->addItem(new CachedLegendItem(legend, each));
    }
}

void CXGraph::setMouseMode(MouseMode mode) {
    mode_ = mode;
    setSelectionRectMode(mode == MouseMode::Zoom ? QCP::srmZoom : QCP::srmNone);
    setInteraction(QCP::iRangeDrag, mode == MouseMode::Pan);
    switch (mode) {
        case MouseMode::Zoom:
        case MouseMode::Cursor:
            setCursor(Qt::CrossCursor);
            break;
        case MouseMode::Pan:
            setCursor(Qt::OpenHandCursor);
            break;
        case MouseMode::None:
            unsetCursor();
            break;
    }
    emit modeChanged(mode);
}

void CXGraph::applyAutoScale() {
    if (userView_) {
        return;
    }
    if (xAxis_.GetAutoScale()) {
        fitKeysToData();
    }
    if (yAxis_.GetAutoScale()) {
        fitValuesToData();
    }
}

void CXGraph::updateSmoothing() {
    size_t inView = 0;
    const QCPRange keys = xAxis->range();
    for (const QCPGraph* graph : graphs_) {
        if (graph != nullptr) {
            const auto curve = graph->data();
            inView +=
                static_cast<size_t>(curve->findEnd(keys.upper) - curve->findBegin(keys.lower));
        }
    }
    setNotAntialiasedElements(inView > CurvePainter::kMaxSmoothedPoints ? QCP::aePlottables
                                                                        : QCP::aeNone);
}

std::vector<const CurveHistory*> CXGraph::allCurves() const {
    std::vector<const CurveHistory*> all;
    for (const CurveHistory& curve : curves_) {
        all.push_back(&curve);
    }
    return all;
}

void CXGraph::fitKeysToData() {
    if (const auto time = timeSpanOf(allCurves())) {
        xAxis->setRange(time->low, time->high);
    }
}

void CXGraph::fitValuesToData() {
    const QCPRange keys = xAxis->range();
    if (const auto value = valueSpanOf(allCurves(), AxisSpan{keys.lower, keys.upper})) {
        yAxis->setRange(value->low, value->high);
    }
}

void CXGraph::onMousePress(QMouseEvent* event) {
    if (mode_ != MouseMode::Cursor) {
        return;
    }
    if (cursor_.press(event->position(), event->button())) {
        replot(rpQueuedReplot);
        emit modeChanged(mode_);
    }
}

void CXGraph::onMouseMove(QMouseEvent* event) {
    if (mode_ == MouseMode::Pan && (event->buttons() & Qt::LeftButton)) {
        userView_ = true;
    } else if (mode_ == MouseMode::Cursor && (event->buttons() & Qt::LeftButton)) {
        cursor_.place(cursor_.active(), event->position());
        replot(rpQueuedReplot);
    }
}

}  // namespace vornex
