#include "graph/SeriesLabels.h"

namespace vornex {

namespace {

bool inRange(int series) {
    return series >= 0 && series < kCurveSlots;
}

}  // namespace

bool SeriesLabels::setUnits(const std::array<SeriesUnit, kCurveSlots>& units, int displayedSeries) {
    const int displayed = inRange(displayedSeries) ? displayedSeries : 0;
    if (units == units_ && displayed == displayed_)
        return false;
    units_ = units;
    displayed_ = displayed;
    return true;
}

const SeriesUnit& SeriesLabels::unitOf(int series) const {
    return units_[static_cast<size_t>(inRange(series) ? series : displayed_)];
}

QString SeriesLabels::axisTitle() const {
    const QString& unit = unitOf(displayed_).unit;
    return unit.isEmpty() ? texts_.torque : QStringLiteral("%1 (%2)").arg(texts_.torque, unit);
}

QString SeriesLabels::curveName(int series) const {
    return texts_.slave.arg(series + 1);
}

QString SeriesLabels::legendName(int series, const std::vector<int>& shown) const {
    const QString name = curveName(series);
    const QString& unit = unitOf(series).unit;
    bool mixed = false;
    for (const int other : shown)
        mixed = mixed || unitOf(other).unit != unit;
    return mixed && !unit.isEmpty() ? QStringLiteral("%1 (%2)").arg(name, unit) : name;
}

QString SeriesLabels::valueText(int series, double value) const {
    const SeriesUnit& unit = unitOf(series);
    const int decimals = unit.decimals >= 0 ? unit.decimals : kDefaultDecimals;
    const QString number = QString::number(value, 'f', decimals);
    return unit.unit.isEmpty() ? number : number + QLatin1Char(' ') + unit.unit;
}

}  // namespace vornex
