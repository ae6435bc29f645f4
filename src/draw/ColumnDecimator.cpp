#include "draw/ColumnDecimator.h"

#include <algorithm>
#include <cmath>

namespace vornex {

ColumnDecimator::ColumnDecimator(const CurveHistory& curve, double lower, double upper, int columns)
    : curve_(curve), lower_(lower), upper_(upper), columns_(std::max(columns, 1)) {}

void ColumnDecimator::decimate(std::vector<CurveSample>& out) const {
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
        } else {
            byColumn(a, b, perColumn <= kScannedPointsPerColumn, out);
        }
    };
    const std::vector<size_t>& gaps = curve_.gaps();
    size_t start = from;
    for (auto gap = std::upper_bound(gaps.begin(), gaps.end(), from);
         gap != gaps.end() && *gap < to; ++gap) {
        drawRun(start, *gap);
        out.push_back({(curve_.time(*gap - 1) + curve_.time(*gap)) / 2.0, std::nan("")});
        start = *gap;
    }
    drawRun(start, to);
}

void ColumnDecimator::point(size_t i, std::vector<CurveSample>& out) const {
    out.push_back({curve_.time(i), curve_.value(i)});
}

void ColumnDecimator::raw(size_t from, size_t to, std::vector<CurveSample>& out) const {
    for (size_t i = from; i < to; ++i) {
        point(i, out);
    }
}

void ColumnDecimator::byColumn(size_t from, size_t to, bool scan,
                               std::vector<CurveSample>& out) const {
    point(from, out);
    if (to - from < 2) {
        return;
    }
    const double width = (upper_ - lower_) / columns_;
    const size_t last = to - 1;
    // Only columns that hold points are visited: the next column starts at the next point.
    for (size_t i = from + 1; i < last;) {
        const double end = lower_ + (std::floor((curve_.time(i) - lower_) / width) + 1.0) * width;
        const Column column = scan ? scanned(i, last, end) : summarised(i, last, end);
        point(std::min(column.low, column.high), out);
        if (column.high != column.low) {
            point(std::max(column.low, column.high), out);
        }
        i = column.next;
    }
    point(last, out);
}

ColumnDecimator::Column ColumnDecimator::scanned(size_t i, size_t last, double end) const {
    Column column{i, i, i + 1};
    double low = curve_.value(i);
    double high = low;
    // Block by block, so that the inner loop reads two arrays.
    for (bool inColumn = true; inColumn && column.next < last;) {
        const CurveHistory::Span span = curve_.span(column.next);
        const size_t count = std::min(span.count, last - column.next);
        size_t k = 0;
        for (; k < count && span.time[k] < end; ++k) {
            const double v = span.value[k];
            if (v < low) {
                low = v;
                column.low = column.next + k;
            }
            if (v > high) {
                high = v;
                column.high = column.next + k;
            }
        }
        inColumn = k == count;
        column.next += k;
    }
    return column;
}

ColumnDecimator::Column ColumnDecimator::summarised(size_t i, size_t last, double end) const {
    const size_t next = std::max(curve_.lowerBound(end, i, last), i + 1);
    const CurveHistory::Extremes extremes = curve_.extremes(i, next);
    return Column{extremes.low, extremes.high, next};
}

}  // namespace vornex
