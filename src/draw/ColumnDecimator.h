#pragma once

#include <vector>

#include "draw/CurveHistory.h"

namespace vornex {

// A point as drawn: a value that is not a number breaks the line there.
struct CurveSample {
    double time;
    double value;
};

// What one curve draws of the time span lower..upper on `columns` pixel columns: every point
// when there are at most two a column, else the lowest and the highest point of each column, in
// time order. The first and the last point of each stretch between gaps are always drawn, as is
// one point on each side beyond the span, so that lines leave the plot where they should; a
// point without a value in the middle of each gap breaks the line. The work grows with the
// columns, not with the points.
class ColumnDecimator {
public:
    static constexpr double kRawPointsPerColumn = 2.0;
    // Up to this many points a column, reading every point costs less than the summary's steps.
    static constexpr double kScannedPointsPerColumn = 64.0;

    ColumnDecimator(const CurveHistory& curve, double lower, double upper, int columns);

    // Replaces `out` with the points to draw.
    void decimate(std::vector<CurveSample>& out) const;

private:
    void raw(size_t from, size_t to, std::vector<CurveSample>& out) const;
    // The lowest and highest point of a column, and the first point after it.
    struct Column {
        size_t low;
        size_t high;
        size_t next;
    };

    // `scan` reads every point of each column; otherwise the curve's summary finds them.
    void byColumn(size_t from, size_t to, bool scan, std::vector<CurveSample>& out) const;
    Column scanned(size_t i, size_t last, double end) const;
    Column summarised(size_t i, size_t last, double end) const;
    void point(size_t i, std::vector<CurveSample>& out) const;

    const CurveHistory& curve_;
    double lower_;
    double upper_;
    int columns_;
};

}  // namespace vornex
