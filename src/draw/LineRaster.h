#pragma once

#include <QImage>
#include <QPointF>
#include <QRect>
#include <cstddef>
#include <vector>

namespace vornex {

// Draws many opaque polylines, one pixel wide and not smoothed, into an image that is
// transparent elsewhere. A line's path through a pixel column becomes one vertical run of
// pixels: a dense curve, which crosses much of its height in most columns, costs one store a
// pixel instead of a painter's span a pixel. Lines added later cover earlier ones.
class LineRaster {
public:
    // Starts a frame on an image of `size`: what the last frame drew is cleared, the rest of the
    // image is still transparent.
    void begin(QSize size);
    // A polyline in image pixel coordinates (pixel (x, y) covers [x, x + 1) x [y, y + 1)); a
    // point with a coordinate that is not a finite number breaks it. Its colour is made opaque.
    void add(const QPointF* points, int count, QRgb colour);
    // Writes every line added since begin() into the image.
    void finish();

    const QImage& image() const { return image_; }
    // The part of the image the frame drew on; empty when nothing was drawn.
    QRect drawn() const { return drawn_; }

private:
    // Rows top .. bottom of column x.
    struct Run {
        int x;
        int top;
        int bottom;
    };
    struct Line {
        uint32_t pixel;
        size_t first;
        size_t end;
    };

    void addSegment(QPointF a, QPointF b);
    void addRun(int x, double y0, double y1);
    void clearDrawn();
    void fill(int x, int top, int bottom, uint32_t pixel);
    void paintUncovered(int x, int top, int bottom, uint32_t pixel);

    struct Rows {
        int top;
        int bottom;
    };

    QImage image_;
    int width_ = 0;
    int height_ = 0;
    std::vector<Run> runs_;
    std::vector<Line> lines_;
    // Runs of the line being added may grow the last run while it is in the same column.
    bool joined_ = false;
    bool ordered_ = true;
    QRect drawn_;
    // The frame being written: the runs of one column, and the rows already painted in it.
    uint32_t* pixels_ = nullptr;
    size_t stride_ = 0;
    std::vector<std::pair<Run, uint32_t>> column_;
    std::vector<Rows> covered_;
    std::vector<Rows> merged_;
};

}  // namespace vornex
