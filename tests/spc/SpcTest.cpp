#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "spc/ChartConstants.h"
#include "spc/ControlChart.h"
#include "spc/RunRules.h"

namespace vornex::spc {
namespace {

// The published table of control-chart constants (Montgomery, Introduction to Statistical Quality
// Control, appendix VI; ASTM E2587), to its three decimals (c4 to four). Tables worked from
// rounded d2 and d3 differ in the last place here and there, so one unit of it is allowed.
TEST(Spc, TheConstantsAreThoseOfThePublishedTable) {
    struct Row {
        int n;
        double A2, A3, B3, B4, c4, d2, d3, D3, D4;
    };
    const Row rows[] = {
        {2, 1.880, 2.659, 0.000, 3.267, 0.7979, 1.128, 0.853, 0.000, 3.267},
        {3, 1.023, 1.954, 0.000, 2.568, 0.8862, 1.693, 0.888, 0.000, 2.574},
        {4, 0.729, 1.628, 0.000, 2.266, 0.9213, 2.059, 0.880, 0.000, 2.282},
        {5, 0.577, 1.427, 0.000, 2.089, 0.9400, 2.326, 0.864, 0.000, 2.114},
        {6, 0.483, 1.287, 0.030, 1.970, 0.9515, 2.534, 0.848, 0.000, 2.004},
        {7, 0.419, 1.182, 0.118, 1.882, 0.9594, 2.704, 0.833, 0.076, 1.924},
        {8, 0.373, 1.099, 0.185, 1.815, 0.9650, 2.847, 0.820, 0.136, 1.864},
        {9, 0.337, 1.032, 0.239, 1.761, 0.9693, 2.970, 0.808, 0.184, 1.816},
        {10, 0.308, 0.975, 0.284, 1.716, 0.9727, 3.078, 0.797, 0.223, 1.777},
        {11, 0.285, 0.927, 0.321, 1.679, 0.9754, 3.173, 0.787, 0.256, 1.744},
        {12, 0.266, 0.886, 0.354, 1.646, 0.9776, 3.258, 0.778, 0.283, 1.717},
        {13, 0.249, 0.850, 0.382, 1.618, 0.9794, 3.336, 0.770, 0.307, 1.693},
        {14, 0.235, 0.817, 0.406, 1.594, 0.9810, 3.407, 0.763, 0.328, 1.672},
        {15, 0.223, 0.789, 0.428, 1.572, 0.9823, 3.472, 0.756, 0.347, 1.653},
        {16, 0.212, 0.763, 0.448, 1.552, 0.9835, 3.532, 0.750, 0.363, 1.637},
        {17, 0.203, 0.739, 0.466, 1.534, 0.9845, 3.588, 0.744, 0.378, 1.622},
        {18, 0.194, 0.718, 0.482, 1.518, 0.9854, 3.640, 0.739, 0.391, 1.608},
        {19, 0.187, 0.698, 0.497, 1.503, 0.9862, 3.689, 0.734, 0.403, 1.597},
        {20, 0.180, 0.680, 0.510, 1.490, 0.9869, 3.735, 0.729, 0.415, 1.585},
        {21, 0.173, 0.663, 0.523, 1.477, 0.9876, 3.778, 0.724, 0.425, 1.575},
        {22, 0.167, 0.647, 0.534, 1.466, 0.9882, 3.819, 0.720, 0.434, 1.566},
        {23, 0.162, 0.633, 0.545, 1.455, 0.9887, 3.858, 0.716, 0.443, 1.557},
        {24, 0.157, 0.619, 0.555, 1.445, 0.9892, 3.895, 0.712, 0.451, 1.548},
        {25, 0.153, 0.606, 0.565, 1.435, 0.9896, 3.931, 0.708, 0.459, 1.541},
    };
    for (const Row& row : rows) {
        const ChartConstants& c = chartConstants(row.n);
        for (const auto& [worked, published] : {std::pair{c.A2, row.A2},
                                                {c.A3, row.A3},
                                                {c.B3, row.B3},
                                                {c.B4, row.B4},
                                                {c.d2, row.d2},
                                                {c.d3, row.d3},
                                                {c.D3, row.D3},
                                                {c.D4, row.D4}})
            EXPECT_NEAR(worked, published, 0.0011) << "n = " << row.n;
        EXPECT_NEAR(c.c4, row.c4, 0.00011) << "n = " << row.n;
    }
}

// Each rule is fired by a sequence made to break it, at the point its pattern completes, and by
// no other rule; switched off, it stays silent.
TEST(Spc, EachRuleBreaksOnItsOwnPatternAlone) {
    const auto repeat = [](std::vector<double> cycle, size_t count) {
        std::vector<double> out;
        while (out.size() < count)
            out.push_back(cycle[out.size() % cycle.size()]);
        return out;
    };
    struct Case {
        int rule;
        std::vector<double> points;
        size_t at;  // the point it breaks at first
    };
    const Case cases[] = {
        {1, {0.5, -0.5, 3.5, -0.3}, 2},
        {2, {0.2, 0.5, 0.3, 0.6, 0.4, 0.2, 0.5, 0.3, 0.6}, 8},
        {3, {-0.5, -0.3, -0.1, 0.1, 0.3, 0.5}, 5},
        {4, repeat({0.5, -0.5}, 14), 13},
        {5, {0.1, 2.5, 2.5}, 2},
        {6, {1.5, 1.5, 0.2, 1.5, 1.5}, 4},
        {7, repeat({0.1, 0.2, -0.1, -0.2}, 15), 14},
        {8, repeat({1.5, -1.5}, 8), 7},
    };
    for (const Case& c : cases) {
        const std::vector<RuleBreak> breaks = ruleBreaks(c.points, 0.0, 1.0);
        ASSERT_EQ(breaks.size(), 1u) << "rule " << c.rule;
        EXPECT_EQ(breaks[0].rule, c.rule);
        EXPECT_EQ(breaks[0].point, c.at) << "rule " << c.rule;
        EXPECT_TRUE(ruleBreaks(c.points, 0.0, 1.0, allRules().reset(c.rule - 1)).empty());
    }
    // Ten on one side break rule 2 at the ninth and the tenth.
    const std::vector<RuleBreak> ten = ruleBreaks(std::vector<double>(10, 0.5), 0.0, 1.0);
    ASSERT_EQ(ten.size(), 2u);
    EXPECT_EQ(ten[0].point, 8u);
    EXPECT_EQ(ten[1].point, 9u);
}

// An in-control process breaks rule 1 at its false-alarm rate, 0.27 %.
TEST(Spc, AnInControlProcessBreaksRuleOneAtItsFalseAlarmRate) {
    std::mt19937 random(6789);
    std::normal_distribution<double> normal(0.0, 1.0);
    std::vector<double> points(10000);
    for (double& p : points)
        p = normal(random);
    RuleSet onlyOne;
    onlyOne.set(0);
    const double rate = static_cast<double>(ruleBreaks(points, 0.0, 1.0, onlyOne).size()) / 10000.0;
    EXPECT_NEAR(rate, 0.0027, 0.001);
}

// Danikor's worked case: 0.8 N.m +- 10 %, mean 0.81 and sd 0.011 give Cm 2.42 and Cmk 2.12.
TEST(Spc, AMachineCapabilityStudyAsWorkedInPublic) {
    std::vector<double> values(25, 0.81);
    for (size_t i = 0; i < 24; ++i)
        values[i] += (i % 2 == 0 ? 0.011 : -0.011);  // sd of exactly 0.011 over n - 1 = 24
    const Tolerance band{0.72, 0.88, 0.8};
    const std::optional<MachineCapability> study = machineCapability(values, band, 0.001);
    ASSERT_TRUE(study);
    EXPECT_NEAR(study->cm, 2.42, 0.005);
    EXPECT_NEAR(study->cmk, 2.12, 0.005);
    EXPECT_TRUE(study->capable);
    EXPECT_FALSE(machineCapability(values, band, 0.1)) << "a spread below the resolution";

    SpcRequest one;
    one.subgroupSize = 25;
    one.tolerance = band;
    one.resolution = 0.001;
    const SpcAnalysis analysed = analyse(values, one);
    ASSERT_TRUE(analysed.machine);
    EXPECT_NEAR(analysed.machine->cmk, study->cmk, 1e-12);
}

// Subgroups in time order, a last short one left out; limits from the data as the textbook
// sets them, the spread chart's breaks, and capability within and overall.
TEST(Spc, LimitsAndCapabilityFromTheSubgroups) {
    // Four subgroups of 2: means 10, 10.5, 9.5, 10; ranges 1, 1, 1, 3; one value left over.
    const std::vector<double> values{9.5, 10.5, 10, 11, 9, 10, 8.5, 11.5, 7};
    SpcRequest request;
    request.subgroupSize = 2;
    request.tolerance = Tolerance{7.0, 13.0, 10.0};
    request.resolution = 0.1;
    const SpcAnalysis a = analyse(values, request);
    ASSERT_EQ(a.subgroups.size(), 4u);
    EXPECT_EQ(a.leftOut, 1u);
    EXPECT_DOUBLE_EQ(a.subgroups[3].spread, 3.0);
    ASSERT_TRUE(a.xbar && a.spread);
    // R-bar 1.5: X-bar limits 10 +- 1.880 x 1.5, R chart 0 to 3.267 x 1.5.
    EXPECT_NEAR(a.xbar->ucl, 10.0 + 1.880 * 1.5, 0.002);
    EXPECT_NEAR(a.spread->ucl, 3.267 * 1.5, 0.002);
    EXPECT_TRUE(a.spreadBreaks.empty());
    // sigma = R-bar / d2 = 1.5 / 1.128; Cp = 6 / (6 sigma).
    EXPECT_NEAR(*a.capability.cp, 1.128 / 1.5, 0.001);
    EXPECT_NEAR(*a.capability.cpk, *a.capability.cp, 1e-9);
    // The eight values' own sd is 1: here the overall spread is the smaller.
    EXPECT_NEAR(*a.capability.pp, 1.0, 1e-9);

    request.limits = LimitSource::Tolerance;
    request.chart = Chart::XbarS;
    const SpcAnalysis fromBand = analyse(values, request);
    EXPECT_NEAR(fromBand.xbar->ucl, 10.0 + 3.0 * 1.0 / std::sqrt(2.0), 1e-9);
    request.tolerance.reset();
    EXPECT_FALSE(analyse(values, request).xbar);
    EXPECT_FALSE(analyse(values, request).capability.cp);
}

// Listed by subgroup, the X-bar chart's rules before the spread chart at one subgroup, each once.
TEST(Spc, BreaksAreListedBySubgroupAcrossBothCharts) {
    SpcAnalysis a;
    a.breaks = {{1, 0}, {5, 2}, {6, 2}, {7, 4}};
    a.spreadBreaks = {0, 2, 4, 8};
    std::vector<std::pair<size_t, int>> listed;
    for (const ListedBreak& b : listedBreaks(a))
        listed.emplace_back(b.subgroup, b.rule);
    EXPECT_EQ(listed, (std::vector<std::pair<size_t, int>>{
                          {0, 1}, {0, 0}, {2, 5}, {2, 6}, {2, 0}, {4, 7}, {4, 0}, {8, 0}}));
}

}  // namespace
}  // namespace vornex::spc
