#include "record/HeadlessGraph.h"

namespace vornex {

void HeadlessGraph::SetData(const CurvePoint* points, int count, int series) {
    series_.at(static_cast<size_t>(series)) = Series{points, count};
}

void HeadlessGraph::SetCurrentRange(double lower, double upper, double) {
    xRange_ = TimeRange{lower, upper};
    ++rangeChanges_;
}

}  // namespace vornex
