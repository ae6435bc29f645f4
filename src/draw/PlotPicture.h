#pragma once

#include <QColor>
#include <QFont>
#include <QSize>
#include <QString>
#include <optional>
#include <vector>

#include "draw/CurveHistory.h"
#include "draw/CurvePainter.h"

class QPainter;

namespace vornex {

// A stretch of an axis.
struct AxisSpan {
    double low;
    double high;
};

// The time span of every point of `curves`, one second wider on each side when it is a single
// instant; nothing when they are all empty.
std::optional<AxisSpan> timeSpanOf(const std::vector<const CurveHistory*>& curves);
// The values of the points of `curves` within `time`, with room of a twentieth above and below
// and some height when they are flat; nothing when no point lies within it.
std::optional<AxisSpan> valueSpanOf(const std::vector<const CurveHistory*>& curves, AxisSpan time);

// One curve of a picture, with its name in the legend.
struct PlotCurve {
    const CurveHistory* curve;
    QColor colour;
    QString name;
};

// A test's curves as the window's graph shows them, drawn whole with a painter: the value axis
// at the left and the time axis at the bottom with their titles and ticks at readable steps, a
// dotted grid whose zero line is solid, the curves (CurvePainter, smoothed while few points are
// drawn) and the legend of the curves that show points at the top right, in `font`.
struct PlotPicture {
    std::vector<PlotCurve> curves;
    AxisSpan time{0.0, 1.0};
    AxisSpan value{0.0, 1.0};
    QString timeTitle;
    QString valueTitle;
    QFont font;

    // Onto a white surface of `size` pixels at the painter's origin.
    void paint(QPainter& painter, QSize size) const;
};

}  // namespace vornex
