#include "report/ReportGraph.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace vornex {

namespace {

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
    if (e.t1 <= e.t0)
        e.t1 = e.t0 + 1.0;
    if (e.v1 <= e.v0)
        e.v1 = e.v0 + 1.0;
    const double margin = (e.v1 - e.v0) * 0.05;
    e.v0 -= margin;
    e.v1 += margin;
    return e;
}

}  // namespace

QColor slaveColour(int slave) {
    static const QRgb kColours[] = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd,
                                    0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf};
    return QColor(kColours[static_cast<size_t>(std::max(slave - 1, 0)) % std::size(kColours)]);
}

QImage drawTestGraph(const TestResults& results, QSize size, const QString& slaveLabel,
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
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QFont font = painter.font();
    font.setPixelSize(std::max(size.height() / 28, 10));
    painter.setFont(font);
    const double line = font.pixelSize() * 1.4;
    const QRectF plot(line * 4.5, line * 0.5, size.width() - line * 5, size.height() - line * 2);
    const auto at = [&](double t, double v) {
        return QPointF(plot.left() + (t - e.t0) / (e.t1 - e.t0) * plot.width(),
                       plot.bottom() - (v - e.v0) / (e.v1 - e.v0) * plot.height());
    };

    if (banded != nullptr) {
        const QPointF top = at(e.t0, banded->judged.band->high);
        const QPointF bottom = at(e.t0, banded->judged.band->low);
        painter.fillRect(QRectF(plot.left(), top.y(), plot.width(), bottom.y() - top.y()),
                         QColor(60, 170, 60, 50));
        painter.setPen(QPen(QColor(40, 130, 40), 1.5, Qt::DashLine));
        const double target = banded->judged.band->target;
        painter.drawLine(at(e.t0, target), at(e.t1, target));
    }
    painter.setPen(QPen(Qt::black, 2));
    painter.drawRect(plot);
    for (int i = 0; i <= 4; ++i) {
        const double v = e.v0 + (e.v1 - e.v0) * i / 4.0;
        const double t = e.t0 + (e.t1 - e.t0) * i / 4.0;
        painter.drawText(QRectF(0, at(0, v).y() - line / 2, plot.left() - 6, line),
                         Qt::AlignRight | Qt::AlignVCenter, QString::number(v, 'f', 1));
        painter.drawText(QRectF(at(t, 0).x() - line * 3, plot.bottom() + 2, line * 6, line),
                         Qt::AlignCenter, QString::number(t, 'f', 1));
    }

    painter.setClipRect(plot);
    for (size_t i = 0; i < results.instruments.size(); ++i) {
        const InstrumentResult& r = results.instruments[i];
        QPainterPath path;
        bool drawing = false;
        for (const CurvePoint& p : results.curves[i]) {
            if (!std::isfinite(p.time) || !std::isfinite(p.value)) {
                drawing = false;
                continue;
            }
            drawing ? path.lineTo(at(p.time, p.value)) : path.moveTo(at(p.time, p.value));
            drawing = true;
        }
        painter.setPen(QPen(slaveColour(r.slave), 2.2));
        painter.drawPath(path);
        for (const judge::JudgedEvent& event : r.events) {
            const bool bad =
                event.verdict == judge::Verdict::Low || event.verdict == judge::Verdict::High;
            painter.setPen(QPen(bad ? Qt::red : slaveColour(r.slave).darker(), 2.5));
            painter.drawEllipse(at(event.event.peakTime, event.event.peak), 5, 5);
        }
    }
    painter.setClipping(false);
    for (size_t i = 0; i < results.instruments.size(); ++i) {
        const int slave = results.instruments[i].slave;
        const double y = plot.top() + line * (static_cast<double>(i) + 0.6);
        painter.setPen(QPen(slaveColour(slave), 3));
        painter.drawLine(QPointF(plot.right() - line * 6, y),
                         QPointF(plot.right() - line * 4.5, y));
        painter.setPen(Qt::black);
        painter.drawText(QRectF(plot.right() - line * 4.2, y - line / 2, line * 4, line),
                         Qt::AlignLeft | Qt::AlignVCenter,
                         QStringLiteral("%1 %2").arg(slaveLabel).arg(slave));
    }
    return image;
}

}  // namespace vornex
