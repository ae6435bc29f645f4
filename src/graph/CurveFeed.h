#pragma once

#include <cstdint>

#include "graph/CurveHistory.h"
#include "record/CurvePoint.h"

namespace vornex {

// The whole test of one series, fed with the arrays the recording hands to the graph: an array
// that grows behind the points already given adds the new ones; the same array given again with
// fewer points and another first point is a ring of points that started again from its first
// slot, and its points add to the curve too; anything else replaces the curve. The curve is kept
// in time order.
class CurveFeed {
public:
    void take(const CurvePoint* points, int count);

    const CurveHistory& curve() const { return curve_; }
    void breakBeforeNext() { curve_.breakBeforeNext(); }
    // Changes with every take.
    uint64_t version() const { return version_; }

private:
    void add(const CurvePoint* points, int from, int to);

    CurveHistory curve_;
    const CurvePoint* source_ = nullptr;
    int shown_ = 0;
    CurvePoint first_;
    CurvePoint last_;
    uint64_t version_ = 0;
};

}  // namespace vornex
