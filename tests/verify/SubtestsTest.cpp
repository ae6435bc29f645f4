#include <gtest/gtest.h>

#include "verify/Subtests.h"

namespace vornex::verify {
namespace {

// The lab sheet's 3000 N.m wrench taken through all four sub-tests: each series' readings lie
// around the sheet's series mean, and each contribution is the span of those means.
TEST(Subtests, EachSubtestsSeriesAreAskedInTurnAndItsSpanEndsIt) {
    const std::vector<std::vector<double>> means = {{3006.8, 3005.2, 3011.0, 3008.2},
                                                    {3011.9, 3009.4, 3008.0, 3007.4},
                                                    {3010.3, 3008.2, 3010.0, 3005.0},
                                                    {2997.8, 3001.6}};
    SubtestProgress progress(subtestPlans(Profile{}), 3000.0);
    std::vector<std::string> said;
    std::vector<double> spans;
    for (const std::vector<double>& subtest : means) {
        for (double mean : subtest) {
            const SubtestStep step = *progress.next();
            said.push_back(seriesLine(step));
            for (int k = 0; k < step.readings; ++k) {
                EXPECT_EQ(progress.next()->number, k + 1);
                // Readings spread evenly around the mean, which they keep.
                const double offset = (k - (step.readings - 1) / 2.0) * 0.1;
                if (const std::optional<double> span = progress.take(mean + offset))
                    spans.push_back(*span);
            }
        }
    }
    EXPECT_TRUE(progress.done());
    ASSERT_EQ(spans.size(), 4u);
    EXPECT_NEAR(spans[0], 5.8, 1e-9);
    EXPECT_NEAR(spans[1], 4.5, 1e-9);
    EXPECT_NEAR(spans[2], 5.3, 1e-9);
    EXPECT_NEAR(spans[3], 3.8, 1e-9);
    const Contributions c = progress.contributions();
    EXPECT_NEAR(*c.interface, 5.3, 1e-9);
    EXPECT_NEAR(*c.loadingPoint, 3.8, 1e-9);
    EXPECT_EQ(progress.readings().size(), 4u * 5 + 4 * 10 + 4 * 10 + 2 * 5);
    EXPECT_EQ(said.front(), "series reproducibility 1 of 4: fit the tool to the reference");
    EXPECT_EQ(said[5], "series output-drive 2 of 4: turn the output drive to 90 degrees");
    EXPECT_EQ(said[7], "series output-drive 4 of 4: turn the output drive to 270 degrees");
    EXPECT_EQ(said.back(), "series loading-point 2 of 2: apply the force 10 mm behind the mark");
}

// A run file's sub-test readings read back as they were written, taken again where they stopped;
// a judged reading of a point is none of them.
TEST(Subtests, ARunFilesSubtestReadingsReadBackAndResume) {
    Profile profile;
    profile.reproducibility = {2, 2};
    SubtestProgress first(subtestPlans(profile), 40.0);
    first.take(40.1);
    first.take(40.3);
    const SubtestStep step = *first.next();
    EXPECT_EQ(subtestApplyLine(step, "40.00", "N.m"),
              "apply 40.00 N.m series reproducibility 2 reading 1 of 2");
    const std::string line = subtestReadingLine(first.readings()[1], 2);
    EXPECT_EQ(line, "reading reproducibility 1 2 40.00 40.30");
    EXPECT_FALSE(first.contributions().reproducibility);

    SubtestProgress resumed(subtestPlans(profile), 40.0);
    for (const SubtestReading& r : first.readings())
        resumed.replay(*parseSubtestReading(subtestReadingLine(r, 2)));
    EXPECT_EQ(resumed.next()->series, 2);
    resumed.take(40.6);
    EXPECT_NEAR(*resumed.take(40.8), 0.5, 1e-9);
    EXPECT_NEAR(*resumed.contributions().reproducibility, 0.5, 1e-9);
    EXPECT_EQ(resumed.next()->kind, SubtestKind::OutputDrive);
    EXPECT_EQ(contributionLine(SubtestKind::Reproducibility, 0.5, 2, "N.m"),
              "contribution reproducibility 0.50 N.m");

    EXPECT_FALSE(parseSubtestReading("reading 60 2 48.00 45.00 +6.67 exceeds"));
    EXPECT_FALSE(parseSubtestReading("reading interface 1 2 40.00"));
    EXPECT_FALSE(parseSubtestReading("reading interface 1 2 40.00 40.10 extra"));
}

}  // namespace
}  // namespace vornex::verify
