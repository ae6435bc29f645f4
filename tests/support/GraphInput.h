#pragma once

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPointF>
#include <algorithm>
#include <utility>
#include <vector>

#include "draw/ColumnDecimator.h"
#include "graph/CXGraph.h"

namespace vornex::test {

// A curve of n points, time first + i * step, value from `value(i)`, all of one slave.
template <typename ValueOf>
std::vector<CurvePoint> makeCurve(int n, double first, double step, uint8_t slave, ValueOf value) {
    std::vector<CurvePoint> curve;
    for (int i = 0; i < n; ++i)
        curve.push_back(CurvePoint{first + i * step, value(i), slave, {}});
    return curve;
}

// Every point a series shows, whatever the view, as (time, value) pairs in drawing order; a
// point without a value breaks the line.
inline std::vector<std::pair<double, double>> shownPoints(const CXGraph& graph, int series) {
    std::vector<std::pair<double, double>> points;
    const CurveHistory& curve = graph.seriesCurve(series);
    if (curve.empty())
        return points;
    std::vector<CurveSample> drawn;
    ColumnDecimator(curve, curve.time(0), curve.time(curve.size() - 1),
                    static_cast<int>(curve.size()))
        .decimate(drawn);
    for (const CurveSample& d : drawn)
        points.emplace_back(d.time, d.value);
    return points;
}

// Coloured (neither white nor grey) pixels of an image inside a rectangle.
inline int colouredPixels(const QImage& image, const QRect& rect) {
    int count = 0;
    for (int x = rect.left(); x <= rect.right(); ++x) {
        for (int y = rect.top(); y <= rect.bottom(); ++y) {
            const QColor c = image.pixelColor(x, y);
            count += std::max({c.red(), c.green(), c.blue()}) -
                         std::min({c.red(), c.green(), c.blue()}) >
                     30;
        }
    }
    return count;
}

inline QPointF pixelOf(const CXGraph& graph, double time, double value) {
    return QPointF(graph.xAxis->coordToPixel(time), graph.yAxis->coordToPixel(value));
}

inline void sendMouse(QWidget* widget, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::MouseButtons held) {
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// Press at `from`, move in steps to `to` with the button held, release there.
inline void drag(QWidget* widget, QPointF from, QPointF to,
                 Qt::MouseButton button = Qt::LeftButton) {
    sendMouse(widget, QEvent::MouseButtonPress, from, button, button);
    for (int step = 1; step <= 5; ++step) {
        sendMouse(widget, QEvent::MouseMove, from + (to - from) * (step / 5.0), Qt::NoButton,
                  button);
    }
    sendMouse(widget, QEvent::MouseButtonRelease, to, button, Qt::NoButton);
}

inline void click(QWidget* widget, QPointF at, Qt::MouseButton button = Qt::LeftButton) {
    sendMouse(widget, QEvent::MouseButtonPress, at, button, button);
    sendMouse(widget, QEvent::MouseButtonRelease, at, button, Qt::NoButton);
}

}  // namespace vornex::test
