#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Files.h"
#include "SmallFileSystem.h"
#include "TempDir.h"
#include "verify/RunFile.h"
#include "verify/VerificationRun.h"

namespace vornex::verify {
namespace {

RunPlan onePointPlan(double maximum = 100.0) {
    RunPlan plan;
    plan.tool.id = "T1";
    plan.tool.maximum = maximum;
    plan.tool.unit = "N.m";
    plan.points = {20};
    plan.readings = 2;
    plan.preloads = 0;
    plan.decimals = 2;
    plan.temperature = 22;
    plan.humidity = 40;
    plan.loadingMin = 0.0;  // these polls rise to the peak at once
    return plan;
}

Reference referenceIn(const std::string& mode) {
    return Reference{"/dev/ttyUSB0", 2, "left", "56ff", 500.0, 2, mode, "N.m"};
}

struct Heard : RunListener {
    void said(const std::string& line) override { lines.push_back(line); }
    void warned(const std::string& text) override { warnings.push_back(text); }
    std::vector<std::string> lines;
    std::vector<std::string> warnings;
};

// The live values of one pull as ten polls a second see them: rest, the rise, the top on `top`
// polls (a held peak stands on several, a tracked one on one), the fall, rest.
class Polls {
public:
    std::vector<Sample> rest() { return {next(0.0), next(0.0)}; }
    std::vector<Sample> pull(double peak, int top) {
        std::vector<Sample> s = rest();
        for (double share : {0.3, 0.7})
            s.push_back(next(peak * share));
        for (int i = 0; i < top; ++i)
            s.push_back(next(peak));
        for (const Sample& r : rest())
            s.push_back(r);
        return s;
    }
    // Loaded over 0.6 s from 80 % of `peak` to the peak.
    std::vector<Sample> slowPull(double peak) {
        std::vector<Sample> s = rest();
        for (double share : {0.3, 0.85, 0.9, 0.93, 0.96, 0.98, 0.99, 1.0, 1.0})
            s.push_back(next(peak * share));
        for (const Sample& r : rest())
            s.push_back(r);
        return s;
    }

private:
    Sample next(double value) {
        t_ += 0.1;
        return Sample{static_cast<float>(value), t_, 2};
    }
    double t_ = 0.0;
};

class RunEngine : public ::testing::Test {
protected:
    std::unique_ptr<VerificationRun> newRun(const RunPlan& plan, const Reference& reference) {
        std::string error;
        auto file = RunFile::create(path, plan, reference, 1796116500, error);
        EXPECT_TRUE(file) << error;
        return std::make_unique<VerificationRun>(std::move(*file), plan, reference, heard);
    }
    bool said(const std::string& line) const {
        return std::find(heard.lines.begin(), heard.lines.end(), line) != heard.lines.end();
    }

