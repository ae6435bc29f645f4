#include "report/ReportGraph.h"

#include <QFontMetricsF>
#include <QLineF>
#include <QPainter>
#include <QSet>
#include <algorithm>
#include <cmath>

#include "draw/CurvePainter.h"
#include "draw/SeriesPalette.h"
#include "judge/PeakStatistics.h"

namespace vornex {

namespace {

struct Axis {
    double low = 0.0, high = 1.0, step = 1.0, first = 0.0;
    int count = 0;  // of ticks

    // Widened to the ticks around [low, high]: the frame ends on round values.
    static Axis over(double low, double high, int most) {
        Axis a = within(low, high, most);
        a.low = std::floor(a.low / a.step + 1e-9) * a.step;
        a.high = std::ceil(a.high / a.step - 1e-9) * a.step;
        a.first = a.low;
        a.count = static_cast<int>(std::lround((a.high - a.low) / a.step)) + 1;
        return a;
    }
    // [low, high] with the ticks that fall inside it.
    static Axis within(double low, double high, int most) {
        Axis a;
        a.low = low;
        a.high = high > low ? high : low + 1.0;
        a.step = roundStep(a.high - a.low, most);
        a.first = std::ceil(a.low / a.step - 1e-9) * a.step;
        a.count = static_cast<int>(std::floor((a.high - a.first) / a.step + 1e-9)) + 1;
        return a;
    }

    double tick(int i) const { return first + step * i; }
    QString label(int i) const {
        return QString::fromStdString(judge::figureText(tick(i), stepDecimals(step)));
    }
};

struct Extent {
    double t0 = 0.0, t1 = 1.0, v0 = 0.0, v1 = 1.0;
};

Extent extentOf(const TestResults& results, const InstrumentResult* banded) {
    bool any = false;
    Extent e;
    const auto take = [&](double t, double v) {
        if (!std::isfinite(t) || !std::isfinite(v))
            return;
        if (!any) {
            e = Extent{t, t, v, v};
            any = true;
        }
        e.t0 = std::min(e.t0, t);
        e.t1 = std::max(e.t1, t);
        e.v0 = std::min(e.v0, v);
        e.v1 = std::max(e.v1, v);
    };
    for (const auto& curve : results.curves) {
        for (const CurvePoint& p : curve)
            take(p.time, p.value);
    }
    if (banded != nullptr) {
        take(e.t0, banded->judged.band->high);
        take(e.t0, banded->judged.band->low);
    }
    // A curve that touches the frame is hard to read.
    const double margin = (e.v1 - e.v0) * 0.03;
    e.v0 -= margin;
    e.v1 += margin;
    return e;
}

// "Torque (N.m)" when every curve is in the same unit, else "Torque".
QString torqueTitle(const TestResults& results, const ReportTexts& texts) {
    std::string unit;
    for (const InstrumentResult& r : results.instruments) {
        if (unit.empty())
            unit = r.unitName();
        if (r.unitName() != unit || unit == "-")
            return texts.torque;
    }
    return unit.empty() ? texts.torque
                        : QStringLiteral("%1 (%2)").arg(texts.torque, QString::fromStdString(unit));
}

}  // namespace

double roundStep(double span, int most) {
    const double wanted = std::fabs(span) / std::max(most, 1);
    if (!std::isfinite(wanted) || wanted <= 0.0)
        return 1.0;
    double power = std::pow(10.0, std::floor(std::log10(wanted)));
    for (;;) {
        for (const double factor : {1.0, 2.0, 5.0}) {
            // Tolerant of the span being a round step times `most` give or take a rounding.
            if (factor * power >= wanted * (1.0 - 1e-9))
                return factor * power;
        }
        power *= 10.0;
    }
}

int stepDecimals(double step) {
    return std::clamp(static_cast<int>(std::ceil(-std::log10(step) - 1e-9)), 0, 6);
}

QImage drawTestGraph(const TestResults& results, QSize size, const ReportTexts& texts,
                     int bandSlave) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const InstrumentResult* banded = nullptr;
    for (const InstrumentResult& r : results.instruments) {
        if (r.judged.band && (bandSlave == 0 || r.slave == bandSlave)) {
            banded = &r;
            break;
        }
    }
    const Extent e = extentOf(results, banded);
    const Axis time = Axis::over(e.t0, e.t1, 10);
    const Axis torque = Axis::within(e.v0, e.v1, 6);

    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(std::max(size.height() / 26, 10));
    painter.setFont(font);
    const QFontMetricsF metrics(font, &image);
    const double line = metrics.height();
    double labelWidth = 0.0;
    for (int i = 0; i < torque.count; ++i)
        labelWidth = std::max(labelWidth, metrics.horizontalAdvance(torque.label(i)));
    // The legend in rows under the graph, as many names to a row as fit.
    QStringList names;
    std::vector<QPointF> places;  // of each name's swatch, from the legend's top left
    double rowWidth = 0.0, rows = 1.0;
    for (const InstrumentResult& r : results.instruments) {
        names << slaveText(texts, r.slave, r.identity.name);
        const double width = line * 2.0 + metrics.horizontalAdvance(names.back());
        if (rowWidth > 0.0 && rowWidth + width > size.width() * 0.9) {
            rowWidth = 0.0;
            ++rows;
        }
        places.emplace_back(rowWidth, (rows - 1) * line);
        rowWidth += width + line;
    }
    // Room for the title turned upright, the widest torque label, half the last time label
    // beyond the right edge, the time labels with their title and the legend below.
    const double lastHalf = metrics.horizontalAdvance(time.label(time.count - 1)) / 2.0;
    const QRectF plot(QPointF(line * 1.6 + labelWidth + 8, line * 0.7),
                      QPointF(size.width() - std::max(lastHalf, line * 0.5) - 4,
                              size.height() - line * (2.7 + rows)));
    const auto at = [&](double t, double v) {
        return QPointF(
            plot.left() + (t - time.low) / (time.high - time.low) * plot.width(),
            plot.bottom() - (v - torque.low) / (torque.high - torque.low) * plot.height());
    };

