#include <gtest/gtest.h>

#include "instrument/core/ParameterArithmetic.h"
#include "instrument/core/RecordRow.h"
#include "link/NumberText.h"
#include "link/RegisterMap.h"

namespace vornex {
namespace {

using params::SetCheck;

TEST(ParameterArithmetic, TargetIsShownInEveryUnitAndTypedTargetsAreCutNotRounded) {
    // in.lfb on a range of more than 1000 leaves a negative precision: six decimals.
    const int d = regmap::decimalsForRange(5000.0f);
    EXPECT_EQ(formatFixed(params::rawToShown(50000, d, 4), params::displayPrecision(d, 4)),
              "44255.000000");
    EXPECT_EQ(params::shownToRaw(368.780f, 2, 3), 50000u);
    EXPECT_EQ(params::shownToRaw(static_cast<float>(parseLeadingNumber("123.45")), 2, 1), 12344u);
    for (unsigned unitWithoutFactor : {0u, 5u})
        EXPECT_EQ(params::shownToRaw(100.0f, 2, unitWithoutFactor), 0u);
    EXPECT_EQ(regmap::decimalsForRange(10.0001f), 3);
    EXPECT_EQ(regmap::decimalsForRange(-5.0f), 0);
}

TEST(ParameterArithmetic, SetWindow) {
    struct Case {
        float range, target, upper, lower;
        unsigned unit;
        SetCheck expected;
    };
    const Case cases[] = {
        {100, 100, 0, 0, 1, SetCheck::Accepted},
        {100, 100.1f, 0, 0, 1, SetCheck::OutOfWindow},
        {100, 15, 0, 10, 1, SetCheck::OutOfWindow},
        {500, 5098.5f, 0, 0, 2, SetCheck::OutOfWindow},
        // Limits no byte can hold, and a unit without a factor, are refused rather than written.
        {1000, 500, 25.6f, 0, 1, SetCheck::BadLimit},
        {1000, 500, 0, -0.5f, 1, SetCheck::BadLimit},
        {100, 50, 25.5f, 25.5f, 1, SetCheck::Accepted},
        {100, 50, 0, 0, 0, SetCheck::BadUnit},
        {100, 50, 0, 0, 5, SetCheck::BadUnit},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(params::checkSetValues(c.range, c.target, c.upper, c.lower, c.unit), c.expected)
            << c.range << " " << c.target << " " << c.upper << " " << c.lower << " " << c.unit;
    }
}

TEST(TextNumber, LeadingNumberOnly) {
    const std::pair<const char*, double> cases[] = {
        {"  12.5abc", 12.5}, {"+4", 4.0}, {"abc", 0.0}, {"nan", 0.0}, {"1e999", 0.0}};
    for (const auto& [text, value] : cases)
        EXPECT_EQ(parseLeadingNumber(text), value) << text;
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
    EXPECT_EQ(formatRecord(1, record(-12345, 3))[1], "-12.345");

    regmap::StoredRecord deleted = record(500, 1);
    deleted.deletedMark = 1;
    EXPECT_EQ(formatRecord(2, deleted)[1], "del");
    for (uint8_t verdict : {uint8_t{0}, uint8_t{1}, uint8_t{3}}) {
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