    test::TempDir dir;
    const std::string path = dir.file("Data/Verify/20261201/T1-091500.txt");
    const Showing asPlanned{"N.m", "1P", 2};
    Heard heard;
    Polls polls;
};

// A pull below the reference's first-peak threshold is tracked, not held: its top is a polled
// value. It is asked for again, and twice at one point is worth a warning.
TEST_F(RunEngine, InPeakModesOnlyAHeldPeakIsAReading) {
    auto run = newRun(onePointPlan(), referenceIn("1P"));
    run->start();
    run->feed(polls.rest(), asPlanned);
    ASSERT_TRUE(said("apply 20.00 N.m point 20 reading 1 of 2"));
    run->feed(polls.pull(16.14, 1), asPlanned);
    EXPECT_TRUE(run->progress().readings().empty());
    EXPECT_TRUE(said("not held 20 1 20.00 16.14"));
    EXPECT_TRUE(heard.warnings.empty());
    run->feed(polls.rest(), asPlanned);
    run->feed(polls.pull(17.0, 1), asPlanned);
    ASSERT_EQ(heard.warnings.size(), 1u);
    EXPECT_NE(heard.warnings[0].find("first-peak threshold"), std::string::npos);
    run->feed(polls.rest(), asPlanned);
    run->feed(polls.pull(20.1, 4), asPlanned);
    ASSERT_EQ(run->progress().readings().size(), 1u);
    EXPECT_TRUE(said("reading 20 1 20.00 20.10 -0.50 conforms"));
    const std::string file = test::readBytes(path);
    EXPECT_NE(file.find(" not held 20 1 20.00 16.14\n"), std::string::npos);
    EXPECT_NE(file.find(" warning point 20 (20.00 N.m): "), std::string::npos);

    // In "T" the largest polled value is all there is (the operator confirmed it at the start).
    Heard polled;
    std::string error;
    std::filesystem::remove(path);
    auto file2 = RunFile::create(path, onePointPlan(), referenceIn("T"), 1796116500, error);
    VerificationRun tracked(std::move(*file2), onePointPlan(), referenceIn("T"), polled);
    tracked.start();
    tracked.feed(polls.rest(), {"N.m", "T", 2});
    tracked.feed(polls.pull(19.5, 1), {"N.m", "T", 2});
    EXPECT_EQ(tracked.progress().readings().size(), 1u);
}

// The instrument set to another unit or mode under the run: nothing is read in it until it
// shows as planned again, and the pull is then asked for anew.
TEST_F(RunEngine, AnInstrumentThatChangesUnderTheRunGivesNoReadingUntilRestored) {
    auto run = newRun(onePointPlan(), referenceIn("1P"));
    run->start();
    run->feed(polls.rest(), asPlanned);
    run->feed(polls.pull(203.9, 4), {"kgf.cm", "1P", 1});
    run->feed(polls.pull(20.0, 4), {"kgf.cm", "T", 1});
    EXPECT_TRUE(run->progress().readings().empty());
    EXPECT_TRUE(said("instrument changed unit N.m kgf.cm"));
    EXPECT_TRUE(said("instrument changed decimals 2 1"));
    EXPECT_TRUE(said("instrument changed mode 1P T"));
    run->feed(polls.rest(), asPlanned);
    EXPECT_TRUE(said("instrument restored"));
    run->feed(polls.rest(), asPlanned);
    run->feed(polls.pull(20.0, 4), asPlanned);
    EXPECT_EQ(run->progress().readings().size(), 1u);

    // A reference that stops answering is said, and the pull asked for again once it answers.
    run->instrumentSilent("10:15:02");
    run->feed(polls.pull(20.0, 4), asPlanned);
    EXPECT_EQ(run->progress().readings().size(), 1u);
    EXPECT_TRUE(said("slave 2: not answering since 10:15:02"));
    run->instrumentAnswering();
    EXPECT_TRUE(said("slave 2: answering again"));
    EXPECT_EQ(heard.lines.back(), "slave 2: answering again");
    run->feed(polls.rest(), asPlanned);
    EXPECT_EQ(heard.lines.back(), "apply 20.00 N.m point 20 reading 2 of 2");
    const std::string file = test::readBytes(path);
    EXPECT_NE(file.find(" instrument restored\n"), std::string::npos);
    EXPECT_NE(file.find(" slave 2: not answering since 10:15:02\n"), std::string::npos);
    std::string error;
    const auto stored = readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    EXPECT_EQ(stored->remarks.size(), 6u);
}

// A setting is taken as the operator was told it: 20 % of 133.3 kgf.cm shown with one decimal is
// 26.7, and the deviations, means and shares come from that.
TEST_F(RunEngine, DeviationsAreTakenFromTheSettingAsShown) {
    RunPlan plan = onePointPlan(133.3);
    plan.tool.unit = "kgf.cm";
    plan.decimals = 1;
    plan.permissible = 4.0;
    RunProgress progress(plan);
    EXPECT_DOUBLE_EQ(plan.setting(0), 26.7);
    const Reading pulled = progress.take(27.8).reading;
    EXPECT_EQ(signedPercent(pulled.deviation), "-3.96");
    EXPECT_TRUE(pulled.conforms);
    EXPECT_EQ(signedPercent(progress.take(26.7).reading.deviation), "+0.00");
    EXPECT_EQ(signedPercent(progress.summary(0).meanDeviation), "-2.02");
}

// One run file, one run: a second resume (another process or station) is refused and the file
// left as it is; the header names the instrument key by key, and older headers by description.
TEST_F(RunEngine, ARunFileIsHeldByTheOneRunThatAppendsToIt) {
    std::string error;
    auto held = RunFile::create(path, onePointPlan(), referenceIn("P"), 1796116500, error);
    ASSERT_TRUE(held) << error;
    const std::string before = test::readBytes(path);
    EXPECT_FALSE(RunFile::reopen(path, error));
    EXPECT_NE(error.find("is being run by another verification"), std::string::npos) << error;
    held.reset();
    auto first = RunFile::reopen(path, error);
    ASSERT_TRUE(first) << error;
    EXPECT_FALSE(RunFile::reopen(path, error));
    EXPECT_EQ(test::readBytes(path), before);

    const auto stored = readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    EXPECT_EQ(referenceDifferences(stored->reference, referenceIn("P")), "");
    Reference other = referenceIn("P");
    other.address = 7;
    other.range = 50;
    EXPECT_EQ(referenceDifferences(stored->reference, other),
              "address 7 (run: 2), range 50 N.m (run: 500 N.m)");

    std::string old = before;
    for (const char* key : {"Port: ", "Slave: ", "Name: ", "Range: ", "Mode: "}) {
        const size_t at = old.find(std::string("\n") + key);
        old.erase(at, old.find('\n', at + 1) - at);
    }
    test::writeBytes(dir.file("old.txt"), old);
    const auto described = readRunFile(dir.file("old.txt"), error);
    ASSERT_TRUE(described) << error;
    EXPECT_EQ(described->reference.address, 2);
    EXPECT_EQ(described->reference.port, "/dev/ttyUSB0");
    EXPECT_EQ(described->reference.mode, "P");
    EXPECT_EQ(described->reference.range, 500.0);
}

// A write cut short left half a line: no reader takes it, a resume cuts it off and records it
// before it appends. A counted slip of a window's run stays counted when the run is taken up
// again by a plan that repeats slips.
TEST_F(RunEngine, AResumeEndsATornTailAndReplaysEveryReadingAsCounted) {
    std::string error;
    {
        auto file = RunFile::create(path, onePointPlan(), referenceIn("P"), 1796116500, error);
        ASSERT_TRUE(file && file->append(1796116510,
                                         "reading 20 1 20.00 8.00 +150.00 "
                                         "exceeds slip counted",
                                         error));
    }
    {
        std::ofstream torn(path, std::ios::app | std::ios::binary);
        torn << "2026-12-01T09:15:20 reading 20 2 20.00 19";
    }
    auto stored = readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    EXPECT_EQ(stored->pulls, std::vector<double>{8.0});
    EXPECT_EQ(stored->tornTail, "2026-12-01T09:15:20 reading 20 2 20.00 19");
    stored->plan.slips = SlipPolicy::Repeat;
    EXPECT_EQ(replay(*stored).readings().size(), 1u);

    auto file = RunFile::reopen(path, error);
    ASSERT_TRUE(file) << error;
    VerificationRun run(std::move(*file), stored->plan, stored->reference, heard);
    run.resume(*stored);
    run.start();
    EXPECT_EQ(run.step().number, 2);
    const std::string text = test::readBytes(path);
    EXPECT_EQ(text.find("20.00 19\n"), std::string::npos);
    EXPECT_NE(
        text.find(" dropped a line cut short: \"2026-12-01T09:15:20 reading 20 2 20.00 19\"\n"),
        std::string::npos);
    EXPECT_EQ(readRunFile(path, error)->pulls, std::vector<double>{8.0});
}

// The run's folder removed under it: the file is made again with every line so far.
TEST_F(RunEngine, ARemovedRunFileIsMadeAgainWithEveryLineSoFar) {
    auto run = newRun(onePointPlan(), referenceIn("1P"));
    run->start();
    run->feed(polls.rest(), asPlanned);
    run->feed(polls.pull(20.0, 4), asPlanned);
    std::filesystem::remove_all(dir.file("Data/Verify"));
    run->feed(polls.rest(), asPlanned);
    run->feed(polls.pull(20.2, 4), asPlanned);
    ASSERT_TRUE(run->ended()) << run->error();
    std::string error;
    const auto stored = readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    EXPECT_EQ(stored->pulls, (std::vector<double>{20.0, 20.2}));
    EXPECT_TRUE(stored->ended);
    EXPECT_NE(test::readBytes(path).find(" made again after it was removed\n"), std::string::npos);
}

// A full disk: the reading is not said, the file keeps no piece of its line, and the run stops.
TEST_F(RunEngine, AReadingThatCannotBeWrittenIsNeverSaid) {
    const std::string small = dir.folder("small");
    const test::SmallFileSystem disk(small, 16);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    std::string error;
    const std::string runPath = small + "run.txt";
    auto file = RunFile::create(runPath, onePointPlan(), referenceIn("1P"), 1796116500, error);
    ASSERT_TRUE(file) << error;
    VerificationRun run(std::move(*file), onePointPlan(), referenceIn("1P"), heard);
    run.start();
    run.feed(polls.rest(), asPlanned);
    // The reading's line must need a new page of the disk, or it fits in the one the file has.
    const auto size = std::filesystem::file_size(runPath);
    run.note(std::string(4096 - 20 - size - 21, 'x'));
    {
        std::ofstream filler(small + "filler", std::ios::binary);
        const std::string block(4096, 'x');
        while (filler.write(block.data(), static_cast<std::streamsize>(block.size())))
            filler.flush();
    }
    run.feed(polls.pull(19.87, 4), asPlanned);
    EXPECT_FALSE(run.ok());
    EXPECT_FALSE(said("reading 20 1 20.00 19.87 +0.65 conforms"));
    const std::string text = test::readBytes(runPath);
    EXPECT_EQ(text.back(), '\n');
    EXPECT_EQ(text.find(" reading "), std::string::npos);
}

// Both directions: the clockwise series, then the counter-clockwise one, each said before it; a
// run stopped in the second series goes on in it, its direction not said again.
TEST_F(RunEngine, ABothWaysRunTakesEachDirectionInTurnAndResumesInIt) {
    RunPlan plan = onePointPlan();
    plan.direction = "both";
    auto run = newRun(plan, referenceIn("1P"));
    run->start();
    EXPECT_EQ(heard.lines.front(), "direction clockwise");
    for (double peak : {20.0, 20.0, -19.8}) {
        run->feed(polls.rest(), asPlanned);
        run->feed(polls.pull(peak, 4), asPlanned);
    }
    EXPECT_TRUE(said("direction counterclockwise"));
    EXPECT_EQ(heard.lines.back(), "reading 20 1 20.00 19.80 +1.01 conforms");
    run.reset();

    std::string error;
    auto stored = readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    EXPECT_EQ(stored->pullDirections,
              (std::vector<Direction>{Direction::Clockwise, Direction::Clockwise,
                                      Direction::Counterclockwise}));
    Heard again;
    VerificationRun resumed(std::move(*RunFile::reopen(path, error)), stored->plan,
                            stored->reference, again);
    resumed.resume(*stored);
    resumed.start();
    resumed.feed(polls.rest(), asPlanned);
    resumed.feed(polls.pull(-20.6, 4), asPlanned);
    ASSERT_TRUE(resumed.ended());
    EXPECT_EQ(again.lines.front(), "apply 20.00 N.m point 20 reading 2 of 2");
    const PointSummary ccw = resumed.progress().summary(0, Direction::Counterclockwise);
    EXPECT_EQ(signedPercent(ccw.meanDeviation), "-0.99");
}

// A pull loaded from 80 % to its peak faster than the plan allows is said and asked again; the
// time of one loaded slowly enough is kept with its reading. Polls a second apart cannot tell a
// quick rise from a slow one: such a pull is not refused.
TEST_F(RunEngine, APullLoadedTooFastIsAskedAgain) {
    RunPlan plan = onePointPlan();
    plan.loadingMin = 0.5;
    auto run = newRun(plan, referenceIn("1P"));
    run->start();
    run->feed(polls.rest(), asPlanned);
    run->feed(polls.pull(20.0, 4), asPlanned);
    EXPECT_TRUE(said("fast 20 1 0.10"));
    EXPECT_TRUE(run->progress().readings().empty());
    run->feed(polls.rest(), asPlanned);
    run->feed(polls.slowPull(20.0), asPlanned);
    ASSERT_EQ(run->progress().readings().size(), 1u);
    std::string error;
    const auto stored = readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    ASSERT_EQ(stored->pullFacts.size(), 1u);
    EXPECT_NEAR(stored->pullFacts[0].loading.value_or(0.0), 0.6, 1e-6);

    run->feed(polls.rest(), asPlanned);
    std::vector<Sample> sparse;
    for (const auto& [time, value] : std::vector<std::pair<double, double>>{
             {100, 0}, {101, 10}, {102, 20}, {103, 20}, {104, 0}, {105, 0}})
        sparse.push_back(Sample{static_cast<float>(value), time, 2});
    run->feed(sparse, asPlanned);
    EXPECT_EQ(run->progress().readings().size(), 2u);
}

// A calibration takes its sub-tests after its readings, each series said with what to change;
// each contribution is the span of its series' means, and each point's W and W' close the run. A
// run stopped in its sub-tests goes on at the next of their pulls. The file keeps the sub-tests'
// readings apart from the readings judged.
TEST_F(RunEngine, ACalibrationMeasuresItsSubtestsAndStatesItsUncertainty) {
    RunPlan plan = onePointPlan();
    plan.standard = "ISO 6789-2:2017";
    plan.resolution = 0.1;
    plan.referenceUncertainty = 0.2;
    plan.subtests = {{SubtestKind::Reproducibility, {2, 2}}, {SubtestKind::OutputDrive, {2, 1}}};
    plan.subtestPoint = 20;
    auto run = newRun(plan, referenceIn("1P"));
    run->start();
    for (double peak : {20.2, 19.9, 20.0, 20.2, 19.8}) {
        run->feed(polls.rest(), asPlanned);
        run->feed(polls.pull(peak, 4), asPlanned);
    }
    EXPECT_TRUE(said("series reproducibility 1 of 2: fit the tool to the reference"));
    EXPECT_TRUE(said("apply 20.00 N.m series reproducibility 2 reading 1 of 2"));
    EXPECT_TRUE(said("reading reproducibility 2 1 20.00 19.80"));
    EXPECT_FALSE(run->measuredContributions());
    run.reset();

    std::string error;
    auto stored = readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    EXPECT_EQ(stored->pulls.size(), 2u);
    ASSERT_EQ(stored->subtestReadings.size(), 3u);
    EXPECT_EQ(stored->plan.subtests.size(), 2u);
    Heard again;
    VerificationRun resumed(std::move(*RunFile::reopen(path, error)), stored->plan,
                            stored->reference, again);
    resumed.resume(*stored);
    resumed.start();
    EXPECT_EQ(again.lines.front(),
              "series reproducibility 2 of 2: take the tool off the reference and fit it again");
    for (double peak : {19.8, 20.0, 20.5}) {
        resumed.feed(polls.rest(), asPlanned);
        resumed.feed(polls.pull(peak, 4), asPlanned);
    }
    ASSERT_TRUE(resumed.ended());
    // Series means 20.10 and 19.80, then 20.00 and 20.50. At X = 20.00 N.m: w_r 0.144, w_rep
    // 0.433, w_od 0.722, w_ref 0.100, w_s 0.750 (s 0.212 of two readings), w 1.141 %; W 2.28 %,
    // W' = 0.25 + W.
    EXPECT_EQ(
        again.lines,
        (std::vector<std::string>{
            "series reproducibility 2 of 2: take the tool off the reference and fit it again",
            "apply 20.00 N.m series reproducibility 2 reading 2 of 2",
            "reading reproducibility 2 2 20.00 19.80", "contribution reproducibility 0.30 N.m",
            "series output-drive 1 of 2: turn the output drive to 0 degrees",
            "apply 20.00 N.m series output-drive 1 reading 1 of 1",
            "reading output-drive 1 1 20.00 20.00",
            "series output-drive 2 of 2: turn the output drive to 180 degrees",
            "apply 20.00 N.m series output-drive 2 reading 1 of 1",
            "reading output-drive 2 1 20.00 20.50", "contribution output-drive 0.50 N.m",
            "uncertainty 20 2.28 2.53", "result conforms"}));
    const std::optional<Contributions> measured = resumed.measuredContributions();
    ASSERT_TRUE(measured);
    EXPECT_DOUBLE_EQ(measured->reproducibility.value_or(0), 0.30);
    EXPECT_DOUBLE_EQ(measured->outputDrive.value_or(0), 0.50);
    EXPECT_FALSE(measured->interface);

    stored = readRunFile(path, error);
    ASSERT_TRUE(stored) << error;
    EXPECT_EQ(replay(*stored).readings().size(), 2u);
    EXPECT_EQ(stored->subtestReadings.size(), 6u);
    EXPECT_DOUBLE_EQ(stored->contributions.outputDrive.value_or(0), 0.50);
}

// Contributions known before the run are in its file and in its budget; it takes no sub-test.
TEST_F(RunEngine, ContributionsTakenFromTheRegisterReplaceTheSubtests) {
    RunPlan plan = onePointPlan();
    plan.standard = "ISO 6789-2:2017";
    plan.resolution = 0.1;
    plan.referenceUncertainty = 0.2;
    auto run = newRun(plan, referenceIn("1P"));
    Contributions known;
    known.reproducibility = 0.3;
    known.outputDrive = 0.5;
    run->takeContributions(known, "2026-11-02 in Data/Verify/20261102/T1-101500.txt");
    run->start();
    for (double peak : {20.2, 19.9}) {
        run->feed(polls.rest(), asPlanned);
        run->feed(polls.pull(peak, 4), asPlanned);
    }
    ASSERT_TRUE(run->ended());
    EXPECT_EQ(heard.lines[heard.lines.size() - 2], "uncertainty 20 2.28 2.53");
    EXPECT_FALSE(run->measuredContributions());
    const std::string file = test::readBytes(path);
    EXPECT_NE(file.find(" contributions taken from the register, measured 2026-11-02 in "),
              std::string::npos);
    EXPECT_NE(file.find(" contribution output-drive 0.50 N.m\n"), std::string::npos);
}

}  // namespace
}  // namespace vornex::verify
