#include "draw/PlotPicture.h"

#include <QFontMetrics>
#include <QLineF>
#include <QLocale>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vornex {

namespace {

// The window graph's layout in pixels: the least margin around the plot, the gaps between an
// axis, its tick labels and its title, the tick lengths, and the legend's box.
constexpr int kMinMargin = 15;
constexpr int kOuterPadding = 5;
constexpr int kTimeLabelPadding = 3;
constexpr int kValueLabelPadding = 7;
constexpr int kTitlePadding = 3;
constexpr int kTickLength = 5;
constexpr int kSubTickLength = 2;
constexpr int kLegendInset = 12;
constexpr QMargins kLegendMargins(7, 5, 7, 4);
constexpr QSize kLegendIcon(32, 18);
constexpr int kLegendIconPadding = 7;
constexpr int kLegendRowSpacing = 3;
constexpr int kLegendColumnSpacing = 8;
constexpr int kLegendRows = 10;
constexpr double kLegendFontScale = 0.85;
constexpr int kTicksWanted = 5;

// Major ticks at 1, 2, 2.5 or 5 times a power of ten, about five over the span, with the minor
// ticks between them; only those within the span are drawn, and the margin is made for the labels
// of one more on each side.
struct Ticks {
    std::vector<double> major;
    std::vector<double> minor;
    std::vector<double> sized;
};

Ticks ticksOf(AxisSpan span) {
    Ticks ticks;
    const double exact = (span.high - span.low) / (kTicksWanted + 1e-10);
    if (!(exact > 0.0) || !std::isfinite(exact)) {
        return ticks;
    }
    const double magnitude = std::pow(10.0, std::floor(std::log10(exact)));
    const double mantissa = exact / magnitude;
    static const double kSteps[] = {1.0, 2.0, 2.5, 5.0, 10.0};
    const double* above = std::lower_bound(std::begin(kSteps), std::end(kSteps), mantissa);
    const double* pick = above == std::end(kSteps)                  ? above - 1
                         : above == std::begin(kSteps)              ? above
                         : mantissa - above[-1] < *above - mantissa ? above - 1
                                                                    : above;
    const double step = *pick * magnitude;
    // Minor ticks at a fifth of the step, a quarter of a step of 2.
    const int minors = *pick == 2.0 ? 3 : 4;
    const auto within = [&](double t) { return t >= span.low && t <= span.high; };
    const auto first = static_cast<long long>(std::floor(span.low / step));
    const auto last = static_cast<long long>(std::ceil(span.high / step));
    for (long long i = first; i <= last; ++i) {
        const double tick = static_cast<double>(i) * step;
        ticks.sized.push_back(tick);
        if (within(tick)) {
            ticks.major.push_back(tick);
        }
        for (int k = 1; i < last && k <= minors; ++k) {
            const double minor = tick + k * step / (minors + 1);
            if (within(minor)) {
                ticks.minor.push_back(minor);
            }
        }
    }
    return ticks;
}

QString tickLabel(double tick) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale.toString(tick, 'g', 6);
}

QRect textBounds(const QFontMetrics& metrics, const QString& text) {
    return metrics.boundingRect(0, 0, 0, 0, Qt::TextDontClip | Qt::AlignHCenter, text);
}

