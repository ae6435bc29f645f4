#include <gtest/gtest.h>

#include <limits>
#include <string>
#include <vector>

#include "judge/InstrumentJudge.h"

namespace vornex::judge {
namespace {

// A curve as values one second apart, from t = 0; kGap stands for a minute without readings (a
// lost line, or Stop and Start again).
constexpr double kGap = std::numeric_limits<double>::infinity();

struct CurveCase {
    const char* name;
    std::vector<double> values;
    double threshold;
    std::vector<Event> events;
};

std::vector<Event> eventsOf(const std::vector<double>& values, double threshold) {
    InstrumentJudge judge(JudgeSettings{threshold, std::nullopt});
    double pause = 0.0;
    for (size_t i = 0; i < values.size(); ++i) {
        if (values[i] == kGap)
            pause += 60.0;
        else
            judge.add(static_cast<double>(i) + pause, values[i]);
    }
    judge.finish();
    std::vector<Event> events;
    for (const JudgedEvent& e : judge.events())
        events.push_back(e.event);
    return events;
}

TEST(EventRules, CurvesGiveTheirEventsWholeOrIncomplete) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const CurveCase cases[] = {
        {"one event", {0, 3, 10, 7, 1, 0}, 5, {{2, 4, 2, 10, true}}},
        {"negative peak keeps its sign", {0, -6, -12, 4, -2, 0}, 5, {{1, 4, 2, -12, true}}},
        // Between θ/2 and θ the event goes on; only below θ/2 does it end.
        {"hysteresis holds the event", {0, 5, 2.5, 5, 2.4, 4.9, 2.5}, 5, {{1, 4, 1, 5, true}}},
        {"just below θ starts nothing", {4.99, 0, 4.99}, 5, {}},
        {"no number neither starts nor ends", {0, 6, nan, 0}, 5, {{1, 3, 1, 6, true}}},
        {"cut at Start", {7, 9, 0, 8, 0}, 5, {{0, 2, 1, 9, false}, {3, 4, 3, 8, true}}},
        {"rose at Start from above θ/2", {3, 8, 0}, 5, {{1, 2, 1, 8, false}}},
        {"cut by the end of the test", {0, 6, 9}, 5, {{1, 2, 2, 9, false}}},
        // Cut before the gap, and the next stretch begins in the middle of a pull.
        {"cut at a gap, on both sides",
         {0, 8, kGap, 9, 0, 7, 0},
         5,
         {{1, 1, 1, 8, false}, {63, 64, 63, 9, false}, {65, 66, 65, 7, true}}},
        {"a stretch that begins low", {0, 1, kGap, 1, 6, 0}, 5, {{64, 65, 64, 6, true}}},
        {"no threshold, no events", {0, 6, 0}, 0, {}},
    };
    for (const CurveCase& c : cases) {
        const std::vector<Event> found = eventsOf(c.values, c.threshold);
        ASSERT_EQ(found.size(), c.events.size()) << c.name;
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].start, c.events[i].start) << c.name;
            EXPECT_EQ(found[i].end, c.events[i].end) << c.name;
            EXPECT_EQ(found[i].peakTime, c.events[i].peakTime) << c.name;
            EXPECT_EQ(found[i].peak, c.events[i].peak) << c.name;
            EXPECT_EQ(found[i].complete, c.events[i].complete) << c.name;
        }
    }
}

TEST(EventRules, VerdictsAgainstTheBand) {
    // Range 100, target 50, upper 10 %, lower 20 %: band 30..60.
    const auto band = bandOf(Limits{100, 50, 10, 20});
    ASSERT_TRUE(band);
    EXPECT_DOUBLE_EQ(band->low, 30);
    EXPECT_DOUBLE_EQ(band->high, 60);
    const struct {
        double peak;
        Verdict verdict;
    } peaks[] = {{30, Verdict::Pass},   {60, Verdict::Pass},    {-45, Verdict::Pass},
                 {29.99, Verdict::Low}, {60.01, Verdict::High}, {-61, Verdict::High}};
    for (const auto& p : peaks)
        EXPECT_EQ(verdictOf(p.peak, band, 2), p.verdict) << p.peak;
    EXPECT_FALSE(bandOf(Limits{100, 0, 10, 10}));
    EXPECT_EQ(verdictOf(50, std::nullopt, 2), Verdict::None);
    EXPECT_EQ(verdictName(Verdict::Incomplete), "incomplete");
    EXPECT_EQ(verdictName(Verdict::High), "high");
    EXPECT_EQ(verdictName(Verdict::None), "none");
}

