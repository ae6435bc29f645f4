#include "instrument/core/ParameterArithmetic.h"

#include <cmath>

namespace vornex::params {

float powerOfTen(int d) {
    float result = 1.0f;
    float base = 10.0f;
    for (int e = d; e > 0; e >>= 1) {
        if (e & 1)
            result *= base;
        base *= base;
    }
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

float rawToShown(uint32_t raw, int rangeDecimals, unsigned unit) {
    const float v = static_cast<float>(raw) / powerOfTen(rangeDecimals);
    switch (unit) {
        case 2:
            return v * 10197.0f / 1000.0f;
        case 3:
            return v * 73756.0f / 100000.0f;
        case 4:
            return v * 8851.0f / 1000.0f;
        default:
            return v;
    }
}

uint32_t shownToRaw(float shown, int rangeDecimals, unsigned unit) {
    float n;
    switch (unit) {
        case 1:
            n = shown;
            break;
        case 2:
            n = shown * 1000.0f / 10197.0f;
            break;
        case 3:
            n = shown * 100000.0f / 73756.0f;
            break;
        case 4:
            n = shown * 1000.0f / 8851.0f;
            break;
        default:
            return 0;
    }
    // The product is not rounded back to single precision before it is cut: 123.45 typed is
    // 123.4499969... and must give 12344, where a single-precision product would round to 12345.
    const double scaled = std::trunc(static_cast<double>(n) * powerOfTen(rangeDecimals));
    if (!std::isfinite(scaled))
        return 0;
    double low = std::fmod(scaled, 4294967296.0);
    if (low < 0)
        low += 4294967296.0;
    return static_cast<uint32_t>(low);
}

uint8_t limitByte(float percent) {
    // Not rounded to single precision first: 2.3 typed is 2.2999999..., and its byte is 22.
    const double tenths = static_cast<double>(percent) * 10.0;
    if (!(tenths >= 0.0))
        return 0;
    if (tenths >= 255.0)
        return 255;
    return static_cast<uint8_t>(tenths);
}

float limitPercent(uint8_t byte) {
    return static_cast<float>(byte) / 10.0f;
}

SetCheck checkSetValues(float range, float target, float upper, float lower, unsigned unit) {
    if (!std::isfinite(range) || !std::isfinite(target) || !std::isfinite(upper) ||
        !std::isfinite(lower))
        return SetCheck::NotANumber;
    const float minimum = static_cast<float>(range * 0.1);
    const float low = target - lower * range / 100.0f;
    const float high = target + upper * range / 100.0f;
    if (minimum > low || high > range || target > range)
        return SetCheck::OutOfWindow;
    if (upper < 0.0f || upper > kMaxLimitPercent || lower < 0.0f || lower > kMaxLimitPercent)
        return SetCheck::BadLimit;
    if (unit < kFirstUnit || unit > kLastUnit)
        return SetCheck::BadUnit;
    return SetCheck::Accepted;
}

}  // namespace vornex::params
