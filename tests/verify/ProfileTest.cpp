#include <gtest/gtest.h>

#include "verify/Profile.h"

namespace vornex::verify {
namespace {

const std::string kHead = "[Profile]\nName = Lab\n";
const std::string kCounts = "Readings = 5\nPreloads = 3\n";

TEST(Profile, AProfileThatCannotBeReadIsRefusedWithTheLineAtFault) {
    struct Case {
        std::string text;
        int line;
        const char* problem;
    };
    const Case cases[] = {
        {"Name = Lab\n", 1, "before the first [section]"},
        {kHead + "Points = 20, 100, 60\n" + kCounts, 3, "points go up"},
        {kHead + "Points = 20, 60, 120\n" + kCounts, 3, "\"120\" is no number from 0.01 to 100"},
        {kHead + "Points = 20,,100\n" + kCounts, 3, "\"\" is no number"},
        {kHead + "Points = 20\nReadings = five\nPreloads = 3\n", 4, "\"five\" is no whole number"},
        {kHead + "Points = 20\nReadings = 0\nPreloads = 3\n", 4, "from 1 to 100"},
        {kHead + "Points = 20\n" + kCounts + "Colour = red\n", 6, "unknown key Colour"},
        {kHead + "Points = 20\n" + kCounts + "Readings = 6\n", 6, "Readings is given twice"},
        {kHead + "Points = 20\n" + kCounts + "just words\n", 6, "neither [section]"},
        {kHead + "Points = 20\n" + kCounts + "[Deviation]\nA = 4, 6\n", 7, "CLASS = ABOVE"},
        {kHead + "Points = 20\n" + kCounts + "[Deviation]\nA = 4,6,10\nA = 4,6,10\n", 8,
         "class A is given twice"},
        {kHead + "Points = 20\n" + kCounts + "[Limits]\nA = 1\n", 7, "unknown section"},
        {kHead + "Points = 20\nReadings = 5\n", 0, "no Preloads"},
        {kHead + "Points = 20\n" + kCounts + "DecisionRule = W <= 4\n", 6,
         "DecisionRule is W' <= permissible"},
        {kHead + "Points = 20\n" + kCounts + "OutputDrive = 4\n", 6, "SERIES, READINGS"},
        {kHead + "Points = 20\n" + kCounts + "Interface = 4, 0\n", 6, "from 1 to 100"},
        {kHead + "Points = 20\n" + kCounts + "[Deviation I]\nB = 4,6,10\nB = 4,6,10\n", 8,
         "class B is given twice"},
    };
    for (const Case& c : cases) {
        const ProfileRead read = parseProfile(c.text);
        EXPECT_FALSE(read.profile) << c.text;
        EXPECT_EQ(read.problem.line, c.line) << c.text;
        EXPECT_NE(read.problem.text.find(c.problem), std::string::npos) << read.problem.text;
    }
}

// A profile's names are matched as config.ini's are: a key written in another case is the same key.
TEST(Profile, NamesAreOneNameWhateverTheirCase) {
    const ProfileRead read =
        parseProfile("[profile]\nNAME = Lab\npoints = 20, 60\nreadings = 5\nPreLoads = 3\n");
    ASSERT_TRUE(read.profile) << read.problem.at("profile");
    EXPECT_EQ(read.profile->points, (std::vector<double>{20, 60}));
    EXPECT_EQ(read.profile->preloads, 3);
    const ProfileRead twice = parseProfile(kHead + "Points = 20\n" + kCounts + "readings = 6\n");
    EXPECT_EQ(twice.problem.line, 6);
    EXPECT_NE(twice.problem.text.find("readings is given twice"), std::string::npos)
        << twice.problem.text;
}

// The built-in profiles are written out for the lab to copy; what is written reads back the same.
TEST(Profile, BuiltInProfilesReadBackFromTheirText) {
    for (const Profile& p : builtInProfiles()) {
        const ProfileRead read = parseProfile(profileText(p));
        ASSERT_TRUE(read.profile) << read.problem.at("profile");
        EXPECT_EQ(read.profile->name, p.name);
        EXPECT_EQ(read.profile->standard, p.standard);
        EXPECT_EQ(read.profile->points, p.points);
        EXPECT_EQ(read.profile->readings, p.readings);
        EXPECT_EQ(read.profile->preloads, p.preloads);
        ASSERT_EQ(read.profile->deviations.size(), p.deviations.size());
        EXPECT_EQ(read.profile->deviations[3].above, p.deviations[3].above);
        ASSERT_EQ(read.profile->indicatingDeviations.size(), 5u);
        EXPECT_EQ(read.profile->indicatingDeviations[0].above, 6.0);
    }
}

// A calibration's sub-tests and decision rule come from its profile; each table is replaced on
// its own, so a lab's setting-tool rows leave the indicating tools' rows as they were.
TEST(Profile, ACalibrationProfileKeepsItsSubtestsAndDecisionRule) {
    const ProfileRead read =
        parseProfile(kHead + "Standard = ISO 6789-2:2017\nPoints = 20, 60, 100\n" + kCounts +
                     "LoadingMin = 1.5\nDecisionRule = W' <= permissible\nOutputDrive = 2, 3\n"
                     "SubtestPoint = 60\nSubtestsValidMonths = 24\n[Deviation]\nA = 3, 5, 10\n");
    ASSERT_TRUE(read.profile) << read.problem.at("profile");
    for (const Profile& p : {*read.profile, *parseProfile(profileText(*read.profile)).profile}) {
        EXPECT_TRUE(calibrates(p));
        EXPECT_EQ(p.loadingMin, 1.5);
        EXPECT_EQ(p.decisionRule, kUncertaintyDecisionRule);
        EXPECT_EQ(p.outputDrive.series, 2);
        EXPECT_EQ(p.outputDrive.readings, 3);
        EXPECT_EQ(p.reproducibility.series, 4);
        EXPECT_EQ(p.loadingPoint.readings, 5);
        EXPECT_EQ(p.subtestPoint, 60.0);
        EXPECT_EQ(p.subtestsValidMonths, 24);
        EXPECT_EQ(p.deviations.size(), 1u);
        EXPECT_EQ(p.indicatingDeviations.size(), 5u);
    }
    EXPECT_FALSE(calibrates(builtInProfiles().front()));
}

}  // namespace
}  // namespace vornex::verify
