#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>
#include <cstddef>
#include <vector>

#include "draw/ColumnDecimator.h"
#include "draw/CurveHistory.h"
#include "draw/LineRaster.h"

class QPainter;

namespace vornex {

// Where a plot's curves go in the painter's coordinates: timeLow at the left edge of `area`,
// timeHigh at its right, valueLow at its bottom and valueHigh at its top.
struct PlotView {
    QRectF area;
    double timeLow = 0.0;
    double timeHigh = 1.0;
    double valueLow = 0.0;
    double valueHigh = 1.0;

    QPointF pixel(double time, double value) const;
    // The pixel columns the area spans, at least one.
    int columns() const;
};

// Draws a test's curves with a painter onto any paint device, the window's graph, its pages and
// pictures and the report alike. Each curve is thinned to the view's pixel columns
// (ColumnDecimator) and its line broken at each gap; curves added later lie over earlier ones.
// Thin lines on a raster device without smoothing go through one LineRaster image when they
// cross many pixels, since a painter's span a pixel costs many times a store a pixel there; a
// wide pen draws each pixel column's span as one bar, since stroking it up and down through the
// same pixels costs the rasterizer seconds.
class CurvePainter {
public:
    // Above this many points drawn, smoothed lines cost many times more and look the same.
    static constexpr size_t kMaxSmoothedPoints = 2000;
    // Below this many pixels crossed, the raster's clearing and compositing cost more than a
    // painter's lines.
    static constexpr double kMinRasterPixels = 250000.0;

    // Starts the curves of one drawing; what was added before is dropped.
    void begin(const PlotView& view);
    // What `curve` shows of the view's time span.
    void add(const CurveHistory& curve, QColor colour);
    // Points thinned already, in time order.
    void add(const CurveSample* points, size_t count, QColor colour);
    // The points added since begin().
    size_t points() const { return pixels_.size(); }
    // Draws every curve added since begin(), clipped to the view's area as the painter's clip
    // says, with a pen `width` wide (0: one device pixel) in each curve's colour.
    void draw(QPainter& painter, double width = 0.0);

private:
    struct Curve {
        size_t first;
        size_t end;
        QRgb colour;
    };

    bool rastered(const QPainter& painter, double width) const;
    void drawRaster(QPainter& painter);
    void drawLines(QPainter& painter, double width) const;
    void drawColumns(QPainter& painter, const Curve& curve, double width) const;

    PlotView view_;
    std::vector<QPointF> pixels_;
    std::vector<Curve> curves_;
    // About the pixels the lines cross: up and down, and once across the plot each.
    double crossed_ = 0.0;
    std::vector<CurveSample> thinned_;
    LineRaster raster_;
};

}  // namespace vornex