void drawLegend(QPainter& painter, const std::vector<const PlotCurve*>& shown, const QRect& plot,
                const QFont& font) {
    if (shown.empty()) {
        return;
    }
    QFont small = font;
    small.setPointSizeF(font.pointSizeF() * kLegendFontScale);
    const QFontMetrics metrics(small);
    const int columns = (static_cast<int>(shown.size()) + kLegendRows - 1) / kLegendRows;
    const int rows = std::min(static_cast<int>(shown.size()), kLegendRows);
    std::vector<int> widths(static_cast<size_t>(columns), 0);
    int rowHeight = kLegendIcon.height();
    for (size_t i = 0; i < shown.size(); ++i) {
        const QRect text = textBounds(metrics, shown[i]->name);
        int& width = widths[i / kLegendRows];
        width = std::max(width, kLegendIcon.width() + kLegendIconPadding + text.width());
        rowHeight = std::max(rowHeight, text.height());
    }
    int width =
        kLegendMargins.left() + kLegendMargins.right() + (columns - 1) * kLegendColumnSpacing;
    for (const int each : widths) {
        width += each;
    }
    const int height = kLegendMargins.top() + kLegendMargins.bottom() + rows * rowHeight +
                       (rows - 1) * kLegendRowSpacing;
    const QRect box(plot.left() + plot.width() - kLegendInset - width, plot.top() + kLegendInset,
                    width, height);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::white);
    painter.drawRect(box);
    painter.setBrush(Qt::NoBrush);
    painter.setFont(small);
    int x = box.left() + kLegendMargins.left();
    for (size_t i = 0; i < shown.size(); ++i) {
        const int row = static_cast<int>(i % kLegendRows);
        if (i > 0 && row == 0) {
            x += widths[i / kLegendRows - 1] + kLegendColumnSpacing;
        }
        const QPoint at(x,
                        box.top() + kLegendMargins.top() + row * (rowHeight + kLegendRowSpacing));
        const QRect text = textBounds(metrics, shown[i]->name);
        painter.setPen(Qt::black);
        painter.drawText(at.x() + kLegendIcon.width() + kLegendIconPadding, at.y(), text.width(),
                         rowHeight, Qt::TextDontClip, shown[i]->name);
        QPen line(shown[i]->colour, 0);
        line.setCosmetic(true);
        painter.setPen(line);
        const double middle = at.y() + kLegendIcon.height() / 2.0;
        painter.drawLine(QLineF(at.x(), middle, at.x() + kLegendIcon.width() - 1, middle));
    }
}

}  // namespace

std::optional<AxisSpan> timeSpanOf(const std::vector<const CurveHistory*>& curves) {
    std::optional<AxisSpan> span;
    for (const CurveHistory* curve : curves) {
        if (curve->empty()) {
            continue;
        }
        const AxisSpan each{curve->time(0), curve->time(curve->size() - 1)};
        span =
            span ? AxisSpan{std::min(span->low, each.low), std::max(span->high, each.high)} : each;
    }
    if (span && !(span->high > span->low)) {
        span = AxisSpan{span->low - 1.0, span->high + 1.0};
    }
    return span;
}

std::optional<AxisSpan> valueSpanOf(const std::vector<const CurveHistory*>& curves, AxisSpan time) {
    std::optional<AxisSpan> span;
    for (const CurveHistory* curve : curves) {
        const size_t from = curve->lowerBound(time.low, 0, curve->size());
        const size_t to = curve->upperBound(time.high, from, curve->size());
        if (from == to) {
            continue;
        }
        const CurveHistory::Extremes extremes = curve->extremes(from, to);
        const AxisSpan each{curve->value(extremes.low), curve->value(extremes.high)};
        span =
            span ? AxisSpan{std::min(span->low, each.low), std::max(span->high, each.high)} : each;
    }
    if (!span) {
        return span;
    }
    if (!(span->high > span->low)) {
        const double centre = span->low;
        const double half = std::max(std::abs(centre) * 0.1, 1.0);
        return AxisSpan{centre - half, centre + half};
    }
    const double margin = (span->high - span->low) * 0.05;
    return AxisSpan{span->low - margin, span->high + margin};
}

