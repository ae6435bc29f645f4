#pragma once

#include <QString>
#include <array>
#include <vector>

#include "draw/GraphTexts.h"
#include "record/CurvePoint.h"

namespace vornex {

// How an instrument's readings are written: its unit name (empty when it has none) and the
// number of decimals it shows (-1 when not known yet).
struct SeriesUnit {
    QString unit;
    int decimals = -1;
    bool operator==(const SeriesUnit& other) const {
        return unit == other.unit && decimals == other.decimals;
    }
};

// Names and units of the graph's series: the value axis carries the displayed instrument's unit,
// and when the shown curves have different units each legend entry carries its own.
class SeriesLabels {
public:
    static constexpr int kDefaultDecimals = 2;

    const GraphTexts& texts() const { return texts_; }
    void setTexts(const GraphTexts& texts) { texts_ = texts; }
    // False when nothing changed.
    bool setUnits(const std::array<SeriesUnit, kCurveSlots>& units, int displayedSeries);

    // "Torque (N.m)", or the bare title while the displayed instrument's unit is unknown.
    QString axisTitle() const;
    // The legend entry of a series; `shown` lists the series that show points.
    QString legendName(int series, const std::vector<int>& shown) const;
    // A curve's name in the measuring readout.
    QString curveName(int series) const;
    // A value of a series with its instrument's decimals and unit; series -1 takes the displayed
    // instrument's.
    QString valueText(int series, double value) const;
    const SeriesUnit& unitOf(int series) const;

private:
    GraphTexts texts_;
    std::array<SeriesUnit, kCurveSlots> units_{};
    int displayed_ = 0;
};

}  // namespace vornex
