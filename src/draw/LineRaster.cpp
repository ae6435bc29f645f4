#include "draw/LineRaster.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace vornex {

namespace {

// std::floor of a value already clamped to the image, without the library call.
int floorOf(double v) {
    const int i = static_cast<int>(v);
    return i - (v < i ? 1 : 0);
}

}  // namespace

void LineRaster::begin(QSize size) {
    if (image_.size() != size) {
        image_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image_.fill(Qt::transparent);
    } else {
        clearDrawn();
    }
    width_ = size.width();
    height_ = size.height();
    drawn_ = QRect();
    runs_.clear();
    lines_.clear();
}

void LineRaster::clearDrawn() {
    if (drawn_.isEmpty()) {
        return;
    }
    const size_t bytes = static_cast<size_t>(drawn_.width()) * sizeof(uint32_t);
    for (int y = drawn_.top(); y <= drawn_.bottom(); ++y) {
        std::memset(reinterpret_cast<uint32_t*>(image_.scanLine(y)) + drawn_.left(), 0, bytes);
    }
}

void LineRaster::add(const QPointF* points, int count, QRgb colour) {
    const size_t first = runs_.size();
    joined_ = false;
    ordered_ = true;
    bool have = false;
    QPointF last;
    for (int i = 0; i < count; ++i) {
        const QPointF p = points[i];
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
            have = false;
            joined_ = false;
            continue;
        }
        if (have) {
            addSegment(last, p);
        } else if (i + 1 == count || !std::isfinite(points[i + 1].x()) ||
                   !std::isfinite(points[i + 1].y())) {
            addSegment(p, p);
        }
        last = p;
        have = true;
    }
    if (!ordered_) {
        std::stable_sort(runs_.begin() + static_cast<std::ptrdiff_t>(first), runs_.end(),
                         [](const Run& a, const Run& b) { return a.x < b.x; });
    }
    if (runs_.size() > first) {
        lines_.push_back(Line{qPremultiply(colour | 0xff000000u), first, runs_.size()});
    }
}

void LineRaster::addSegment(QPointF a, QPointF b) {
    if (b.x() < a.x()) {
        std::swap(a, b);
        // Drawn backwards, the line's next run is not beside this segment's last one.
        ordered_ = false;
        joined_ = false;
    }
    const int width = width_;
    // Clamped first, so that points far outside the image convert to integers safely.
    const double left = std::max(a.x(), -1.0);
    const double right = std::min(b.x(), static_cast<double>(width));
    if (left > right) {
        joined_ = false;
        return;
    }
    const int firstColumn = std::max(floorOf(left), 0);
    const int lastColumn = std::min(floorOf(right), width - 1);
    if (firstColumn == lastColumn && a.x() >= firstColumn && b.x() < firstColumn + 1.0) {
        // The usual step of a dense curve, and every vertical one: both ends in one column.
        addRun(firstColumn, a.y(), b.y());
        return;
    }
    // From here on the segment crosses a column's edge, so it is not vertical.
    const double slope = (b.y() - a.y()) / (b.x() - a.x());
    const auto yAt = [&](double x) { return a.y() + (x - a.x()) * slope; };
    for (int x = firstColumn; x <= lastColumn; ++x) {
        const double from = std::max(left, static_cast<double>(x));
        const double to = std::min(right, static_cast<double>(x + 1));
        const double entry = yAt(from);
        const double exit = yAt(to);
        if (std::abs(exit - entry) < 1.0) {
            // A flat stretch is one pixel a column, as a painter draws it.
            const double middle = yAt((from + to) / 2.0);
            addRun(x, middle, middle);
        } else if (to >= b.x()) {
            addRun(x, entry, exit);
        } else {
            // The row the line reaches at the column's edge is the next column's first.
            addRun(x, entry, exit > entry ? exit - 1.0 : exit + 1.0);
        }
    }
}

