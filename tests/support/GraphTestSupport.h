#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QMouseEvent>
#include <QPointF>
#include <QTest>
#include <utility>
#include <vector>

#include "graph/CXGraph.h"

namespace vornex::test {

// A curve of n points, time first + i * step, value from `value(i)`, all of one slave.
template <typename ValueOf>
std::vector<CurvePoint> makeCurve(int n, double first, double step, uint8_t slave, ValueOf value) {
    std::vector<CurvePoint> curve(static_cast<size_t>(n));
    for (int i = 0; i < n; ++i) {
        curve[i].time = first + i * step;
        curve[i].value = value(i);
        curve[i].slave = slave;
    }
    return curve;
}

// What a series shows, as (time, value) pairs in drawing order.
inline std::vector<std::pair<double, double>> shownPoints(const CXGraph& graph, int series) {
    std::vector<std::pair<double, double>> points;
    if (QCPGraph* plotted = graph.seriesGraph(series)) {
        for (const QCPGraphData& d : *plotted->data()) {
            points.emplace_back(d.key, d.value);
        }
    }
    return points;
}

// Runs the event loop until `done` holds; false when it still does not after timeoutMs.
template <typename Condition>
bool waitUntil(Condition done, int timeoutMs = 20000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired()) {
            return false;
        }
        QTest::qWait(1);
    }
    return true;
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
