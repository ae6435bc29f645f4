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
    const bool few = static_cast<double>(to - from) <= kRawPointsPerColumn * columns_;
    const std::vector<size_t>& gaps = curve_.gaps();
    size_t start = from;
    for (auto gap = std::upper_bound(gaps.begin(), gaps.end(), from);
         gap != gaps.end() && *gap < to; ++gap) {
        few ? raw(start, *gap, out) : byColumn(start, *gap, out);
        out.append(QCPGraphData((curve_.time(*gap - 1) + curve_.time(*gap)) / 2.0, qQNaN()));
        start = *gap;
    }
    few ? raw(start, to, out) : byColumn(start, to, out);
}

void ColumnDecimator::point(size_t i, QVector<QCPGraphData>& out) const {
    out.append(QCPGraphData(curve_.time(i), curve_.value(i)));
}

void ColumnDecimator::raw(size_t from, size_t to, QVector<QCPGraphData>& out) const {
    for (size_t i = from; i < to; ++i) {
        point(i, out);
    }
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
        const size_t a = std::min(extremes.low, extremes.high);
        const size_t b = std::max(extremes.low, extremes.high);
        point(a, out);
        if (b != a) {
            point(b, out);
        }
        i = next;
    }
    point(last, out);
}

}  // namespace vornex