    painter.setPen(QPen(QColor(225, 225, 225), 1));
    for (int i = 0; i < torque.count; ++i)
        painter.drawLine(at(time.low, torque.tick(i)), at(time.high, torque.tick(i)));
    for (int i = 0; i < time.count; ++i)
        painter.drawLine(at(time.tick(i), torque.low), at(time.tick(i), torque.high));
    if (banded != nullptr) {
        const QPointF top = at(time.low, banded->judged.band->high);
        const QPointF bottom = at(time.low, banded->judged.band->low);
        painter.fillRect(QRectF(plot.left(), top.y(), plot.width(), bottom.y() - top.y()),
                         QColor(60, 170, 60, 50));
        painter.setPen(QPen(QColor(40, 130, 40), 1.5, Qt::DashLine));
        const double target = banded->judged.band->target;
        painter.drawLine(at(time.low, target), at(time.high, target));
    }
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(plot);
    for (int i = 0; i < torque.count; ++i) {
        const double y = at(time.low, torque.tick(i)).y();
        painter.drawLine(QPointF(plot.left() - 5, y), QPointF(plot.left(), y));
        painter.drawText(QRectF(0, y - line / 2, plot.left() - 8, line),
                         Qt::AlignRight | Qt::AlignVCenter, torque.label(i));
    }
    for (int i = 0; i < time.count; ++i) {
        const double x = at(time.tick(i), torque.low).x();
        painter.drawLine(QPointF(x, plot.bottom()), QPointF(x, plot.bottom() + 5));
        painter.drawText(QRectF(x - plot.width() / 2, plot.bottom() + 6, plot.width(), line),
                         Qt::AlignHCenter | Qt::AlignTop, time.label(i));
    }
    painter.drawText(QRectF(plot.left(), plot.bottom() + line * 1.2, plot.width(), line * 1.2),
                     Qt::AlignCenter, texts.time);
    painter.save();
    painter.translate(line * 0.1, plot.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-plot.height() / 2, 0, plot.height(), line * 1.2), Qt::AlignCenter,
                     torqueTitle(results, texts));
    painter.restore();

    painter.setClipRect(plot);
    CurvePainter curves;
    for (size_t i = 0; i < results.instruments.size(); ++i) {
        const InstrumentResult& r = results.instruments[i];
        const QColor colour = seriesColor(r.slave - 1);
        // The whole test at a glance: the line runs on across pauses.
        CurveHistory curve(CurveHistory::Gaps::Join);
        for (const CurvePoint& point : results.curves[i])
            curve.append(point.time, point.value);
        curve.sort();
        curves.begin(PlotView{plot, time.low, time.high, torque.low, torque.high});
        curves.add(curve, colour);
        curves.draw(painter, 2.2);
        // Of a long test's many peaks on the same pixel one circle shows as much as all.
        QSet<quint64> drawn;
        for (const judge::JudgedEvent& event : r.events) {
            const bool bad =
                event.verdict == judge::Verdict::Low || event.verdict == judge::Verdict::High;
            const QPointF centre = at(event.event.peakTime, event.event.peak);
            const quint64 pixel = (static_cast<quint64>(std::lround(centre.x()) & 0xffffff) << 25) |
                                  (static_cast<quint64>(std::lround(centre.y()) & 0xffffff) << 1) |
                                  (bad ? 1u : 0u);
            if (drawn.contains(pixel))
                continue;
            drawn.insert(pixel);
            painter.setPen(QPen(bad ? Qt::red : colour.darker(), 2.5));
            painter.drawEllipse(centre, 5, 5);
        }
    }

    painter.setClipping(false);
    const QPointF legend(
        plot.left() + (plot.width() - (rows > 1 ? size.width() * 0.9 : rowWidth - line)) / 2,
        plot.bottom() + line * 2.6);
    for (int i = 0; i < names.size(); ++i) {
        const QPointF at0 = legend + places[static_cast<size_t>(i)];
        const double y = at0.y() + line / 2;
        painter.setPen(QPen(seriesColor(results.instruments[static_cast<size_t>(i)].slave - 1), 3));
        painter.drawLine(QPointF(at0.x(), y), QPointF(at0.x() + line * 1.4, y));
        painter.setPen(Qt::black);
        painter.drawText(QPointF(at0.x() + line * 2.0, at0.y() + metrics.ascent()), names[i]);
    }
    return image;
}

}  // namespace vornex
