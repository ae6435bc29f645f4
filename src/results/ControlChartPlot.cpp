#include "results/ControlChartPlot.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <functional>

#include "text/NumberText.h"

namespace vornex {

namespace {

constexpr int kMargin = 8;
constexpr int kLabelWidth = 86;  // the limits' values, left of each chart

// One chart in `area`: the points in subgroup order, the limits dashed, the centre line solid.
void drawChart(QPainter& p, const QRect& area, const std::vector<double>& points,
               const spc::ChartLimits& limits, const std::function<bool(size_t)>& broken,
               int decimals) {
    double low = std::min(limits.lcl, *std::min_element(points.begin(), points.end()));
    double high = std::max(limits.ucl, *std::max_element(points.begin(), points.end()));
    const double pad = std::max((high - low) * 0.08, 1e-9);
    low -= pad;
    high += pad;
    const QRect plot = area.adjusted(kLabelWidth, 0, 0, 0);
    const auto y = [&](double v) {
        return plot.bottom() - (v - low) / (high - low) * plot.height();
    };
    const auto x = [&](size_t i) {
        return points.size() < 2 ? plot.center().x()
                                 : plot.left() + plot.width() * static_cast<double>(i) /
                                                     static_cast<double>(points.size() - 1);
    };
    p.setPen(QPen(QColor(0xa0, 0xa0, 0xa0), 1));
    p.drawRect(plot);
    for (const auto& [value, style] : {std::pair{limits.ucl, Qt::DashLine},
                                       {limits.cl, Qt::SolidLine},
                                       {limits.lcl, Qt::DashLine}}) {
        p.setPen(QPen(QColor(0x40, 0x70, 0xb0), 1, style));
        p.drawLine(QPointF(plot.left(), y(value)), QPointF(plot.right(), y(value)));
        p.setPen(Qt::black);
        p.drawText(QRectF(area.left(), y(value) - 9, kLabelWidth - 6, 18),
                   Qt::AlignRight | Qt::AlignVCenter,
                   QString::fromStdString(formatFixed(value, decimals)));
    }
    QPainterPath line;
    for (size_t i = 0; i < points.size(); ++i) {
        const QPointF at(x(i), y(points[i]));
        i == 0 ? line.moveTo(at) : line.lineTo(at);
    }
    p.setPen(QPen(Qt::black, 1.2));
    p.drawPath(line);
    for (size_t i = 0; i < points.size(); ++i) {
        const QPointF at(x(i), y(points[i]));
        const bool red = broken(i);
        p.setBrush(red ? QColor(Qt::red) : QColor(Qt::black));
        p.setPen(Qt::NoPen);
        p.drawEllipse(at, 2.5, 2.5);
        if (red) {
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(Qt::red, 1.5));
            p.drawEllipse(at, 6.0, 6.0);
        }
    }
}

}  // namespace

ControlChartPlot::ControlChartPlot(QWidget* parent) : QWidget(parent) {
    setMinimumSize(360, 240);
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);
}

void ControlChartPlot::show(const spc::SpcAnalysis& analysis, int decimals) {
    analysis_ = analysis;
    decimals_ = decimals;
    update();
}

void ControlChartPlot::paintEvent(QPaintEvent*) {
    if (!analysis_.xbar || analysis_.subgroups.size() < 2)
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect all = rect().adjusted(kMargin, kMargin, -kMargin, -kMargin);
    const int split = all.top() + all.height() * 3 / 5;
    std::vector<double> means, spreads;
    for (const spc::Subgroup& s : analysis_.subgroups) {
        means.push_back(s.mean);
        spreads.push_back(s.spread);
    }
    const auto ruleBroken = [this](size_t i) {
        return std::any_of(analysis_.breaks.begin(), analysis_.breaks.end(),
                           [i](const spc::RuleBreak& b) { return b.point == i; });
    };
    const auto spreadBroken = [this](size_t i) {
        return std::find(analysis_.spreadBreaks.begin(), analysis_.spreadBreaks.end(), i) !=
               analysis_.spreadBreaks.end();
    };
    drawChart(p, QRect(all.left(), all.top(), all.width(), split - all.top() - kMargin), means,
              *analysis_.xbar, ruleBroken, decimals_ + 1);
    drawChart(p, QRect(all.left(), split + kMargin, all.width(), all.bottom() - split - kMargin),
              spreads, *analysis_.spread, spreadBroken, decimals_ + 1);
}

}  // namespace vornex
