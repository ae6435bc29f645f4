#pragma once

#include <cstdint>
#include <optional>

namespace vornex::params {

// The arithmetic of an instrument's target and limits. The instrument keeps its target in N.m as
// an integer scaled by 10^d, d following from its range; the window shows it in the instrument's
// unit. Conversions run in double precision and round to the nearest count, so that a value typed
// is written as the integer it names; a field left as shown is written back as the raw value it
// was shown from, so showing and setting again never moves the instrument's settings.

// Unit codes of the settings block offered for choice.
constexpr unsigned kFirstUnit = 1;  // N.m
constexpr unsigned kLastUnit = 4;   // in.lfb
constexpr unsigned kFirstMeasuringMode = 1;
constexpr unsigned kLastMeasuringMode = 3;
// Limit bytes hold tenths of a percent.
constexpr double kMaxLimitPercent = 25.5;

// 10^d, exact in double precision for the decimals a range can have.
double powerOfTen(int d);

// Decimals shown for a target: those of the range, one less for kgf.cm, one more for ft.lbf,
// two less for in.lfb.
int displayPrecision(int rangeDecimals, unsigned unit);

// A value in N.m in the given unit, and back; a unit outside 1..4 has no factor and leaves the
// value as it is.
double fromNewtonMetres(double newtonMetres, unsigned unit);
double toNewtonMetres(double shown, unsigned unit);

// The target held by the instrument, in the given unit.
double rawToShown(uint32_t raw, int rangeDecimals, unsigned unit);

// A target in N.m as the instrument holds it: scaled and rounded to the nearest count; nullopt
// when that leaves 0..2^32-1 or is not a number.
std::optional<uint32_t> newtonMetresToRaw(double newtonMetres, int rangeDecimals);

// A limit in percent as its byte: tenths, rounded to the nearest; nullopt outside 0.0..25.5 %.
std::optional<uint8_t> limitByte(double percent);
// A limit byte as the percent shown.
double limitPercent(uint8_t byte);

enum class SetCheck {
    Accepted,
    OutOfWindow,  // the window target -lower..target +upper leaves 10 %..100 % of the range
    BadLimit,     // a limit outside 0.0..25.5 %, which no limit byte can hold
    BadUnit,      // the instrument names no unit the target could be converted from
    NotANumber,
};

// What Set would write, with the verdict on it. The allowed targets are those the typed limits
// leave inside the window, in the unit shown.
struct SetPlan {
    SetCheck check = SetCheck::NotANumber;
    uint32_t target = 0;
    uint8_t upper = 0;
    uint8_t lower = 0;
    double lowestTarget = 0.0;
    double highestTarget = 0.0;
};

// A field of Set: a number typed, or the raw value (target count or limit byte) left as shown.
struct SetField {
    double typed = 0.0;
    std::optional<uint32_t> unchangedRaw;
};

// Checks target, upper and lower limit for an instrument of this range set to `unit`; every test
// is made in N.m on the counts that would be written.
SetPlan planSet(float range, SetField target, SetField upper, SetField lower, unsigned unit);

}  // namespace vornex::params
