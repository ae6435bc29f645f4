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

// What the recording needs of the graph, so that it runs with or without a window. The recording
// says what changed: the graph never has to work it out. All calls come from the thread that owns
// the recording state.
class GraphControl {
public:
    virtual ~GraphControl() = default;
    // Series `series` shows points[0 .. count - 1] (x = time, y = value) behind what it shows.
    // The points are the caller's; the graph copies what it keeps.
    virtual void appendPoints(const CurvePoint* points, int count, int series) = 0;
    // Every series is empty, and whatever was measured or marked on them goes too.
    virtual void clearCurves() = 0;
    // The line of every series does not join its next point to the one before: the readings
    // paused (Stop and Start, a lost line) however short the pause looks beside the usual step.
    virtual void breakCurves() = 0;
    virtual GraphAxis& GetXAxis(int index) = 0;
    // Paints what the calls since the last redraw changed; called once per batch of updates.
    virtual void Redraw() = 0;
};

}  // namespace vornex
