#include "graph/ColumnDecimator.h"

#include <algorithm>
#include <cmath>

namespace vornex {

ColumnDecimator::ColumnDecimator(const CurveHistory& curve, double lower, double upper, int columns)
    : curve_(curve), lower_(lower), upper_(upper), columns_(std::max(columns, 1)) {}

void ColumnDecimator::decimate(QVector<QCPGraphData>& out) const {
    out.clear();
    const size_t size = curve_.size();
    if (size == 0) {
        return;
    }
    const size_t first = curve_.lowerBound(lower_, 0, size);
    const size_t end = curve_.upperBound(upper_, first, size);
    const size_t from = first > 0 ? first - 1 : 0;
    const size_t to = std::min(size, end + 1);
    const double perColumn = static_cast<double>(to - from) / columns_;
    const bool few = perColumn <= kRawPointsPerColumn;
    const auto drawRun = [&](size_t a, size_t b) {
        if (few) {
            raw(a, b, out);
        } else if (perColumn <= kScannedPointsPerColumn) {
            scanColumns(a, b, out);
        } else {
            byColumn(a, b, out);
        }
    };
    const std::vector<size_t>& gaps = curve_.gaps();
    size_t start = from;
    for (auto gap = std::upper_bound(gaps.begin(), gaps.end(), from);
         gap != gaps.end() && *gap < to; ++gap) {
        drawRun(start, *gap);
        out.append(QCPGraphData((curve_.time(*gap - 1) + curve_.time(*gap)) / 2.0, qQNaN()));
        start = *gap;
    }
    drawRun(start, to);
}

void ColumnDecimator::point(size_t i, QVector<QCPGraphData>& out) const {
    out.append(QCPGraphData(curve_.time(i), curve_.value(i)));
}

void ColumnDecimator::raw(size_t from, size_t to, QVector<QCPGraphData>& out) const {
    for (size_t i = from; i < to; ++i) {
        point(i, out);
    }
}

void ColumnDecimator::extremesOf(size_t low, size_t high, QVector<QCPGraphData>& out) const {
    point(std::min(low, high), out);
    if (high != low) {
        point(std::max(low, high), out);
    }
}

void ColumnDecimator::scanColumns(size_t from, size_t to, QVector<QCPGraphData>& out) const {
    point(from, out);
    if (to - from < 2) {
        return;
    }
    const double width = (upper_ - lower_) / columns_;
    const size_t last = to - 1;
    size_t i = from + 1;
    while (i < last) {
        const double end = lower_ + (std::floor((curve_.time(i) - lower_) / width) + 1.0) * width;
        size_t lowAt = i;
        size_t highAt = i;
        double low = curve_.value(i);
        double high = low;
        ++i;
        // Block by block, so that the inner loop reads two arrays.
        for (bool inColumn = true; inColumn && i < last;) {
            const CurveHistory::Span span = curve_.span(i);
            const size_t count = std::min(span.count, last - i);
            size_t k = 0;
            for (; k < count && span.time[k] < end; ++k) {
                const double v = span.value[k];
                if (v < low) {
                    low = v;
                    lowAt = i + k;
                }
                if (v > high) {
                    high = v;
                    highAt = i + k;
                }
            }
            inColumn = k == count;
            i += k;
        }
        extremesOf(lowAt, highAt, out);
    }
    point(last, out);
}

void ColumnDecimator::byColumn(size_t from, size_t to, QVector<QCPGraphData>& out) const {
    point(from, out);
    if (to - from < 2) {
        return;
    }
    const double width = (upper_ - lower_) / columns_;
    const size_t last = to - 1;
    // Only columns that hold points are visited: the next column starts at the next point.
    for (size_t i = from + 1; i < last;) {
        const double column = std::floor((curve_.time(i) - lower_) / width);
        const size_t next =
            std::max(curve_.lowerBound(lower_ + (column + 1.0) * width, i, last), i + 1);
        const CurveHistory::Extremes extremes = curve_.extremes(i, next);
        extremesOf(extremes.low, extremes.high, out);
        i = next;
    }
    point(last, out);
}

}  // namespace vornex
