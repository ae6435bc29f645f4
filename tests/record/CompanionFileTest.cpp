#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "LineFixture.h"
#include "Wait.h"
#include "record/AcquisitionSession.h"
#include "record/CompanionFile.h"
#include "record/HeadlessGraph.h"

namespace vornex {
namespace {

class CompanionFileTest : public test::LineFixture {
protected:
    void startRecording() {
        ASSERT_NO_FATAL_FAILURE(startLine({test::instrument(1), test::instrument(2)}));
        session = std::make_unique<AcquisitionSession>(dir.folder("Data"), graph);
        session->addDevice(1);
        session->addDevice(2);
        ASSERT_EQ(session->connect(linkPath), ConnectResult::Connected);
        ASSERT_EQ(session->newTest("bolt"), TestSession::AddResult::Added);
        ASSERT_EQ(session->start(), Recorder::StartResult::Started);
    }

    // Ticks as the window does until the companion file satisfies `done`.
    template <typename Condition>
    std::optional<Companion> waitForCompanion(Condition done) {
        std::optional<Companion> companion;
        test::waitUntil([&] {
            session->tick();
            companion = readCompanion(companionPath(session->testPath()));
            return companion && done(*companion);
        });
        return companion;
    }

    HeadlessGraph graph;
    std::unique_ptr<AcquisitionSession> session;
};

TEST_F(CompanionFileTest, WrittenAtStartAndRewrittenWhenTheKeypadChangesSettings) {
    ASSERT_NO_FATAL_FAILURE(startRecording());
    const auto first =
        waitForCompanion([](const Companion& c) { return c.instruments.size() == 2; });
    ASSERT_TRUE(first);
    EXPECT_EQ(first->testName, "bolt");
    EXPECT_FALSE(first->started.empty());
    const InstrumentSettings& one = first->instruments.at(1);
    EXPECT_EQ(one.unit, 1u);
    EXPECT_EQ(one.measure, 1u);
    EXPECT_EQ(one.parameterSet, 0u);
    EXPECT_DOUBLE_EQ(one.range, 500.0);
    EXPECT_DOUBLE_EQ(one.target, 250.0);
    EXPECT_DOUBLE_EQ(one.upper, 5.0);
    EXPECT_DOUBLE_EQ(one.lower, 3.0);

    // The file is for people too: one section per instrument, names rather than codes.
    std::ifstream in(companionPath(session->testPath()));
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("[Slave_1]\nSince="), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("Unit=N.m\nMeasure=T\n"), std::string::npos) << text.str();

    sim::KeypadChange change = test::unitChange(2);
    change.upperLimit = 100;
    ASSERT_TRUE(line->changeOnKeypad(1, change));
    const auto second =
        waitForCompanion([](const Companion& c) { return c.instruments.at(1).unit == 2; });
    ASSERT_TRUE(second);
    EXPECT_DOUBLE_EQ(second->instruments.at(1).upper, 10.0);
    EXPECT_GT(second->instruments.at(1).since, one.since);
    EXPECT_NEAR(second->instruments.at(1).rangeInUnit(), 5098.5, 1e-9);
    // The other instrument's settings did not change, nor the time they hold from.
    EXPECT_EQ(second->instruments.at(2).since, first->instruments.at(2).since);
    EXPECT_EQ(second->started, first->started);
    EXPECT_TRUE(session->companion().lastWrite().ok());
}

// A companion file that cannot be written is told as a failed append, tried again and told again
// once it works.
TEST_F(CompanionFileTest, AFailedWriteIsToldAndTriedAgain) {
    struct Appends : SessionObserver {
        std::vector<std::string> failed, recovered;
        void appendFailed(const std::string& path, const std::string&) override {
            failed.push_back(path);
        }
        void appendRecovered(const std::string& path) override { recovered.push_back(path); }
    } appends;
    ASSERT_NO_FATAL_FAILURE(startLine({test::instrument(1)}));
    session = std::make_unique<AcquisitionSession>(dir.folder("Data"), graph);
    session->addObserver(appends);
    session->addDevice(1);
    ASSERT_EQ(session->newTest("blocked"), TestSession::AddResult::Added);
    const std::string ini = companionPath(session->testPath());
    std::filesystem::create_directory(ini);
    ASSERT_EQ(session->start(), Recorder::StartResult::Started);
    EXPECT_EQ(appends.failed, std::vector<std::string>{ini});
    EXPECT_FALSE(session->companion().lastWrite().ok());
    std::filesystem::remove(ini);
    ASSERT_TRUE(test::waitUntil([&] {
        session->tick();
        return !appends.recovered.empty();
    }));
    EXPECT_EQ(appends.failed.size(), 1u);
    EXPECT_TRUE(readCompanion(ini));
    session->removeObserver(appends);
}

// The day folder removed under a recording is made again with both files: the readings go on, and
// the settings known so far are beside them again.
TEST_F(CompanionFileTest, MadeAgainWithTheDayFolder) {
    ASSERT_NO_FATAL_FAILURE(startRecording());
    const std::string ini = companionPath(session->testPath());
    const auto before =
        waitForCompanion([](const Companion& c) { return c.instruments.size() == 2; });
    ASSERT_TRUE(before);
    std::filesystem::remove_all(std::filesystem::path(ini).parent_path());
    const auto after = waitForCompanion([&](const Companion& c) {
        return c.instruments.size() == 2 && std::filesystem::exists(session->testPath());
    });
    ASSERT_TRUE(after);
    EXPECT_EQ(after->started, before->started);
    for (int slave : {1, 2}) {
        EXPECT_TRUE(after->instruments.at(slave).sameSettings(before->instruments.at(slave)));
        EXPECT_EQ(after->instruments.at(slave).since, before->instruments.at(slave).since);
    }
    EXPECT_TRUE(session->companion().lastWrite().ok());
}

TEST(CompanionFile, PathAndUnreadableFiles) {
    EXPECT_EQ(companionPath("/d/20260101/bolt.pdat"), "/d/20260101/bolt.ini");
    EXPECT_EQ(companionPath("/d/x"), "/d/x.ini");
    test::TempDir dir;
    EXPECT_FALSE(readCompanion(dir.file("missing.ini")));
    EXPECT_FALSE(readCompanion(dir.path()));
    std::ofstream(dir.file("odd.ini")) << "[Slave_0]\nUnit=N.m\n[Slave_31]\n[Slave_x]\n";
    const auto odd = readCompanion(dir.file("odd.ini"));
    ASSERT_TRUE(odd);
    EXPECT_TRUE(odd->instruments.empty());

    // Values that are not numbers are not given: no NaN, infinity or leading part of a text.
    std::ofstream(dir.file("hostile.ini"))
        << "[Slave_2]\nUnit=N.m\nRange=inf\nTarget=nan\nUpper=0x10\nLower=2,5\nSince=1e999\n"
           "Decimals=2abc\nParameterSet=-1\n";
    const auto hostile = readCompanion(dir.file("hostile.ini"));
    ASSERT_TRUE(hostile);
    ASSERT_EQ(hostile->instruments.count(2), 1u);
    const InstrumentSettings& s = hostile->instruments.at(2);
    EXPECT_EQ(s.unit, 1u);
    for (const double value : {s.range, s.target, s.upper, s.lower, s.since})
        EXPECT_EQ(value, 0.0);
    EXPECT_EQ(s.decimals, 0);
    EXPECT_EQ(s.parameterSet, 0u);
}

}  // namespace
}  // namespace vornex
