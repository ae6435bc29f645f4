#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "judge/InstrumentJudge.h"

namespace vornex::judge {
namespace {

// A curve as values one second apart, from t = 0.
struct CurveCase {
    const char* name;
    std::vector<double> values;
    double threshold;
    std::vector<Event> events;
};

std::vector<Event> eventsOf(const std::vector<double>& values, double threshold) {
    InstrumentJudge judge(JudgeSettings{threshold, std::nullopt});
    for (size_t i = 0; i < values.size(); ++i)
        judge.add(static_cast<double>(i), values[i]);
    judge.finish();
    std::vector<Event> events;
    for (const JudgedEvent& e : judge.events())
        events.push_back(e.event);
    return events;
}

TEST(EventRules, CurvesGiveTheirEvents) {
    const CurveCase cases[] = {
        {"one event", {0, 3, 10, 7, 1, 0}, 5, {{2, 4, 2, 10, false}}},
        {"cut by the end of the test", {0, 6, 9}, 5, {{1, 2, 2, 9, true}}},
        {"negative peak keeps its sign", {0, -6, -12, 4, -2, 0}, 5, {{1, 4, 2, -12, false}}},
        // Between θ/2 and θ the event goes on; only below θ/2 does it end.
        {"hysteresis holds the event", {5, 2.5, 5, 2.4, 4.9, 2.5}, 5, {{0, 3, 0, 5, false}}},
        {"just below θ starts nothing", {4.99, 0, 4.99}, 5, {}},
        {"two events", {6, 0, 0, 8, 0}, 5, {{0, 1, 0, 6, false}, {3, 4, 3, 8, false}}},
        {"no threshold, no events", {6, 0}, 0, {}},
    };
    for (const CurveCase& c : cases) {
        const std::vector<Event> found = eventsOf(c.values, c.threshold);
        ASSERT_EQ(found.size(), c.events.size()) << c.name;
        for (size_t i = 0; i < found.size(); ++i) {
            EXPECT_EQ(found[i].start, c.events[i].start) << c.name;
            EXPECT_EQ(found[i].end, c.events[i].end) << c.name;
            EXPECT_EQ(found[i].peakTime, c.events[i].peakTime) << c.name;
            EXPECT_EQ(found[i].peak, c.events[i].peak) << c.name;
            EXPECT_EQ(found[i].cut, c.events[i].cut) << c.name;
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
        EXPECT_EQ(verdictOf(p.peak, band), p.verdict) << p.peak;
    EXPECT_FALSE(bandOf(Limits{100, 0, 10, 10}));
    EXPECT_EQ(verdictOf(50, std::nullopt), Verdict::None);
    EXPECT_EQ(verdictName(Verdict::High), "high");
    EXPECT_EQ(verdictName(Verdict::None), "none");
}

TEST(EventRules, StatisticsAndWhatCannotBeComputed) {
    const Band band{40, 60};
    const struct {
        const char* name;
        std::vector<double> peaks;
        std::optional<Band> band;
        std::string mean, sd, min, max, cp, cpk;
    } cases[] = {
        {"none", {}, band, "-", "-", "-", "-", "-", "-"},
        {"n = 1", {50}, band, "50.000", "-", "50.000", "50.000", "-", "-"},
        {"sd = 0", {50, 50, 50}, band, "50.000", "0.000", "50.000", "50.000", "-", "-"},
        {"no limits", {48, 52}, std::nullopt, "50.000", "2.828", "48.000", "52.000", "-", "-"},
        // sd = 2: Cp = 20 / 12, Cpk = min(8, 12) / 6.
        {"limits", {50, 52, 54}, band, "52.000", "2.000", "50.000", "54.000", "1.667", "1.333"},
    };
    for (const auto& c : cases) {
        const Statistics s = statisticsOf(c.peaks, c.band);
        EXPECT_EQ(s.n, c.peaks.size()) << c.name;
        EXPECT_EQ(figureText(s.mean, 3), c.mean) << c.name;
        EXPECT_EQ(figureText(s.sd, 3), c.sd) << c.name;
        EXPECT_EQ(figureText(s.min, 3), c.min) << c.name;
        EXPECT_EQ(figureText(s.max, 3), c.max) << c.name;
        EXPECT_EQ(figureText(s.cp, 3), c.cp) << c.name;
        EXPECT_EQ(figureText(s.cpk, 3), c.cpk) << c.name;
    }
}

TEST(EventRules, JudgeCountsVerdictsOverMagnitudes) {
    InstrumentJudge judge(JudgeSettings{5, Band{40, 60}});
    const double curve[] = {0, 50, 0, -70, 0, 30, 0, 60};
    for (size_t i = 0; i < std::size(curve); ++i)
        judge.add(static_cast<double>(i), curve[i]);
    judge.finish();
    ASSERT_EQ(judge.events().size(), 4u);
    EXPECT_EQ(judge.events()[1].number, 2);
    EXPECT_EQ(judge.events()[1].verdict, Verdict::High);
    EXPECT_EQ(judge.count(Verdict::Pass), 2u);
    EXPECT_EQ(judge.count(Verdict::High), 1u);
    EXPECT_EQ(judge.count(Verdict::Low), 1u);
    EXPECT_EQ(figureText(judge.statistics().mean, 1), "52.5");
    EXPECT_EQ(thresholdFor(std::nullopt, 500, 0), 25);
    EXPECT_EQ(thresholdFor(2.0, 500, 0), 2);
    EXPECT_EQ(thresholdFor(std::nullopt, 0, 80), 4);
}

}  // namespace
}  // namespace vornex::judge
