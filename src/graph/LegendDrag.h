#pragma once

#include <QObject>
#include <QPointF>
#include <optional>

class QCustomPlot;
class QMouseEvent;

namespace vornex {

// The legend of a plot moves where the left mouse button drags it, in every mouse mode, and stays
// there, inside the axis rectangle, for as long as the plot lives: it need not hide a curve that
// the user wants to see. A press on the legend is its own, never the start of a zoom, a pan or a
// measurement.
class LegendDrag : public QObject {
public:
    // Watches the plot's mouse events from now on.
    explicit LegendDrag(QCustomPlot& plot);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool press(const QMouseEvent& event);
    void move(const QMouseEvent& event);

    QCustomPlot& plot_;
    // Where in the legend's box the mouse holds it, while it is dragged.
    std::optional<QPointF> grip_;
};

}  // namespace vornex
