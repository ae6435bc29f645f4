#pragma once

#include <functional>

#include "record/GraphControl.h"

class QCPAxis;
class QCPRange;

namespace vornex {

// One axis of the graph: a visible range set by the program, or automatic scaling to the data.
class CXGraphAxis : public GraphAxis {
public:
    // changed runs after every change the graph must redraw for.
    CXGraphAxis(QCPAxis* axis, std::function<void()> changed);

    // Shows exactly lower..upper (edges in either order) while automatic scaling is off. A
    // positive step fixes the tick spacing to multiples of it; 0 lets the ticks choose. Edges that
    // are equal or not finite leave the range as it was, since no such range can be drawn.
    void SetCurrentRange(double lower, double upper, double step) override;

    void SetAutoScale(bool on);
    bool GetAutoScale() const { return autoScale_; }

    QCPRange GetCurrentRange() const;
    QCPAxis* axis() const { return axis_; }

private:
    QCPAxis* axis_;
    std::function<void()> changed_;
    bool autoScale_ = false;
    double step_ = 0.0;
};

}  // namespace vornex
