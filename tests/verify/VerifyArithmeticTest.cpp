#include <gtest/gtest.h>

#include "verify/Deviation.h"
#include "verify/DeviationTable.h"
#include "verify/RunProgress.h"

namespace vornex::verify {
namespace {

TEST(VerifyArithmetic, DeviationsConformUpToThePermissibleAtTwoDecimals) {
    struct Case {
        double setting, reading, permissible;
        const char* shown;
        bool conforms;
    };
    const Case cases[] = {
        {104.0, 100.0, 4.0, "+4.00", true},   // exactly on the limit
        {96.0, 100.0, 4.0, "-4.00", true},    // on the limit, the other side
        {100.0, 96.15, 4.0, "+4.00", true},   // 4.004 %: on it at two decimals
        {100.0, 96.1, 4.0, "+4.06", false},   // beyond it
        {100.0, 104.17, 4.0, "-4.00", true},  // -3.997 %
        {100.0, 104.13, 4.0, "-3.97", true},  // inside
        {10.0, 9.43, 6.0, "+6.04", false},    // a small tool's 6 %
        {40.0, 12.0, 4.0, "+233.33", false},  // a slip, counted
    };
    for (const Case& c : cases) {
        const double d = deviationPercent(c.setting, c.reading);
        EXPECT_EQ(signedPercent(d), c.shown) << c.setting << " " << c.reading;
        EXPECT_EQ(conformsTo(d, c.permissible), c.conforms) << c.setting << " " << c.reading;
    }
}

TEST(VerifyArithmetic, ThePermissibleDeviationFollowsClassAndMaximum) {
    struct Case {
        const char* toolClass;
        double maximum;
        const char* unit;
        std::optional<double> permissible;
    };
    const Case cases[] = {
        {"A", 10.0, "N.m", 6.0},           {"A", 10.01, "N.m", 4.0},
        {"a", 200.0, "N.m", 4.0},          {"G", 5.0, "N.m", 6.0},
        {"D", 20.0, "N.m", 6.0},           {"F", 2.0, "N.m", 6.0},
        {"A", 100.0, "kgf.cm", 6.0},  // 9.8 N.m
        {"A", 10.0, "ft.lbf", 4.0},   // 13.6 N.m
        {"Z", 100.0, "N.m", std::nullopt}, {"A", 100.0, "None", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(permissibleDeviation(standardDeviationTable(), c.toolClass, c.maximum, c.unit),
                  c.permissible)
            << c.toolClass << " " << c.maximum << " " << c.unit;
    }
    EXPECT_EQ(standardDeviationTable().front().toolClass, "A");
    // Class E of the setting tools is a screwdriver; the indicating tools have classes A to E,
    // a torsion-bar wrench (A) held to 6 % where a rigid one (B) is held to 4 %.
    EXPECT_EQ(permissibleDeviation(standardDeviationTable(), "E", 20.0, "N.m"), 6.0);
    EXPECT_EQ(permissibleDeviation(standardDeviationTable("I"), "A", 200.0, "N.m"), 6.0);
    EXPECT_EQ(permissibleDeviation(standardDeviationTable("I"), "B", 200.0, "N.m"), 4.0);
    EXPECT_EQ(permissibleDeviation(standardDeviationTable("I"), "F", 200.0, "N.m"), std::nullopt);
}

// Preloads first, then each point's readings; a reading below half its point is a slip, dropped
// and taken again or counted as the plan says; the summary holds the counted readings only.
TEST(VerifyArithmetic, ARunTakesPreloadsReadingsAndSlipsInTurn) {
    for (const SlipPolicy policy : {SlipPolicy::Repeat, SlipPolicy::Count}) {
        RunPlan plan;
        plan.tool.maximum = 200.0;
        plan.points = {20, 100};
        plan.readings = 2;
        plan.preloads = 1;
        plan.slips = policy;
        RunProgress run(plan);
        EXPECT_EQ(run.take(201.004).kind, Taken::Kind::Preload);
        EXPECT_EQ(run.take(40.5).reading.deviation, deviationPercent(40.0, 40.5));
        const Taken slip = run.take(19.99);
        EXPECT_TRUE(slip.reading.slip);
        EXPECT_EQ(slip.kind,
                  policy == SlipPolicy::Repeat ? Taken::Kind::SlipRepeated : Taken::Kind::Reading);
        if (policy == SlipPolicy::Repeat) {
            EXPECT_EQ(run.next().number, 2);
            EXPECT_TRUE(run.take(39.5).endsPoint);
        }
        const PointSummary s = run.summary(0);
        const double last = policy == SlipPolicy::Repeat ? 39.5 : 19.99;
        EXPECT_DOUBLE_EQ(s.mean, (40.5 + last) / 2);
        EXPECT_DOUBLE_EQ(s.spread, 40.5 - last);
        EXPECT_DOUBLE_EQ(s.spreadShare, (40.5 - last) / 40.0 * 100.0);
        EXPECT_EQ(run.next().point, 1u);
        run.take(-200.0);
        run.take(199.0);
        EXPECT_EQ(run.next().kind, Step::Kind::Done);
        EXPECT_EQ(run.conforms(), policy == SlipPolicy::Repeat);
    }
}

}  // namespace
}  // namespace vornex::verify
