#include "link/ParameterArithmetic.h"

#include <cmath>

#include "link/RegisterMap.h"

namespace vornex::params {

double powerOfTen(int d) {
    double result = 1.0;
    for (int e = 0; e < d; ++e)
        result *= 10.0;
    return result;
}

int displayPrecision(int rangeDecimals, unsigned unit) {
    switch (unit) {
        case 2:
            return rangeDecimals - 1;
        case 3:
            return rangeDecimals + 1;
        case 4:
            return rangeDecimals - 2;
        default:
            return rangeDecimals;
    }
}

double fromNewtonMetres(double newtonMetres, unsigned unit) {
    switch (unit) {
        case 2:
            return newtonMetres * 10197.0 / 1000.0;
        case 3:
            return newtonMetres * 73756.0 / 100000.0;
        case 4:
            return newtonMetres * 8851.0 / 1000.0;
        default:
            return newtonMetres;
    }
}

double toNewtonMetres(double shown, unsigned unit) {
    switch (unit) {
        case 2:
            return shown * 1000.0 / 10197.0;
        case 3:
            return shown * 100000.0 / 73756.0;
        case 4:
            return shown * 1000.0 / 8851.0;
        default:
            return shown;
    }
}

double rawToShown(uint32_t raw, int rangeDecimals, unsigned unit) {
    return fromNewtonMetres(static_cast<double>(raw) / powerOfTen(rangeDecimals), unit);
}

std::optional<uint32_t> newtonMetresToRaw(double newtonMetres, int rangeDecimals) {
    const double scaled = std::round(newtonMetres * powerOfTen(rangeDecimals));
    if (!(scaled >= 0.0 && scaled <= 4294967295.0))
        return std::nullopt;
    return static_cast<uint32_t>(scaled);
}

std::optional<uint8_t> limitByte(double percent) {
    const double tenths = std::round(percent * 10.0);
    if (!(tenths >= 0.0 && tenths <= 255.0))
        return std::nullopt;
    return static_cast<uint8_t>(tenths);
}

double limitPercent(uint8_t byte) {
    return static_cast<double>(byte) / 10.0;
}

namespace {

bool finite(const SetField& field) {
    return field.unchangedRaw || std::isfinite(field.typed);
}

std::optional<uint8_t> limitOf(const SetField& field) {
    if (field.unchangedRaw)
        return static_cast<uint8_t>(*field.unchangedRaw);
    return limitByte(field.typed);
}

}  // namespace

SetPlan planSet(float range, SetField target, SetField upper, SetField lower, unsigned unit) {
    SetPlan plan;
    if (!std::isfinite(range) || !finite(target) || !finite(upper) || !finite(lower))
        return plan;
    if (unit < kFirstUnit || unit > kLastUnit) {
        plan.check = SetCheck::BadUnit;
        return plan;
    }
    const int d = regmap::decimalsForRange(range);
    const double r = static_cast<double>(range);
    const std::optional<uint8_t> upperByte = limitOf(upper);
    const std::optional<uint8_t> lowerByte = limitOf(lower);
    // The window in N.m that the limits leave for the target: low = T - L R / 100 >= R / 10 and
    // high = T + U R / 100 <= R.
    const double upperShare = upperByte ? limitPercent(*upperByte) * r / 100.0 : 0.0;
    const double lowerShare = lowerByte ? limitPercent(*lowerByte) * r / 100.0 : 0.0;
    plan.lowestTarget = fromNewtonMetres(r * 0.1 + lowerShare, unit);
    plan.highestTarget = fromNewtonMetres(r - upperShare, unit);
    if (!upperByte || !lowerByte) {
        plan.check = SetCheck::BadLimit;
        return plan;
    }
    plan.upper = *upperByte;
    plan.lower = *lowerByte;

    const std::optional<uint32_t> raw =
        target.unchangedRaw ? target.unchangedRaw
                            : newtonMetresToRaw(toNewtonMetres(target.typed, unit), d);
    if (!raw) {
        plan.check = SetCheck::OutOfWindow;
        return plan;
    }
    plan.target = *raw;
    // Compared in counts of the instrument, where target and range are whole numbers.
    const double scale = powerOfTen(d);
    const double t = static_cast<double>(*raw);
    const double rangeCounts = std::round(r * scale);
    const double low = t - lowerShare * scale;
    const double high = t + upperShare * scale;
    const double slack = 1e-6;
    if (rangeCounts * 0.1 > low + slack || high > rangeCounts + slack || t > rangeCounts)
        plan.check = SetCheck::OutOfWindow;
    else
        plan.check = SetCheck::Accepted;
    return plan;
}

}  // namespace vornex::params
