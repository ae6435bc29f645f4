#pragma once

#include <array>
#include <optional>

#include "record/CurveTable.h"
#include "record/GraphControl.h"

namespace vornex {

// A graph without a window: remembers what each series was given, the time range and how often
// it was redrawn. Serves the command-line tool and the tests.
class HeadlessGraph : public GraphControl, private GraphAxis {
public:
    struct Series {
        const CurvePoint* points = nullptr;
        int count = 0;
    };

    void SetData(const CurvePoint* points, int count, int series) override;
    GraphAxis& GetXAxis(int) override { return *this; }
    void NoOp() override { ++neutralModeCalls_; }
    void Redraw() override { ++redraws_; }

    // Series `series` as last given; count 0 when it was never given.
    const Series& series(int series) const { return series_.at(static_cast<size_t>(series)); }
    const std::optional<TimeRange>& xRange() const { return xRange_; }
    int rangeChanges() const { return rangeChanges_; }
    int redraws() const { return redraws_; }
    int neutralModeCalls() const { return neutralModeCalls_; }

private:
    void SetCurrentRange(double lower, double upper, double step) override;

    std::array<Series, kCurveSlots> series_{};
    std::optional<TimeRange> xRange_;
    int rangeChanges_ = 0;
    int redraws_ = 0;
    int neutralModeCalls_ = 0;
};

}  // namespace vornex
