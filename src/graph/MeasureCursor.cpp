#include "graph/MeasureCursor.h"

#include <qcustomplot.h>

#include <cmath>

#include "graph/NearestPoint.h"
#include "graph/SeriesLabels.h"

namespace vornex {

namespace {

constexpr double kSnapRadiusPx = 30.0;

QString seconds(double time) {
    return QString::number(time, 'f', 3);
}

}  // namespace

MeasureCursor::MeasureCursor(QCustomPlot& plot, const SeriesLabels& labels,
                             std::function<int(const QCPGraph*)> seriesOf)
    : plot_(plot), labels_(labels), seriesOf_(std::move(seriesOf)), label_(new QCPItemText(&plot)) {
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
    marksBeforePress_ = marks_;
    // Above the curves and the legend, on a white box, so that nothing runs through its text.
    label_->setLayer(QStringLiteral("overlay"));
    label_->position->setType(QCPItemPosition::ptAxisRectRatio);
    label_->position->setCoords(0.01, 0.02);
    label_->setPositionAlignment(Qt::AlignLeft | Qt::AlignTop);
    label_->setTextAlignment(Qt::AlignLeft);
    label_->setPadding(QMargins(6, 4, 6, 4));
    label_->setBrush(QBrush(Qt::white));
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
        mark.series = seriesOf_(nearest->graph);
    } else {
        mark.coords =
            QPointF(plot_.xAxis->pixelToCoord(pixel.x()), plot_.yAxis->pixelToCoord(pixel.y()));
        mark.series = -1;
    }
    active_ = which;
    mark.placed = true;
    mark.tracer->position->setCoords(mark.coords);
    mark.tracer->setVisible(true);
    updateReadout();
    return true;
}

MeasureCursor::Which MeasureCursor::click(QPointF pixel) {
    Which which = First;
    if (marks_[First].placed && (flags_ & SecondCursor)) {
        which = Second;
        if (marks_[Second].placed) {
            const auto distance = [this, pixel](const Mark& mark) {
                const QPointF at(plot_.xAxis->coordToPixel(mark.coords.x()),
                                 plot_.yAxis->coordToPixel(mark.coords.y()));
                return std::hypot(at.x() - pixel.x(), at.y() - pixel.y());
            };
            which = distance(marks_[First]) <= distance(marks_[Second]) ? First : Second;
        }
    }
    place(which, pixel);
    return which;
}

bool MeasureCursor::press(QPointF pixel, Qt::MouseButton button) {
    marksBeforePress_ = marks_;
    activeBeforePress_ = active_;
    if (button == Qt::LeftButton) {
        click(pixel);
        return true;
    }
    return button == Qt::RightButton && place(Second, pixel);
}

void MeasureCursor::undoPress() {
    marks_ = marksBeforePress_;
    active_ = activeBeforePress_;
    showMarks();
}

void MeasureCursor::hide() {
    for (Mark& mark : marks_) {
        mark.placed = false;
    }
    marksBeforePress_ = marks_;
    showMarks();
}

void MeasureCursor::showMarks() {
    for (Mark& mark : marks_) {
        mark.tracer->position->setCoords(mark.coords);
        mark.tracer->setVisible(mark.placed);
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
            const QString curve =
                mark.series >= 0 ? labels_.curveName(mark.series) : QStringLiteral("-");
            lines << labels_.texts().point.arg(QLatin1String(names[i]), seconds(mark.coords.x()),
                                               labels_.valueText(mark.series, mark.coords.y()),
                                               curve);
        }
    }
    const Mark& a = marks_[First];
    const Mark& b = marks_[Second];
    if (a.placed && b.placed) {
        const QPointF delta = b.coords - a.coords;
        // A difference between curves of different units has no unit.
        const bool sameUnit = labels_.unitOf(a.series).unit == labels_.unitOf(b.series).unit;
        const QString value = sameUnit
                                  ? labels_.valueText(a.series, delta.y())
                                  : QString::number(delta.y(), 'f', SeriesLabels::kDefaultDecimals);
        lines << labels_.texts().delta.arg(seconds(delta.x()), value);
    }
    return lines.join(QLatin1Char('\n'));
}

void MeasureCursor::updateReadout() {
    const QString text = readout();
    label_->setText(text);
    label_->setVisible(!text.isEmpty());
}

}  // namespace vornex
