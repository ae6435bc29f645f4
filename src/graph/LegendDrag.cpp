#include "graph/LegendDrag.h"

#include <qcustomplot.h>

#include <algorithm>

namespace vornex {

LegendDrag::LegendDrag(QCustomPlot& plot) : plot_(plot) {
    plot.installEventFilter(this);
}

bool LegendDrag::eventFilter(QObject*, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove &&
        type != QEvent::MouseButtonRelease) {
        return false;
    }
    const auto& mouse = static_cast<const QMouseEvent&>(*event);
    if (type == QEvent::MouseButtonPress) {
        return press(mouse);
    }
    if (!grip_) {
        return false;
    }
    if (type == QEvent::MouseMove) {
        move(mouse);
    } else if (mouse.button() == Qt::LeftButton) {
        grip_.reset();
    }
    return true;
}

bool LegendDrag::press(const QMouseEvent& event) {
    QCPLegend* legend = plot_.legend;
    if (event.button() != Qt::LeftButton || legend == nullptr || !legend->realVisibility() ||
        !legend->outerRect().contains(event.position().toPoint())) {
        return false;
    }
    grip_ = event.position() - QPointF(legend->outerRect().topLeft());
    return true;
}

void LegendDrag::move(const QMouseEvent& event) {
    QCPLegend* legend = plot_.legend;
    QCPLayoutInset* inset = plot_.axisRect()->insetLayout();
    int index = 0;
    while (index < inset->elementCount() && inset->elementAt(index) != legend) {
        ++index;
    }
    if (index == inset->elementCount()) {
        return;
    }
    // Placed by its top-left corner as a fraction of the axis rectangle, so that it keeps its
    // place when the window is resized; its size stays what its entries need.
    const QRect area = inset->rect();
    const QSize size = legend->outerRect().size();
    const QPointF corner = event.position() - *grip_;
    const int right = std::max(area.left(), area.right() - size.width());
    const int bottom = std::max(area.top(), area.bottom() - size.height());
    const double x =
        std::clamp(corner.x(), static_cast<double>(area.left()), static_cast<double>(right));
    const double y =
        std::clamp(corner.y(), static_cast<double>(area.top()), static_cast<double>(bottom));
    inset->setInsetPlacement(index, QCPLayoutInset::ipFree);
    inset->setInsetRect(index, QRectF((x - area.left()) / std::max(area.width(), 1),
                                      (y - area.top()) / std::max(area.height(), 1), 0.0, 0.0));
    plot_.replot(QCustomPlot::rpQueuedReplot);
}

}  // namespace vornex
