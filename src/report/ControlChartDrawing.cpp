#include "report/ControlChartDrawing.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <functional>
#include <vector>

#include "text/NumberText.h"

namespace vornex {

namespace {

// More points than the plot is wide, as in a long history: each column of the plot about a dot
// wide draws the span of its points, red where one of them broke, instead of thousands of dots on
// top of each other that take seconds to paint.
template <typename X, typename Y>
void drawDense(QPainter& p, const QRectF& plot, const std::vector<double>& points,
               const std::function<bool(size_t)>& broken, X x, Y y, double dot) {
    struct Column {
        double low = 0.0, high = 0.0;
        bool red = false, seen = false;
    };
    std::vector<Column> columns(std::max<size_t>(1, static_cast<size_t>(plot.width() / dot)));
    const double width = plot.width() / static_cast<double>(columns.size());
    for (size_t i = 0; i < points.size(); ++i) {
        const double at = std::max(0.0, (x(i) - plot.left()) / width);
        Column& column = columns[std::min(columns.size() - 1, static_cast<size_t>(at))];
        column.low = column.seen ? std::min(column.low, points[i]) : points[i];
        column.high = column.seen ? std::max(column.high, points[i]) : points[i];
        column.red = column.red || broken(i);
        column.seen = true;
    }
    for (const bool red : {false, true}) {
        QPainterPath spans;
        for (size_t c = 0; c < columns.size(); ++c) {
            if (!columns[c].seen || (red && !columns[c].red))
                continue;
            // At least a dot high, so that a column of equal points still shows.
            const double left = plot.left() + static_cast<double>(c) * width;
            spans.addRect(QRectF(QPointF(left, y(columns[c].high) - dot / 2.0),
                                 QPointF(left + width, y(columns[c].low) + dot / 2.0)));
        }
        p.fillPath(spans, red ? QColor(Qt::red) : QColor(Qt::black));
    }
}

// One chart in `area`: the points in subgroup order, the limits dashed, the centre line solid.
void drawChart(QPainter& p, const QRectF& area, const std::vector<double>& points,
               const spc::ChartLimits& limits, const std::function<bool(size_t)>& broken,
               int decimals) {
    double low = std::min(limits.lcl, *std::min_element(points.begin(), points.end()));
    double high = std::max(limits.ucl, *std::max_element(points.begin(), points.end()));
    const double pad = std::max((high - low) * 0.08, 1e-9);
    low -= pad;
    high += pad;
    const QFontMetricsF metrics(p.font(), p.device());
    const double labels = metrics.horizontalAdvance(QStringLiteral("-00000.0000"));
    const QRectF plot = area.adjusted(labels, 0, 0, 0);
    const double dot = std::max(1.5, area.height() / 80.0);
    const auto y = [&](double v) {
        return plot.bottom() - (v - low) / (high - low) * plot.height();
    };
    const auto x = [&](size_t i) {
        return points.size() < 2 ? plot.center().x()
                                 : plot.left() + plot.width() * static_cast<double>(i) /
                                                     static_cast<double>(points.size() - 1);
    };
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 0));
    p.drawRect(plot);
    for (const auto& [value, style] : {std::pair{limits.ucl, Qt::DashLine},
                                       {limits.cl, Qt::SolidLine},
                                       {limits.lcl, Qt::DashLine}}) {
        p.setPen(QPen(QColor(0x40, 0x70, 0xb0), dot / 2.0, style));
        p.drawLine(QPointF(plot.left(), y(value)), QPointF(plot.right(), y(value)));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), y(value) - metrics.height() / 2.0,
                          labels - metrics.averageCharWidth(), metrics.height()),
                   Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromStdString(formatFixed(value, decimals)));
    }
    if (static_cast<double>(points.size()) > plot.width()) {
        drawDense(p, plot, points, broken, x, y, dot);
        return;
    }
    QPainterPath line;
    for (size_t i = 0; i < points.size(); ++i) {
        const QPointF at(x(i), y(points[i]));
        i == 0 ? line.moveTo(at) : line.lineTo(at);
    }
    p.setPen(QPen(Qt::black, dot / 2.0));
    p.drawPath(line);
    for (size_t i = 0; i < points.size(); ++i) {
        const QPointF at(x(i), y(points[i]));
        const bool red = broken(i);
        p.setBrush(red ? QColor(Qt::red) : QColor(Qt::black));
        p.setPen(Qt::NoPen);
        p.drawEllipse(at, dot, dot);
        if (red) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::red, dot / 2.0));
            p.drawEllipse(at, dot * 2.5, dot * 2.5);
        }
    }
}

}  // namespace

void drawControlCharts(QPainter& p, const QRectF& area, const spc::SpcAnalysis& analysis,
                       int decimals) {
    if (!analysis.xbar || analysis.subgroups.size() < 2)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    std::vector<double> means, spreads;
    for (const spc::Subgroup& s : analysis.subgroups) {
        means.push_back(s.mean);
        spreads.push_back(s.spread);
    }
    // Marked once: a long history has as many breaks as points.
    std::vector<bool> ruleMarks(means.size()), spreadMarks(spreads.size());
    for (const spc::ListedBreak& b : spc::listedBreaks(analysis))
        (b.rule == 0 ? spreadMarks : ruleMarks)[b.subgroup] = true;
    const auto ruleBroken = [&ruleMarks](size_t i) { return ruleMarks[i]; };
    const auto spreadBroken = [&spreadMarks](size_t i) { return spreadMarks[i]; };
    const double gap = area.height() * 0.04;
    const double split = area.top() + area.height() * 0.6;
    drawChart(p, QRectF(area.left(), area.top(), area.width(), split - area.top() - gap), means,
              *analysis.xbar, ruleBroken, decimals);
    drawChart(p, QRectF(area.left(), split + gap, area.width(), area.bottom() - split - gap),
              spreads, *analysis.spread, spreadBroken, decimals);
    p.restore();
}

}  // namespace vornex
