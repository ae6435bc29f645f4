#include <gtest/gtest.h>

#include "instrument/core/RecordRow.h"
#include "link/ParameterArithmetic.h"
#include "link/RegisterMap.h"
#include "text/NumberText.h"

namespace vornex {
namespace {

using params::SetCheck;

std::string shown(uint32_t raw, float range, unsigned unit) {
    const int d = regmap::decimalsForRange(range);
    return formatFixed(params::rawToShown(raw, d, unit), params::displayPrecision(d, unit));
}

params::SetField typed(double value) {
    params::SetField f;
    f.typed = value;
    return f;
}

params::SetCheck check(float range, double target, double upper, double lower, unsigned unit) {
    return params::planSet(range, typed(target), typed(upper), typed(lower), unit).check;
}

TEST(ParameterArithmetic, TypedValuesRoundToTheNearestCountAndDecimalsStepDownWithTheRange) {
    auto raw = [](const char* text, int d, unsigned unit) {
        return params::newtonMetresToRaw(params::toNewtonMetres(*parseNumber(text), unit), d);
    };
    EXPECT_EQ(raw("123.45", 2, 1), 12345u);
    EXPECT_EQ(raw("45.67", 3, 1), 45670u);
    EXPECT_EQ(raw("4.1", 4, 1), 41000u);
    EXPECT_EQ(raw("368.780", 2, 3), 50000u);
    EXPECT_EQ(raw("-1", 2, 1), std::nullopt);
    EXPECT_EQ(raw("50000000", 2, 1), std::nullopt);
    EXPECT_EQ(params::limitByte(2.3), 23);
    EXPECT_EQ(params::limitByte(2.5), 25);
    EXPECT_EQ(params::limitByte(25.5), 255);
    EXPECT_EQ(params::limitByte(25.56), std::nullopt);
    EXPECT_EQ(params::limitByte(-0.5), std::nullopt);
    EXPECT_EQ(formatFixed(params::limitPercent(23), 1), "2.3");

    for (const auto& [range, d] :
         {std::pair{10.0f, 4}, {10.0001f, 3}, {100.01f, 2}, {1000.1f, 1}, {0.0f, 0}, {-5.0f, 0}})
        EXPECT_EQ(regmap::decimalsForRange(range), d) << range;
    // in.lfb on a range of more than 1000 leaves a negative precision: six decimals.
    EXPECT_EQ(shown(50000, 5000.0f, 4), "44255.000000");
}

// Every raw target shown and typed back gives the same count, in each unit whose display keeps
// enough decimals to name it (in.lfb shows two fewer, and is written back as it was shown from).
TEST(ParameterArithmetic, ShownTargetsTypedBackDoNotDrift) {
    for (const float range : {10.0f, 100.0f, 500.0f, 5000.0f}) {
        const int d = regmap::decimalsForRange(range);
        for (unsigned unit = 1; unit <= 3; ++unit) {
            int drifted = 0;
            for (uint32_t raw = 1000; raw <= 4900; ++raw) {
                const double back = *parseNumber(shown(raw, range, unit));
                if (params::newtonMetresToRaw(params::toNewtonMetres(back, unit), d) != raw)
                    ++drifted;
            }
            EXPECT_EQ(drifted, 0) << "range " << range << " unit " << unit;
        }
    }
}

TEST(ParameterArithmetic, SetWindowInNewtonMetres) {
    EXPECT_EQ(check(100, 50, 10, 10, 1), SetCheck::Accepted);
    EXPECT_EQ(check(100, 100, 0, 0, 1), SetCheck::Accepted);
    EXPECT_EQ(check(100, 100.1, 0, 0, 1), SetCheck::OutOfWindow);
    EXPECT_EQ(check(100, 15, 0, 10, 1), SetCheck::OutOfWindow);
    // The target is converted before it meets the range: 509.85 kgf.cm is 50 N.m, 1019.7 kgf.cm
    // the whole range; 80 ft.lbf is 108.5 N.m, above it.
    EXPECT_EQ(check(100, 509.85, 0, 0, 2), SetCheck::Accepted);
    EXPECT_EQ(check(100, 1019.7, 0, 0, 2), SetCheck::Accepted);
    EXPECT_EQ(check(100, 1020, 0, 0, 2), SetCheck::OutOfWindow);
    EXPECT_EQ(check(100, 80, 0, 0, 3), SetCheck::OutOfWindow);
    EXPECT_EQ(check(500, 5098.5, 0, 0, 2), SetCheck::Accepted);
    // Limits no byte can hold, and a unit without a factor, are refused rather than written.
    EXPECT_EQ(check(1000, 500, 25.6, 0, 1), SetCheck::BadLimit);
    EXPECT_EQ(check(1000, 500, 0, -0.5, 1), SetCheck::BadLimit);
    EXPECT_EQ(check(100, 50, 25.5, 25.5, 1), SetCheck::Accepted);
    EXPECT_EQ(check(100, 50, 0, 0, 0), SetCheck::BadUnit);
    EXPECT_EQ(check(100, 50, 0, 0, 5), SetCheck::BadUnit);

    // The allowed targets are named in the unit shown.
    const params::SetPlan plan = params::planSet(100, typed(5), typed(10), typed(5), 2);
    EXPECT_EQ(plan.check, SetCheck::OutOfWindow);
    EXPECT_EQ(formatFixed(plan.lowestTarget, 2), "152.96");
    EXPECT_EQ(formatFixed(plan.highestTarget, 2), "917.73");

    // A field left as shown keeps its raw value, whatever its text rounds to.
    params::SetField unchanged;
    unchanged.typed = 4426;
    unchanged.unchangedRaw = 49999;
    const params::SetPlan kept = params::planSet(500, unchanged, typed(0), typed(0), 4);
    EXPECT_EQ(kept.check, SetCheck::Accepted);
    EXPECT_EQ(kept.target, 49999u);
}

regmap::StoredRecord record(int32_t raw, uint8_t decimals) {
    regmap::StoredRecord r;
    r.rawTorque = raw;
    r.decimals = decimals;
    r.unit = 1;
    r.verdict = 2;
    r.year = 17, r.month = 5, r.day = 23, r.hour = 14, r.minute = 3, r.second = 9;
    return r;
}

TEST(RecordRow, Fields) {
    EXPECT_EQ(formatRecord(7, record(12345, 2)),
              (RecordRow{"7", "123.45", "N.m", "17-05-23 14:03:09", "pass"}));
    EXPECT_EQ(formatRecord(1, record(12345, 0))[1], "12345");
    EXPECT_EQ(formatRecord(1, record(-12345, 3))[1], "-12.345");

    regmap::StoredRecord deleted = record(500, 1);
    deleted.deletedMark = 1;
    deleted.unit = 3;
    EXPECT_EQ(formatRecord(2, deleted),
              (RecordRow{"2", "del", "ft.lbf", "17-05-23 14:03:09", "pass"}));
    for (const uint8_t verdict : {uint8_t{0}, uint8_t{1}, uint8_t{3}}) {
        regmap::StoredRecord r = record(1, 0);
        r.verdict = verdict;
        EXPECT_EQ(formatRecord(1, r)[4], "Deny");
    }
    regmap::StoredRecord odd = record(1, 0);
    odd.unit = 9;
    EXPECT_EQ(formatRecord(1, odd)[2], std::string(regmap::kUnknownName));
    EXPECT_EQ(failedRecordRow(5), (RecordRow{"5", "error", "", "", ""}));
}

}  // namespace
}  // namespace vornex
