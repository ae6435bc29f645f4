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
