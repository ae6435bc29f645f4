#include "graph/CurveFeed.h"

namespace vornex {

namespace {

bool sameSample(const CurvePoint& a, const CurvePoint& b) {
    return a.time == b.time && a.value == b.value;
}

}  // namespace

void CurveFeed::take(const CurvePoint* points, int count) {
    const bool again = points == source_ && shown_ > 0 && count > 0;
    const bool appends = again && count >= shown_ && sameSample(points[0], first_) &&
                         sameSample(points[shown_ - 1], last_);
    const bool wrapped = again && count < shown_ && !sameSample(points[0], first_);
    if (appends) {
        add(points, shown_, count);
    } else if (wrapped) {
        add(points, 0, count);
    } else {
        curve_.clear();
        add(points, 0, count);
    }
    source_ = points;
    shown_ = count;
    if (count > 0) {
        first_ = points[0];
        last_ = points[count - 1];
    }
    curve_.sort();
    ++version_;
}

void CurveFeed::add(const CurvePoint* points, int from, int to) {
    for (int i = from; i < to; ++i) {
        curve_.append(points[i].time, points[i].value);
    }
}

}  // namespace vornex