void PlotPicture::paint(QPainter& painter, QSize size) const {
    painter.save();
    painter.fillRect(QRect(QPoint(0, 0), size), Qt::white);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    const Ticks timeTicks = ticksOf(time);
    const Ticks valueTicks = ticksOf(value);
    int labelWidth = 0;
    int labelHeight = 0;
    for (const double tick : valueTicks.sized) {
        labelWidth = std::max(labelWidth, textBounds(metrics, tickLabel(tick)).width());
    }
    for (const double tick : timeTicks.sized) {
        labelHeight = std::max(labelHeight, textBounds(metrics, tickLabel(tick)).height());
    }
    const int titleHeight = metrics.height();
    const auto margin = [&](int padding, int labels, const QString& title) {
        return std::max(kMinMargin, padding + labels + kOuterPadding +
                                        (title.isEmpty() ? 0 : kTitlePadding + titleHeight));
    };
    const int left = margin(kValueLabelPadding, labelWidth, valueTitle);
    const int bottom = margin(kTimeLabelPadding, labelHeight, timeTitle);
    const QRect plot(left, kMinMargin, size.width() - left - kMinMargin,
                     size.height() - kMinMargin - bottom);
    if (plot.width() <= 0 || plot.height() <= 0) {
        painter.restore();
        return;
    }
    const PlotView view{
        QRectF(plot.left(), plot.bottom() - plot.height(), plot.width(), plot.height()), time.low,
        time.high, value.low, value.high};

    // The grid, with the zero line solid where the axis crosses zero.
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QPen grid(QColor(200, 200, 200), 0, Qt::DotLine);
    const QPen zero(QColor(200, 200, 200), 0, Qt::SolidLine);
    for (const double tick : timeTicks.major) {
        const double x = view.pixel(tick, value.low).x();
        painter.setPen(time.low < 0.0 && time.high > 0.0 &&
                               std::abs(tick) < (time.high - time.low) * 1e-6
                           ? zero
                           : grid);
        painter.drawLine(QLineF(x, plot.bottom(), x, plot.top()));
    }
    for (const double tick : valueTicks.major) {
        const double y = view.pixel(time.low, tick).y();
        painter.setPen(value.low < 0.0 && value.high > 0.0 &&
                               std::abs(tick) < (value.high - value.low) * 1e-6
                           ? zero
                           : grid);
        painter.drawLine(QLineF(plot.left(), y, plot.right(), y));
    }

    CurvePainter lines;
    lines.begin(view);
    std::vector<const PlotCurve*> shown;
    for (const PlotCurve& each : curves) {
        lines.add(*each.curve, each.colour);
        if (!each.curve->empty()) {
            shown.push_back(&each);
        }
    }
    painter.save();
    painter.setClipRect(plot);
    painter.setRenderHint(QPainter::Antialiasing,
                          lines.points() <= CurvePainter::kMaxSmoothedPoints);
    lines.draw(painter);
    painter.restore();

    // The axes over the curves: base lines, ticks pointing inwards, tick labels and titles.
    QPen axis(Qt::black, 0, Qt::SolidLine, Qt::SquareCap);
    painter.setPen(axis);
    painter.drawLine(QLineF(plot.left(), plot.bottom(), plot.left() + plot.width(), plot.bottom()));
    painter.drawLine(
        QLineF(plot.left(), plot.bottom(), plot.left(), plot.bottom() - plot.height()));
    for (const double tick : timeTicks.minor) {
        const double x = view.pixel(tick, value.low).x();
        painter.drawLine(QLineF(x, plot.bottom(), x, plot.bottom() - kSubTickLength));
    }
    for (const double tick : valueTicks.minor) {
        const double y = view.pixel(time.low, tick).y();
        painter.drawLine(QLineF(plot.left(), y, plot.left() + kSubTickLength, y));
    }
    for (const double tick : timeTicks.major) {
        const double x = view.pixel(tick, value.low).x();
        painter.drawLine(QLineF(x, plot.bottom(), x, plot.bottom() - kTickLength));
        const QString label = tickLabel(tick);
        const QRect bounds = textBounds(metrics, label);
        // On whole pixels, as the window's graph lays its labels down.
        painter.drawText(QRect(static_cast<int>(std::lround(x - bounds.width() / 2.0)),
                               plot.bottom() + kTimeLabelPadding, bounds.width(), bounds.height()),
                         Qt::TextDontClip | Qt::AlignHCenter, label);
    }
    for (const double tick : valueTicks.major) {
        const double y = view.pixel(time.low, tick).y();
        painter.drawLine(QLineF(plot.left(), y, plot.left() + kTickLength, y));
        const QString label = tickLabel(tick);
        const QRect bounds = textBounds(metrics, label);
        painter.drawText(QRect(plot.left() - kValueLabelPadding - bounds.width(),
                               static_cast<int>(std::lround(y - bounds.height() / 2.0)),
                               bounds.width(), bounds.height()),
                         Qt::TextDontClip | Qt::AlignRight | Qt::AlignVCenter, label);
    }
    const int timeTitleTop = plot.bottom() + kTimeLabelPadding + labelHeight + kTitlePadding;
    painter.drawText(QRect(plot.left(), timeTitleTop, plot.width(), titleHeight),
                     Qt::TextDontClip | Qt::AlignCenter, timeTitle);
    painter.save();
    painter.translate(plot.left() - kValueLabelPadding - labelWidth - kTitlePadding - titleHeight,
                      plot.bottom());
    painter.rotate(-90);
    painter.drawText(QRect(0, 0, plot.height(), titleHeight), Qt::TextDontClip | Qt::AlignCenter,
                     valueTitle);
    painter.restore();

    drawLegend(painter, shown, plot, font);
    painter.restore();
}

}  // namespace vornex
