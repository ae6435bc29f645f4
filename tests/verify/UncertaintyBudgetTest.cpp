#include <gtest/gtest.h>

#include <cmath>

#include "verify/UncertaintyBudget.h"

namespace vornex::verify {
namespace {

// Three significant figures, as a budget is worked and printed.
void expectFigures(double actual, double expected, const char* term) {
    const double scale = std::pow(10.0, 2 - std::floor(std::log10(std::fabs(expected))));
    EXPECT_EQ(std::round(actual * scale), std::round(expected * scale)) << term << " " << actual;
}

// A lab's public sheet of a 3000 N.m wrench: each contribution is the span of its series' means.
TEST(UncertaintyBudget, EachContributionIsTheSpanOfItsSeriesMeans) {
    EXPECT_NEAR(seriesSpan({3006.8, 3005.2, 3011.0, 3008.2}), 5.8, 1e-9);
    EXPECT_NEAR(seriesSpan({3011.9, 3009.4, 3008.0, 3007.4}), 4.5, 1e-9);
    EXPECT_NEAR(seriesSpan({3010.3, 3008.2, 3010.0, 3005.0}), 5.3, 1e-9);
    EXPECT_NEAR(seriesSpan({2997.8, 3001.6}), 3.8, 1e-9);
    EXPECT_EQ(seriesSpan({3000.0}), 0.0);
}

// One target value worked by hand: X = 100 N.m, r = 0.1 N.m, spans 0.6, 0.4, 0.5 and 0.3 N.m,
// W_ref = 0.5 %, ten readings with s = 0.2173 N.m and a mean deviation of +0.05 %.
//   w_r   = 0.1 / (2 sqrt 3) / 100       = 0.0289 %     w_rep = 0.6 / 3.464 / 100 = 0.173 %
//   w_od  = 0.4 / 3.464 / 100            = 0.115 %      w_int = 0.5 / 3.464 / 100 = 0.144 %
//   w_l   = 0.3 / 3.464 / 100            = 0.0866 %     w_ref = 0.5 / 2          = 0.25 %
//   w_s   = 0.2173 / sqrt 10 / 100       = 0.0687 %
//   w = 0.374 %, W = 2 w = 0.748 %, W' = 0.05 + 0.748 = 0.798 %
TEST(UncertaintyBudget, ATargetValuesBudgetAsWorkedByHand) {
    BudgetInput in;
    in.target = 100.0;
    in.readings = {100.2, 99.8, 100.1, 100.4, 99.9, 100.0, 100.3, 99.7, 100.1, 100.0};
    in.resolution = 0.1;
    in.contributions = {0.6, 0.4, 0.5, 0.3};
    in.referenceUncertainty = 0.5;
    in.meanDeviation = 0.05;
    const UncertaintyBudget b = uncertaintyBudget(in);
    expectFigures(b.resolution, 0.0289, "w_r");
    expectFigures(b.reproducibility, 0.173, "w_rep");
    expectFigures(b.outputDrive, 0.115, "w_od");
    expectFigures(b.interface, 0.144, "w_int");
    expectFigures(b.loadingPoint, 0.0866, "w_l");
    expectFigures(b.reference, 0.25, "w_ref");
    expectFigures(b.scatter, 0.0687, "w_s");
    expectFigures(b.combined, 0.374, "w");
    expectFigures(b.expanded, 0.748, "W");
    expectFigures(b.interval, 0.798, "W'");

    // A sub-test not made adds nothing; a negative deviation widens W' as a positive one does.
    in.contributions.outputDrive.reset();
    in.meanDeviation = -0.05;
    const UncertaintyBudget without = uncertaintyBudget(in);
    EXPECT_EQ(without.outputDrive, 0.0);
    EXPECT_NEAR(without.interval - without.expanded, 0.05, 1e-12);
    EXPECT_LT(without.combined, b.combined);
}

// A 4 N.m point of a class A wrench may deviate by 6 %, 0.24 N.m: a reference showing whole N.m
// cannot tell it, one showing 0.01 N.m can; a 1 % reference suits a 4 % tool, a 1.5 % one not.
TEST(UncertaintyBudget, TheQuarterRuleHoldsTheReferenceToAQuarterOfThePermissible) {
    EXPECT_FALSE(resolutionWithinQuarter(1.0, 4.0, 6.0));
    EXPECT_TRUE(resolutionWithinQuarter(0.01, 4.0, 6.0));
    EXPECT_TRUE(resolutionWithinQuarter(0.06, 4.0, 6.0));
    EXPECT_FALSE(resolutionWithinQuarter(0.07, 4.0, 6.0));
    EXPECT_TRUE(uncertaintyWithinQuarter(1.0, 4.0));
    EXPECT_FALSE(uncertaintyWithinQuarter(1.5, 4.0));
}

}  // namespace
}  // namespace vornex::verify