TEST(EventRules, AReadingOnALimitIsOnItAtTheInstrumentsResolution) {
    // Range 1000, target 255.01, 2 % each way: limits 235.01 and 275.01. The instrument's
    // single-precision readings of them lie just below and just above the doubles.
    const auto band = bandOf(Limits{1000, 255.01, 2, 2});
    ASSERT_TRUE(band);
    const struct {
        float reading;
        int decimals;
        Verdict verdict;
    } readings[] = {{235.01f, 2, Verdict::Pass},  {275.01f, 2, Verdict::Pass},
                    {-275.01f, 2, Verdict::Pass}, {235.0f, 2, Verdict::Low},
                    {275.02f, 2, Verdict::High},  {275.01f, 3, Verdict::Pass},
                    {275.014f, 3, Verdict::High}, {235.014f, 2, Verdict::Pass}};
    for (const auto& r : readings)
        EXPECT_EQ(verdictOf(static_cast<double>(r.reading), band, r.decimals), r.verdict)
            << r.reading << " at " << r.decimals;
}

TEST(EventRules, StatisticsAndWhatCannotBeComputed) {
    const Band band{40, 60};
    // Mean, sd, min, max, Cp and Cpk at three decimals.
    const struct {
        const char* name;
        std::vector<double> peaks;
        std::optional<Band> band;
        const char* figures;
    } cases[] = {
        {"none", {}, band, "- - - - - -"},
        {"n = 1", {50}, band, "50.000 - 50.000 50.000 - -"},
        {"sd = 0", {50, 50, 50}, band, "50.000 0.000 50.000 50.000 - -"},
        {"no limits", {48, 52}, std::nullopt, "50.000 2.828 48.000 52.000 - -"},
        // sd = 2: Cp = 20 / 12, Cpk = min(8, 12) / 6.
        {"limits", {50, 52, 54}, band, "52.000 2.000 50.000 54.000 1.667 1.333"},
        // The mean of equal peaks is not always equal to them in binary: a spread of rounding.
        {"identical peaks", {47.3, 47.3, 47.3}, band, "47.300 0.000 47.300 47.300 - -"},
        {"spread below the resolution", {50, 50.0004, 50}, band, "50.000 0.000 50.000 50.000 - -"},
        {"spread at the resolution",
         {50, 50.002},
         band,
         "50.001 0.001 50.000 50.002 2357.023 2356.787"},
    };
    for (const auto& c : cases) {
        const Statistics s = statisticsOf(c.peaks, c.band, 3);
        EXPECT_EQ(s.n, c.peaks.size()) << c.name;
        std::string figures;
        for (const auto& figure : {s.mean, s.sd, s.min, s.max, s.cp, s.cpk})
            figures += (figures.empty() ? "" : " ") + figureText(figure, 3);
        EXPECT_EQ(figures, c.figures) << c.name;
    }
    // A figure that rounds to zero prints without a sign.
    EXPECT_EQ(figureText(-0.004, 2), "0.00");
    EXPECT_EQ(figureText(-0.0, 0), "0");
    EXPECT_EQ(figureText(-0.006, 2), "-0.01");
}

TEST(EventRules, JudgeCountsVerdictsOverCompleteEventsOnly) {
    InstrumentJudge judge(JudgeSettings{5, Band{40, 60}});
    const double curve[] = {0, 50, 0, -70, 0, 30, 0, 10};
    for (size_t i = 0; i < std::size(curve); ++i)
        judge.add(static_cast<double>(i), curve[i]);
    // Still on: listed as finish() would list it, not judged.
    ASSERT_TRUE(judge.pending());
    EXPECT_EQ(judge.pending()->number, 4);
    EXPECT_EQ(judge.pending()->verdict, Verdict::Incomplete);
    judge.finish();
    EXPECT_FALSE(judge.pending());
    ASSERT_EQ(judge.events().size(), 4u);
    EXPECT_EQ(judge.events()[1].number, 2);
    EXPECT_EQ(judge.events()[1].verdict, Verdict::High);
    EXPECT_EQ(judge.events()[3].verdict, Verdict::Incomplete);
    EXPECT_EQ(judge.events()[3].event.peak, 10);
    EXPECT_EQ(judge.count(Verdict::Pass), 1u);
    EXPECT_EQ(judge.count(Verdict::High), 1u);
    EXPECT_EQ(judge.count(Verdict::Low), 1u);
    EXPECT_EQ(judge.count(Verdict::Incomplete), 1u);
    EXPECT_EQ(judge.statistics().n, 3u);
    EXPECT_EQ(figureText(judge.statistics().mean, 1), "50.0");
    EXPECT_EQ(thresholdFor(std::nullopt, 500, 0), 25);
    EXPECT_EQ(thresholdFor(2.0, 500, 0), 2);
    EXPECT_EQ(thresholdFor(std::nullopt, 0, 80), 4);
}

}  // namespace
}  // namespace vornex::judge
