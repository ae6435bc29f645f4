#pragma once

#include <cstdint>

namespace vornex::params {

// The arithmetic of an instrument's target and limits. The instrument keeps its target in N.m as
// an integer scaled by 10^d, d following from its range; the window shows it in the instrument's
// unit. Every step is done in the precision the instruments' own firmware uses, so that a value
// read, shown, typed back and written gives the instrument the same integer.

// Unit codes of the settings block offered for choice.
constexpr unsigned kFirstUnit = 1;  // N.m
constexpr unsigned kLastUnit = 4;   // in.lfb
constexpr unsigned kFirstMeasuringMode = 1;
constexpr unsigned kLastMeasuringMode = 3;
// Limit bytes hold tenths of a percent.
constexpr float kMaxLimitPercent = 25.5f;

// 10^d in single precision, by repeated squaring from 10.
float powerOfTen(int d);

// Decimals shown for a target: those of the range, one less for kgf.cm, one more for ft.lbf,
// two less for in.lfb.
int displayPrecision(int rangeDecimals, unsigned unit);

// The target held by the instrument, in the given unit.
float rawToShown(uint32_t raw, int rangeDecimals, unsigned unit);

// A target typed in the given unit, as the instrument holds it: converted to N.m in single
// precision, scaled and cut toward zero; the low 32 bits of the result. A unit outside 1..4
// has no factor and gives 0.
uint32_t shownToRaw(float shown, int rangeDecimals, unsigned unit);

// A limit in percent as its byte: tenths, cut toward zero.
uint8_t limitByte(float percent);
// A limit byte as the percent shown.
float limitPercent(uint8_t byte);

enum class SetCheck {
    Accepted,
    OutOfWindow,  // the window target -lower..target +upper leaves 10 %..100 % of the range
    BadLimit,     // a limit outside 0.0..25.5 %, which no limit byte can hold
    BadUnit,      // the instrument names no unit the target could be converted from
    NotANumber,
};

// Whether target, upper and lower limit (as typed, in the unit shown) may be written to an
// instrument of this range currently set to `unit`.
SetCheck checkSetValues(float range, float target, float upper, float lower, unsigned unit);

}  // namespace vornex::params
