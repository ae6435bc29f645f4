#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <tuple>

#include "draw/ColumnDecimator.h"

namespace vornex {
namespace {

// A sawtooth with noise, one point every 0.15 s, and one spike of a single point.
CurveHistory sawtooth(size_t count, size_t spikeAt) {
    CurveHistory curve;
    for (size_t i = 0; i < count; ++i) {
        const double t = 0.15 * static_cast<double>(i);
        curve.append(t, i == spikeAt ? 500.0 : std::fmod(t, 12.0) + 0.2 * std::sin(1.3 * t));
    }
    return curve;
}

bool drawn(const std::vector<CurveSample>& out, double time, double value) {
    return std::any_of(out.begin(), out.end(),
                       [&](const CurveSample& d) { return d.time == time && d.value == value; });
}

TEST(ColumnDecimator, EveryColumnKeepsItsExtremesTheEndsAreExactAndAFewPointsAreDrawnRaw) {
    constexpr size_t kPoints = 570000;
    const CurveHistory curve = sawtooth(kPoints, 300001);
    const double end = curve.time(kPoints - 1);
    for (const auto& [lower, upper, columns] : {std::tuple{0.0, end, 1600},
                                                {0.0, end, 333},
                                                {1000.5, 9000.25, 1200},
                                                {45000.0, 45000.0 + 0.15 * 40, 800}}) {
        SCOPED_TRACE(lower);
        std::vector<CurveSample> out;
        ColumnDecimator(curve, lower, upper, columns).decimate(out);
        const size_t from = curve.lowerBound(lower, 0, kPoints);
        const size_t to = curve.upperBound(upper, from, kPoints);
        // One point beyond each edge, and those ends exactly.
        const size_t first = from > 0 ? from - 1 : 0;
        const size_t last = std::min(to, kPoints - 1);
        EXPECT_EQ(out.front().time, curve.time(first));
        EXPECT_EQ(out.front().value, curve.value(first));
        EXPECT_EQ(out.back().time, curve.time(last));
        EXPECT_EQ(out.back().value, curve.value(last));
        EXPECT_TRUE(std::is_sorted(out.begin(), out.end(),
                                   [](const auto& a, const auto& b) { return a.time < b.time; }));
        if (to - from <= 2u * static_cast<size_t>(columns)) {
            ASSERT_EQ(static_cast<size_t>(out.size()), last - first + 1);
            for (size_t i = first; i <= last; ++i)
                EXPECT_EQ(out[i - first].value, curve.value(i));
            continue;
        }
        EXPECT_LE(out.size(), 2u * static_cast<size_t>(columns) + 2u);
        // Each column's lowest and highest point, found the slow way, are drawn.
        const double width = (upper - lower) / columns;
        for (size_t i = from; i < to;) {
            const double column = std::floor((curve.time(i) - lower) / width);
            size_t next = i;
            double low = curve.value(i), high = curve.value(i);
            size_t lowAt = i, highAt = i;
            for (; next < to && curve.time(next) < lower + (column + 1) * width; ++next) {
                if (curve.value(next) < low)
                    low = curve.value(lowAt = next);
                if (curve.value(next) > high)
                    high = curve.value(highAt = next);
            }
            ASSERT_TRUE(drawn(out, curve.time(lowAt), low)) << "column " << column;
            ASSERT_TRUE(drawn(out, curve.time(highAt), high)) << "column " << column;
            i = std::max(next, i + 1);
        }
    }
    std::vector<CurveSample> whole;
    ColumnDecimator(curve, 0.0, end, 1600).decimate(whole);
    EXPECT_TRUE(drawn(whole, curve.time(300001), 500.0)) << "a single-point spike is drawn";
}

TEST(ColumnDecimator, ALineBreaksAtEachGapAndPointsComeBackInTimeOrder) {
    CurveHistory curve;
    for (const double t : {5.0, 1.0, 2.0, 3.0, 40.0, 41.0, 4.0})
        curve.append(t, t * 2.0);
    curve.append(NAN, 1.0);
    curve.append(6.0, INFINITY);
    EXPECT_TRUE(curve.sort());
    std::vector<CurveSample> out;
    ColumnDecimator(curve, 0.0, 50.0, 100).decimate(out);
    ASSERT_EQ(out.size(), 8u);
    EXPECT_EQ(out[4].time, 5.0);
    EXPECT_TRUE(std::isnan(out[5].value)) << "the line breaks between 5 s and 40 s";
    EXPECT_EQ(out[7].value, 82.0);
}

}  // namespace
}  // namespace vornex
