#pragma once

#include <array>
#include <optional>

#include "record/CurveTable.h"
#include "record/GraphControl.h"

namespace vornex {

// A graph without a window: counts what each series was given since it was last cleared and
// keeps its newest point, the time range and how often it was cleared, broken and redrawn. Its
// memory does not grow with the test. Serves the command-line tool and the tests.
class HeadlessGraph : public GraphControl, private GraphAxis {
public:
    struct Series {
        int count = 0;
        CurvePoint newest;
    };

    void appendPoints(const CurvePoint* points, int count, int series) override;
    void clearCurves() override;
    void breakCurves() override { ++breaks_; }
    GraphAxis& GetXAxis(int) override { return *this; }
    void Redraw() override { ++redraws_; }

    // Series `series` since the graph was last cleared; count 0 while it was given nothing.
    const Series& series(int series) const { return series_.at(static_cast<size_t>(series)); }
    const std::optional<TimeRange>& xRange() const { return xRange_; }
    int rangeChanges() const { return rangeChanges_; }
    int redraws() const { return redraws_; }
    int clears() const { return clears_; }
    int breaks() const { return breaks_; }

private:
    void SetCurrentRange(double lower, double upper, double step) override;

    std::array<Series, kCurveSlots> series_{};
    std::optional<TimeRange> xRange_;
    int rangeChanges_ = 0;
    int redraws_ = 0;
    int clears_ = 0;
    int breaks_ = 0;
};

}  // namespace vornex
