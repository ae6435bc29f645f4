#include "graph/CXGraph.h"

#include <QPrinter>
#include <algorithm>
#include <cmath>

#include "graph/CachedLegendItem.h"
#include "graph/ColumnDecimator.h"
#include "graph/SeriesPalette.h"

namespace vornex {

namespace {

// A range with room around the data, and with some height when the data are flat.
QCPRange valueRangeWithMargin(QCPRange range) {
    if (range.size() <= 0.0) {
        const double half = std::max(std::abs(range.center()) * 0.1, 1.0);
        return QCPRange(range.center() - half, range.center() + half);
    }
    const double margin = range.size() * 0.05;
    return QCPRange(range.lower - margin, range.upper + margin);
}

}  // namespace

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
        raster_.nextFrame();
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
        Drawn now{versions_[i], keys.lower, keys.upper, columns, 0.0};
        Drawn& drawn = drawn_[i];
        if (drawn.version == now.version && drawn.lower == now.lower && drawn.upper == now.upper &&
            drawn.columns == now.columns) {
            continue;
        }
        ColumnDecimator(curves_[i], keys.lower, keys.upper, columns).decimate(scratch_);
        graphs_[i]->data()->set(scratch_, true);
        for (int p = 1; p < scratch_.size(); ++p) {
            const double step = std::abs(scratch_[p].value - scratch_[p - 1].value);
            now.travel += std::isfinite(step) ? step : 0.0;
        }
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
    auto* graph = new RasterGraph(xAxis, yAxis, raster_);
    graph->setName(labels_.curveName(series));
    // A cosmetic pen takes the raster engine's fast line drawing.
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
    int inView = 0;
    int curvesInView = 0;
    double travel = 0.0;
    const QCPRange keys = xAxis->range();
    for (size_t i = 0; i < graphs_.size(); ++i) {
        if (graphs_[i] != nullptr) {
            const auto curve = graphs_[i]->data();
            const int points =
                static_cast<int>(curve->findEnd(keys.upper) - curve->findBegin(keys.lower));
            inView += points;
            curvesInView += points > 0 ? 1 : 0;
            travel += drawn_[i].travel;
        }
    }
    // Smoothed lines cost many times more to draw; dense curves look the same without.
    setNotAntialiasedElements(inView > kMaxSmoothedPoints ? QCP::aePlottables : QCP::aeNone);
    // About the pixels the lines cross: up and down, and once across the plot each.
    const QRect area = axisRect()->rect();
    const double pixels = travel * area.height() / std::max(yAxis->range().size(), 1e-300) +
                          static_cast<double>(area.width() * curvesInView);
    raster_.setEngaged(pixels > kMinRasterPixels);
}

void CXGraph::fitKeysToData() {
    bool any = false;
    QCPRange keys;
    for (const CurveHistory& curve : curves_) {
        if (curve.empty()) {
            continue;
        }
        const QCPRange range(curve.time(0), curve.time(curve.size() - 1));
        keys = any ? QCPRange(std::min(keys.lower, range.lower), std::max(keys.upper, range.upper))
                   : range;
        any = true;
    }
    if (any) {
        xAxis->setRange(keys.size() > 0.0 ? keys : QCPRange(keys.lower - 1.0, keys.upper + 1.0));
    }
}

void CXGraph::fitValuesToData() {
    bool any = false;
    QCPRange values;
    const QCPRange keys = xAxis->range();
    for (const CurveHistory& curve : curves_) {
        const size_t from = curve.lowerBound(keys.lower, 0, curve.size());
        const size_t to = curve.upperBound(keys.upper, from, curve.size());
        if (from == to) {
            continue;
        }
        const CurveHistory::Extremes extremes = curve.extremes(from, to);
        const QCPRange range(curve.value(extremes.low), curve.value(extremes.high));
        values =
            any ? QCPRange(std::min(values.lower, range.lower), std::max(values.upper, range.upper))
                : range;
        any = true;
    }
    if (any) {
        yAxis->setRange(valueRangeWithMargin(values));
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