void LineRaster::addRun(int x, double y0, double y1) {
    const int height = height_;
    const double low = std::max(std::min(y0, y1), -1.0);
    const double high = std::min(std::max(y0, y1), static_cast<double>(height));
    if (low > high) {
        joined_ = false;
        return;
    }
    const int top = std::max(floorOf(low), 0);
    const int bottom = std::min(floorOf(high), height - 1);
    if (top > bottom) {
        joined_ = false;
        return;
    }
    if (joined_ && !runs_.empty() && runs_.back().x == x) {
        Run& last = runs_.back();
        last.top = std::min(last.top, top);
        last.bottom = std::max(last.bottom, bottom);
    } else {
        runs_.push_back(Run{x, top, bottom});
    }
    joined_ = true;
}

void LineRaster::finish() {
    if (lines_.empty()) {
        return;
    }
    int left = width_;
    int right = -1;
    int top = height_;
    int bottom = -1;
    for (const Run& run : runs_) {
        left = std::min(left, run.x);
        right = std::max(right, run.x);
        top = std::min(top, run.top);
        bottom = std::max(bottom, run.bottom);
    }
    drawn_ = QRect(QPoint(left, top), QPoint(right, bottom));

    pixels_ = reinterpret_cast<uint32_t*>(image_.bits());
    stride_ = static_cast<size_t>(image_.bytesPerLine()) / sizeof(uint32_t);
    std::vector<size_t> next;
    next.reserve(lines_.size());
    for (const Line& line : lines_) {
        next.push_back(line.first);
    }
    // Column by column, the topmost line first: a pixel that a later line covers is not
    // written, so thirty curves crossing each other cost about the pixels that show.
    for (int x = left; x <= right; ++x) {
        column_.clear();
        for (size_t l = 0; l < lines_.size(); ++l) {
            for (size_t& i = next[l]; i < lines_[l].end && runs_[i].x == x; ++i) {
                column_.push_back({runs_[i], lines_[l].pixel});
            }
        }
        int total = 0;
        for (const auto& [run, pixel] : column_) {
            total += run.bottom - run.top + 1;
        }
        if (total <= 2 * height_) {
            // Little overlap to save: each run written in turn costs less than the bookkeeping.
            for (const auto& [run, pixel] : column_) {
                fill(x, run.top, run.bottom, pixel);
            }
            continue;
        }
        covered_.clear();
        for (auto it = column_.rbegin(); it != column_.rend(); ++it) {
            paintUncovered(x, it->first.top, it->first.bottom, it->second);
        }
    }
}

void LineRaster::fill(int x, int top, int bottom, uint32_t pixel) {
    uint32_t* p = pixels_ + static_cast<size_t>(top) * stride_ + static_cast<size_t>(x);
    for (int y = top; y <= bottom; ++y, p += stride_) {
        *p = pixel;
    }
}

void LineRaster::paintUncovered(int x, int top, int bottom, uint32_t pixel) {
    const auto fill = [&](int from, int to) { this->fill(x, from, to, pixel); };
    // covered_ holds disjoint, non-touching stretches of rows in order.
    merged_.clear();
    int y = top;
    bool placed = false;
    for (const Rows& rows : covered_) {
        if (rows.bottom + 1 < top) {
            merged_.push_back(rows);
            continue;
        }
        if (rows.top > bottom + 1) {
            if (!placed) {
                fill(y, bottom);
                merged_.push_back({top, bottom});
                placed = true;
            }
            merged_.push_back(rows);
            continue;
        }
        // Touches or overlaps the run: paint the rows before it, then grow the run over it.
        if (y < rows.top) {
            fill(y, std::min(rows.top - 1, bottom));
        }
        y = std::max(y, rows.bottom + 1);
        top = std::min(top, rows.top);
        bottom = std::max(bottom, rows.bottom);
    }
    if (!placed) {
        if (y <= bottom) {
            fill(y, bottom);
        }
        merged_.push_back({top, bottom});
    }
    covered_.swap(merged_);
}

}  // namespace vornex
