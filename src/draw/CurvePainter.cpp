#include "draw/CurvePainter.h"

#include <QLineF>
#include <QPaintEngine>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace vornex {

QPointF PlotView::pixel(double time, double value) const {
    return QPointF(area.left() + (time - timeLow) / (timeHigh - timeLow) * area.width(),
                   area.bottom() - (value - valueLow) / (valueHigh - valueLow) * area.height());
}

int PlotView::columns() const {
    return std::max(static_cast<int>(std::lround(area.width())), 1);
}

void CurvePainter::begin(const PlotView& view) {
    view_ = view;
    pixels_.clear();
    curves_.clear();
    crossed_ = 0.0;
}

void CurvePainter::add(const CurveHistory& curve, QColor colour) {
    ColumnDecimator(curve, view_.timeLow, view_.timeHigh, view_.columns()).decimate(thinned_);
    add(thinned_.data(), thinned_.size(), colour);
}

void CurvePainter::add(const CurveSample* points, size_t count, QColor colour) {
    if (count == 0 || !(view_.timeHigh > view_.timeLow) || !(view_.valueHigh > view_.valueLow)) {
        return;
    }
    // Pixels from the top left of the area's whole pixels, so that the raster takes them as
    // they are. Linear axes map by a scale and an offset: two multiplications a point.
    const QPointF origin = view_.area.toAlignedRect().topLeft();
    const double xScale = view_.area.width() / (view_.timeHigh - view_.timeLow);
    const double yScale = view_.area.height() / (view_.valueHigh - view_.valueLow);
    const double x0 = view_.area.left() - origin.x();
    const double y0 = view_.area.bottom() - origin.y();
    const size_t first = pixels_.size();
    pixels_.reserve(first + count);
    double travel = 0.0;
    for (size_t i = 0; i < count; ++i) {
        pixels_.emplace_back(x0 + (points[i].time - view_.timeLow) * xScale,
                             y0 - (points[i].value - view_.valueLow) * yScale);
        if (i > 0) {
            const double step = std::abs(points[i].value - points[i - 1].value);
            travel += std::isfinite(step) ? step : 0.0;
        }
    }
    crossed_ += travel * yScale + view_.area.width();
    curves_.push_back(Curve{first, pixels_.size(), colour.rgb()});
}

void CurvePainter::draw(QPainter& painter, double width) {
    if (curves_.empty()) {
        return;
    }
    if (rastered(painter, width)) {
        drawRaster(painter);
        return;
    }
    painter.save();
    painter.translate(view_.area.toAlignedRect().topLeft());
    if (width > 1.0) {
        for (const Curve& curve : curves_) {
            drawColumns(painter, curve, width);
        }
    } else {
        drawLines(painter, width);
    }
    painter.restore();
}

bool CurvePainter::rastered(const QPainter& painter, double width) const {
    const QPaintEngine* engine = painter.paintEngine();
    return width <= 1.0 && crossed_ > kMinRasterPixels && engine != nullptr &&
           engine->type() == QPaintEngine::Raster &&
           !painter.testRenderHint(QPainter::Antialiasing) &&
           painter.deviceTransform().type() <= QTransform::TxTranslate;
}

void CurvePainter::drawRaster(QPainter& painter) {
    const QRect area = view_.area.toAlignedRect();
    if (area.isEmpty()) {
        return;
    }
    raster_.begin(area.size());
    for (const Curve& curve : curves_) {
        raster_.add(pixels_.data() + curve.first, static_cast<int>(curve.end - curve.first),
                    curve.colour);
    }
    raster_.finish();
    const QRect drawn = raster_.drawn();
    if (!drawn.isEmpty()) {
        painter.drawImage(area.topLeft() + drawn.topLeft(), raster_.image(), drawn);
    }
}

void CurvePainter::drawLines(QPainter& painter, double width) const {
    painter.setBrush(Qt::NoBrush);
    for (const Curve& curve : curves_) {
        // A cosmetic pen takes the raster engine's fast line drawing.
        QPen pen(QColor(curve.colour), width);
        pen.setCosmetic(width == 0.0);
        painter.setPen(pen);
        size_t start = curve.first;
        for (size_t i = curve.first; i <= curve.end; ++i) {
            if (i == curve.end || !std::isfinite(pixels_[i].x()) ||
                !std::isfinite(pixels_[i].y())) {
                if (i > start) {
                    painter.drawPolyline(pixels_.data() + start, static_cast<int>(i - start));
                }
                start = i + 1;
            }
        }
    }
}

void CurvePainter::drawColumns(QPainter& painter, const Curve& curve, double width) const {
    // The span between a column's lowest and highest point as a bar as wide as the pen, joined
    // to the next column by a line: it looks the same as every segment drawn.
    std::vector<QLineF> lines;
    std::vector<QRectF> bars;
    bool drawing = false;
    bool joined = false;  // to the column before
    long column = 0;
    QPointF first, last, before;
    double low = 0.0, high = 0.0;
    const auto flush = [&] {
        // From the column beside it the join is a bar too.
        if (joined && first.x() - before.x() <= width) {
            low = std::min(low, before.y());
            high = std::max(high, before.y());
        } else if (joined) {
            lines.emplace_back(before, first);
        }
        lines.emplace_back(first, first);
        if (high - low > width)
            bars.emplace_back(first.x() - width / 2, low, width, high - low);
        before = last;
        joined = true;
    };
    for (size_t i = curve.first; i < curve.end; ++i) {
        const QPointF p = pixels_[i];
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
            if (drawing)
                flush();
            drawing = joined = false;
            continue;
        }
        const long x = std::lround(std::floor(p.x()));
        if (drawing && x == column) {
            low = std::min(low, p.y());
            high = std::max(high, p.y());
            last = p;
            continue;
        }
        if (drawing)
            flush();
        column = x;
        first = last = p;
        low = high = p.y();
        drawing = true;
    }
    if (drawing)
        flush();
    const QColor colour(curve.colour);
    painter.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap));
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    painter.drawRects(bars.data(), static_cast<int>(bars.size()));
}

}  // namespace vornex
