#include "record/HeadlessGraph.h"

namespace vornex {

void HeadlessGraph::appendPoints(const CurvePoint* points, int count, int series) {
    Series& shown = series_.at(static_cast<size_t>(series));
    if (count <= 0)
        return;
    shown.count += count;
    shown.newest = points[count - 1];
}

void HeadlessGraph::clearCurves() {
    series_.fill(Series{});
    ++clears_;
}

void HeadlessGraph::SetCurrentRange(double lower, double upper, double) {
    xRange_ = TimeRange{lower, upper};
    ++rangeChanges_;
}

}  // namespace vornex
