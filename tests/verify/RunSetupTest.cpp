#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "TempDir.h"
#include "link/RegisterMap.h"
#include "verify/RunFinder.h"
#include "verify/RunSetup.h"
#include "verify/VerificationRun.h"

namespace vornex::verify {
namespace {

struct Quiet : RunListener {
    void said(const std::string&) override {}
    void warned(const std::string&) override {}
};

RunRequest request(const std::string& profilesFolder) {
    RunRequest r;
    r.tool.id = "W-17";
    r.tool.maximum = 100.0;
    r.tool.unit = "N.m";
    r.profilesFolder = profilesFolder;
    r.profileName = "ISO 6789-1 conformance";
    r.temperature = 22.0;
    r.humidity = 40.0;
    return r;
}

std::string fileText(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The one plan both the window and the tool make: the profile with what overrides it, and the
// first thing wrong in the order a form is filled in.
TEST(RunSetup, PlansFromTheProfileAndStopsAtTheFirstProblem) {
    test::TempDir home;
    RunRequest r = request(home.folder("Profiles"));
    r.points = std::vector<double>{50, 100};
    r.readings = 2;
    PlannedRun planned = planRun(r);
    ASSERT_EQ(planned.problem, PlannedRun::Problem::None) << planned.detail;
    EXPECT_EQ(planned.plan.points, (std::vector<double>{50, 100}));
    EXPECT_EQ(planned.plan.readings, 2);
    EXPECT_EQ(planned.plan.preloads, planned.profile.preloads);
    EXPECT_FALSE(planned.ambientOutside);

    r.humidity = 95.0;
    EXPECT_TRUE(planRun(r).ambientOutside);
    EXPECT_NE(ambientText(planRun(r)).find("22 degC, 95 % outside the profile's"),
              std::string::npos);

    const auto problemOf = [&](auto change) {
        RunRequest changed = request(home.folder("Profiles"));
        change(changed);
        return planRun(changed);
    };
    using P = PlannedRun::Problem;
    EXPECT_EQ(problemOf([](RunRequest& c) { c.tool.id = "a/b"; }).problem, P::ToolId);
    EXPECT_EQ(problemOf([](RunRequest& c) { c.tool.lowest = 100.0; }).problem, P::ToolLimits);
    EXPECT_EQ(problemOf([](RunRequest& c) { c.tool.unit = "N.m\nX=1"; }).problem, P::PlainText);
    EXPECT_EQ(problemOf([](RunRequest& c) { c.tool.description = " lead"; }).problem, P::PlainText);
    EXPECT_EQ(problemOf([](RunRequest& c) { c.temperature.reset(); }).problem, P::Conditions);
    EXPECT_EQ(problemOf([](RunRequest& c) { c.referenceDue = "31.12.2027"; }).problem, P::DueDate);
    std::ofstream(home.file("Profiles/bad.ini")) << "[Profile]\nName = bad\nReadings = many\n";
    const PlannedRun bad = problemOf([](RunRequest& c) { c.profileName = "bad"; });
    EXPECT_EQ(bad.problem, P::Profile);
    EXPECT_EQ(bad.detail.rfind("profile bad line 3: ", 0), 0u) << bad.detail;
}

// What the instrument asks to confirm: its unit and decimals fit, a mode that polls its peaks, a
// reference past its due date.
TEST(RunSetup, FitsTheInstrumentAndNamesWhatMustBeConfirmed) {
    test::TempDir home;
    RunRequest r = request(home.folder("Profiles"));
    r.referenceDue = "2020-01-01";
    PlannedRun planned = planRun(r);
    const std::time_t now = 1796000000;  // 2026-11
    RunCautions cautions = fitRun(planned, "N.m", 1, regmap::kMeasurePeak, now);
    EXPECT_TRUE(cautions.fitProblem.empty()) << cautions.fitProblem;
    EXPECT_EQ(planned.plan.decimals, 1);
    EXPECT_FALSE(cautions.polled);
    EXPECT_TRUE(cautions.overdue);
    EXPECT_TRUE(fitRun(planned, "N.m", 1, 1, now).polled) << "mode T tracks, it holds no peak";

    // A lowest marked value above the first point is the first point, in percent of the maximum.
    r.tool.lowest = 30.0;
    PlannedRun lowest = planRun(r);
    EXPECT_TRUE(fitRun(lowest, "N.m", 2, regmap::kMeasurePeak, now).fitProblem.empty());
    EXPECT_EQ(lowest.plan.points, (std::vector<double>{30, 60, 100}));
    EXPECT_EQ(lowest.plan.setting(0), 30.0);

    PlannedRun unknown = planRun(request(home.folder("Profiles")));
    unknown.plan.tool.unit = "furlong";
    EXPECT_FALSE(fitRun(unknown, "N.m", 2, regmap::kMeasurePeak, now).fitProblem.empty());
}

// A run begun here is held by its run: a second hold is refused until it ends, then it is found
// for its own instrument only, resumed there, and refused on another.
TEST(RunSetup, BeginsHoldsFindsAndResumesOnItsOwnInstrumentOnly) {
    test::TempDir home;
    PlannedRun planned = planRun(request(home.folder("Profiles")));
    ASSERT_TRUE(fitRun(planned, "N.m", 2, regmap::kMeasurePeak, 0).fitProblem.empty());
    const Reference mine{"/dev/ttyUSB0", 2, "left", "56ff", 500.0, 2, "P", "N.m"};
    Reference other = mine;
    other.address = 3;
    Quiet quiet;
    std::string toolError;
    std::string error;
    const std::string data = home.folder("Data");
    std::string path;
    {
        std::unique_ptr<VerificationRun> run =
            beginRun(planned.plan, mine, data, home.folder("Tools"), {"confirmed a", "warning b"},
                     1796000000, quiet, toolError, error);
        ASSERT_NE(run, nullptr) << error;
        EXPECT_TRUE(toolError.empty()) << toolError;
        path = run->path();
        const std::string text = fileText(path);
        EXPECT_LT(text.find("confirmed a"), text.find("warning b"));
        EXPECT_FALSE(holdToResume(path, error));
        EXPECT_NE(error.find("is being run by another verification"), std::string::npos) << error;
    }
    EXPECT_NE(fileText(home.file("Tools/W-17.ini")).find("Maximum"), std::string::npos)
        << "the tool is remembered";

    const std::atomic<bool> go{false};
    const FoundRuns found = findRuns(data, mine, go);
    ASSERT_EQ(found.unfinished.size(), 1u);
    EXPECT_EQ(found.unfinished[0].path, path);
    EXPECT_EQ(found.unfinished[0].toolId, "W-17");
    EXPECT_TRUE(findRuns(data, other, go).unfinished.empty());

    // A tool record that cannot be written is said, and the run goes on.
    std::ofstream(home.file("NotAFolder")) << "x";
    EXPECT_NE(beginRun(planned.plan, mine, data, home.file("NotAFolder"), {}, 1796000100, quiet,
                       toolError, error),
              nullptr)
        << error;
    EXPECT_EQ(toolError.rfind("tool W-17 is not remembered: ", 0), 0u) << toolError;

    std::optional<HeldRun> held = holdToResume(path, error);
    ASSERT_TRUE(held) << error;
    EXPECT_TRUE(resumeRefusal(*held, mine).empty());
    EXPECT_NE(resumeRefusal(*held, other).find("this instrument differs: address 3 (run: 2)"),
              std::string::npos)
        << resumeRefusal(*held, other);

    // A run of the tool begun within the second of another gets a file of its own.
    const std::string first = fileText(path);
    std::unique_ptr<VerificationRun> again = beginRun(
        planned.plan, mine, data, home.folder("Tools"), {}, 1796000000, quiet, toolError, error);
    ASSERT_NE(again, nullptr) << error;
    EXPECT_EQ(again->path(), path.substr(0, path.size() - 4) + "-2.txt");
    EXPECT_EQ(fileText(path), first);
}

}  // namespace
}  // namespace vornex::verify
