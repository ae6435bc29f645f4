#include "graph/MeasureCursor.h"

#include <qcustomplot.h>

#include "graph/NearestPoint.h"

namespace vornex {

namespace {

constexpr double kSnapRadiusPx = 30.0;

QString formatPoint(QPointF coords) {
    return QStringLiteral("t = %1 s   value = %2")
        .arg(coords.x(), 0, 'f', 3)
        .arg(coords.y(), 0, 'g', 6);
}

}  // namespace

MeasureCursor::MeasureCursor(QCustomPlot& plot) : plot_(plot), label_(new QCPItemText(&plot)) {
    for (int i = 0; i < 2; ++i) {
        auto* tracer = new QCPItemTracer(&plot);
        tracer->setStyle(QCPItemTracer::tsCrosshair);
        // Black stands apart from every series colour.
        QPen pen(Qt::black);
        pen.setStyle(i == 0 ? Qt::SolidLine : Qt::DashLine);
        tracer->setPen(pen);
        tracer->position->setType(QCPItemPosition::ptPlotCoords);
        tracer->setSelectable(false);
        tracer->setVisible(false);
        marks_[i].tracer = tracer;
    }
    label_->position->setType(QCPItemPosition::ptAxisRectRatio);
    label_->position->setCoords(0.01, 0.02);
    label_->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setTextAlignment(Qt::AlignLeft);
    label_->setPadding(QMargins(6, 4, 6, 4));
    label_->setBrush(QBrush(QColor(255, 255, 255, 230)));
    label_->setPen(QPen(QColor(120, 120, 120)));
    label_->setSelectable(false);
    label_->setVisible(false);
}

void MeasureCursor::setFlags(unsigned flags) {
    flags_ = flags;
    if (!(flags_ & SecondCursor)) {
        marks_[Second].placed = false;
        marks_[Second].tracer->setVisible(false);
    }
    updateReadout();
}

bool MeasureCursor::place(Which which, QPointF pixel) {
    if (which == Second && !(flags_ & SecondCursor)) {
        return false;
    }
    Mark& mark = marks_[which];
    std::optional<PlotPoint> nearest;
    if (flags_ & SnapToPoint) {
        nearest = findNearestPoint(plot_, pixel, kSnapRadiusPx);
    }
    if (nearest) {
        mark.coords = QPointF(nearest->key, nearest->value);
        mark.series = nearest->graph->name();
    } else {
        mark.coords =
            QPointF(plot_.xAxis->pixelToCoord(pixel.x()), plot_.yAxis->pixelToCoord(pixel.y()));
        mark.series.clear();
    }
    mark.placed = true;
    mark.tracer->position->setCoords(mark.coords);
    mark.tracer->setVisible(true);
    updateReadout();
    return true;
}

void MeasureCursor::hide() {
    for (Mark& mark : marks_) {
        mark.placed = false;
        mark.tracer->setVisible(false);
    }
    updateReadout();
}

QString MeasureCursor::readout() const {
    if (!(flags_ & ShowReadout)) {
        return {};
    }
    QStringList lines;
    const char* names[2] = {"A", "B"};
    for (int i = 0; i < 2; ++i) {
        const Mark& mark = marks_[i];
        if (mark.placed) {
            QString line =
                QLatin1String(names[i]) + QStringLiteral("  ") + formatPoint(mark.coords);
            if (!mark.series.isEmpty()) {
                line += QStringLiteral("   (") + mark.series + QLatin1Char(')');
            }
            lines << line;
        }
    }
    if (marks_[First].placed && marks_[Second].placed) {
        const QPointF delta = marks_[Second].coords - marks_[First].coords;
        lines << QStringLiteral("Δt = %1 s   Δvalue = %2")
                     .arg(delta.x(), 0, 'f', 3)
                     .arg(delta.y(), 0, 'g', 6);
    }
    return lines.join(QLatin1Char('\n'));
}

void MeasureCursor::updateReadout() {
    const QString text = readout();
    label_->setText(text);
    label_->setVisible(!text.isEmpty());
}

}  // namespace vornex
