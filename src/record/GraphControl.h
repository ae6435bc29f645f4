#pragma once

#include "record/CurvePoint.h"

namespace vornex {

// One axis of the graph.
class GraphAxis {
public:
    virtual ~GraphAxis() = default;
    // Shows exactly [lower, upper] while automatic scaling is off; `step` 0 lets the graph choose.
    virtual void SetCurrentRange(double lower, double upper, double step) = 0;
};

// What the recording needs of the graph, so that it runs with or without a window. All calls
// come from the thread that owns the recording state.
class GraphControl {
public:
    virtual ~GraphControl() = default;
    // Series `series` shows points[0 .. count - 1] (x = time, y = value) instead of what it
    // showed. The array stays owned by the caller and keeps its address.
    virtual void SetData(const CurvePoint* points, int count, int series) = 0;
    virtual GraphAxis& GetXAxis(int index) = 0;
    // Leaves any zoom, pan or cursor mode.
    virtual void NoOp() = 0;
    // The line of every series does not join its next point to the one before: the readings
    // paused (Stop and Start, a lost line) however short the pause looks beside the usual step.
    virtual void breakCurves() {}
    // Paints what the calls since the last redraw changed; called once per batch of updates.
    virtual void Redraw() = 0;
};

}  // namespace vornex
