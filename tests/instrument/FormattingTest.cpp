#include <gtest/gtest.h>

#include "instrument/core/ParameterArithmetic.h"
#include "instrument/core/RecordRow.h"
#include "link/NumberText.h"
#include "link/RegisterMap.h"

namespace vornex {
namespace {

using params::SetCheck;

std::string shown(uint32_t raw, float range, unsigned unit) {
    const int d = regmap::decimalsForRange(range);
    return formatFixed(params::rawToShown(raw, d, unit), params::displayPrecision(d, unit));
}

TEST(ParameterArithmetic, TargetOfRange500InEveryUnit) {
    EXPECT_EQ(shown(50000, 500.0f, 1), "500.00");
    EXPECT_EQ(shown(50000, 500.0f, 2), "5098.5");
    EXPECT_EQ(shown(50000, 500.0f, 3), "368.780");
    EXPECT_EQ(shown(50000, 500.0f, 4), "4426");
    // in.lfb on a range of more than 1000 leaves a negative precision: six decimals.
    EXPECT_EQ(shown(50000, 5000.0f, 4), "44255.000000");
    EXPECT_EQ(params::shownToRaw(500.00f, 2, 1), 50000u);
    EXPECT_EQ(params::shownToRaw(368.780f, 2, 3), 50000u);
}

TEST(ParameterArithmetic, TypedTargetIsCutNotRounded) {
    EXPECT_EQ(params::shownToRaw(static_cast<float>(parseLeadingNumber("123.45")), 2, 1), 12344u);
    EXPECT_EQ(params::shownToRaw(100.0f, 2, 0), 0u);
    EXPECT_EQ(params::shownToRaw(100.0f, 2, 5), 0u);
}

TEST(ParameterArithmetic, PowersAndDecimals) {
    EXPECT_EQ(params::powerOfTen(0), 1.0f);
    EXPECT_EQ(params::powerOfTen(4), 10000.0f);
    EXPECT_EQ(params::powerOfTen(7), 10000000.0f);
    EXPECT_EQ(regmap::decimalsForRange(10.0f), 4);
    EXPECT_EQ(regmap::decimalsForRange(10.0001f), 3);
    EXPECT_EQ(regmap::decimalsForRange(10000.0f), 1);
    EXPECT_EQ(regmap::decimalsForRange(20000.0f), 1);
    EXPECT_EQ(regmap::decimalsForRange(0.0f), 0);
    EXPECT_EQ(regmap::decimalsForRange(-5.0f), 0);
}

TEST(ParameterArithmetic, LimitBytes) {
    EXPECT_EQ(params::limitByte(2.3f), 22);
    EXPECT_EQ(formatFixed(params::limitPercent(22), 1), "2.2");
    EXPECT_EQ(params::limitByte(2.5f), 25);
    EXPECT_EQ(params::limitByte(25.5f), 255);
}

TEST(ParameterArithmetic, SetWindow) {
    EXPECT_EQ(params::checkSetValues(100, 50, 10, 10, 1), SetCheck::Accepted);
    EXPECT_EQ(params::checkSetValues(100, 100, 0, 0, 1), SetCheck::Accepted);
    EXPECT_EQ(params::checkSetValues(100, 100.1f, 0, 0, 1), SetCheck::OutOfWindow);
    EXPECT_EQ(params::checkSetValues(100, 15, 0, 10, 1), SetCheck::OutOfWindow);
    EXPECT_EQ(params::checkSetValues(500, 5098.5f, 0, 0, 2), SetCheck::OutOfWindow);
    // Limits no byte can hold, and a unit without a factor, are refused rather than written.
    EXPECT_EQ(params::checkSetValues(1000, 500, 25.6f, 0, 1), SetCheck::BadLimit);
    EXPECT_EQ(params::checkSetValues(1000, 500, 0, -0.5f, 1), SetCheck::BadLimit);
    EXPECT_EQ(params::checkSetValues(100, 50, 25.5f, 25.5f, 1), SetCheck::Accepted);
    EXPECT_EQ(params::checkSetValues(100, 50, 0, 0, 0), SetCheck::BadUnit);
    EXPECT_EQ(params::checkSetValues(100, 50, 0, 0, 5), SetCheck::BadUnit);
}

TEST(TextNumber, LeadingNumberOnly) {
    EXPECT_EQ(parseLeadingNumber("  12.5abc"), 12.5);
    EXPECT_EQ(parseLeadingNumber("-3"), -3.0);
    EXPECT_EQ(parseLeadingNumber("+4"), 4.0);
    EXPECT_EQ(parseLeadingNumber("abc"), 0.0);
    EXPECT_EQ(parseLeadingNumber(""), 0.0);
    EXPECT_EQ(parseLeadingNumber("nan"), 0.0);
    EXPECT_EQ(parseLeadingNumber("1e999"), 0.0);
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
    for (uint8_t verdict : {0, 1, 3}) {
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
