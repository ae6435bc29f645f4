#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "LineFixture.h"
#include "Wait.h"
#include "record/CompanionFile.h"
#include "record/HeadlessGraph.h"
#include "session/AcquisitionSession.h"

namespace vornex {
namespace {

class CompanionFileTest : public test::LineFixture {
protected:
    void startRecording() {
        ASSERT_NO_FATAL_FAILURE(startLine({test::instrument(1), test::instrument(2)}));
        session = std::make_unique<AcquisitionSession>(dir.folder("Data"), graph);
        session->addDevice(1);
        session->addDevice(2);
        ASSERT_EQ(session->connect(linkPath), OpenResult::Opened);
        ASSERT_EQ(session->newTest("bolt"), TestSession::AddResult::Added);
        ASSERT_EQ(session->start(), Recorder::StartResult::Started);
    }

    // Ticks as the window does until the companion file satisfies `done`.
    template <typename Condition>
    std::optional<Companion> waitForCompanion(Condition done) {
        std::optional<Companion> companion;
        test::waitUntil([&] {
            session->tick();
            companion = readCompanion(companionPath(session->testPath())).companion;
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
    const InstrumentSettings& one = first->instruments.at(1).back();
    EXPECT_EQ(one.unit, 1u);
    EXPECT_EQ(one.measure, 1u);
    EXPECT_EQ(one.parameterSet, 0u);
    EXPECT_DOUBLE_EQ(one.range, 500.0);
    EXPECT_DOUBLE_EQ(one.target, 250.0);
    EXPECT_DOUBLE_EQ(one.upper, 5.0);
    EXPECT_DOUBLE_EQ(one.lower, 3.0);

    // The file is for people too: one section per instrument and change, names rather than codes.
    const auto text = [this] {
        std::stringstream in;
        in << std::ifstream(companionPath(session->testPath())).rdbuf();
        return in.str();
    };
    EXPECT_NE(text().find("[Slave_1]\nSince="), std::string::npos) << text();
    EXPECT_NE(text().find("Unit=N.m\nMeasure=T\n"), std::string::npos) << text();

    sim::KeypadChange change = test::unitChange(2);
    change.upperLimit = 100;
    ASSERT_TRUE(line->changeOnKeypad(1, change));
    const auto second =
        waitForCompanion([](const Companion& c) { return c.instruments.at(1).back().unit == 2; });
    ASSERT_TRUE(second);
    // The change is a second section; the settings before it are kept as they were.
    ASSERT_EQ(second->instruments.at(1).size(), 2u);
    EXPECT_EQ(second->instruments.at(1)[0], one);
    const InstrumentSettings& changed = second->instruments.at(1)[1];
    EXPECT_DOUBLE_EQ(changed.upper, 10.0);
    EXPECT_GT(changed.since, one.since);
    EXPECT_NEAR(changed.rangeInUnit(), 5098.5, 1e-9);
    EXPECT_NE(text().find("[Slave_1_2]\nSince="), std::string::npos) << text();
    // The other instrument's settings did not change, nor the time they hold from.
    EXPECT_EQ(second->instruments.at(2), first->instruments.at(2));
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
    EXPECT_TRUE(readCompanion(ini).companion);
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
    EXPECT_EQ(after->instruments, before->instruments);
    EXPECT_TRUE(session->companion().lastWrite().ok());
}

TEST(CompanionFile, PathAndFilesThatAreNoCompanion) {
    EXPECT_EQ(companionPath("/d/20260101/bolt.pdat"), "/d/20260101/bolt.ini");
    EXPECT_EQ(companionPath("/d/x"), "/d/x.ini");
    test::TempDir dir;
    const CompanionRead missing = readCompanion(dir.file("missing.ini"));
    EXPECT_FALSE(missing.companion);
    EXPECT_TRUE(missing.lines().empty());
    std::ofstream(dir.file("odd.ini"))
        << "[Slave_0]\nUnit=N.m\n[Slave_31]\n[Slave_x]\n[Slave_1_1]\n";
    const CompanionRead odd = readCompanion(dir.file("odd.ini"));
    ASSERT_TRUE(odd.companion);
    EXPECT_TRUE(odd.companion->instruments.empty());
    EXPECT_TRUE(odd.lines().empty());

    // Told, never believed nor waited on: a reader that opened the FIFO blocking would hang here.
    ASSERT_EQ(::mkfifo(dir.file("fifo.ini").c_str(), 0600), 0);
    std::ofstream(dir.file("garbage.ini")) << "\x7f"
                                              "ELF\x01\x02 binary\n";
    std::ofstream(dir.file("huge.ini")) << "[Test]\n";
    std::filesystem::resize_file(dir.file("huge.ini"), 2 * 1024 * 1024);
    for (const char* name : {"fifo.ini", "garbage.ini", "huge.ini", ""}) {
        const CompanionRead read = readCompanion(dir.file(name));
        EXPECT_FALSE(read.companion) << name;
        ASSERT_EQ(read.lines().size(), 1u) << name;
        EXPECT_EQ(read.lines()[0].rfind(dir.file(name) + ": ", 0), 0u) << read.lines()[0];
    }
}

// A value no instrument can hold refuses that instrument's settings whole, naming the file,
// section and key; the other instruments keep theirs.
TEST(CompanionFile, ValuesNoInstrumentCanHoldAreRefused) {
    const QStringList hostile = QString(
                                    "Target=nan Upper=inf Range=inf Target=250,5 Target=-5 "
                                    "Target=1e12 Upper=25.6 Lower=-1 Range=-100 Range=1e39 "
                                    "Unit=lbf.ft Measure=X Decimals=7 ParameterSet=10 "
                                    "Since=-1 Lower=0x10")
                                    .split(' ');
    const std::string valid =
        "Since=0.000\nUnit=N.m\nMeasure=T\nParameterSet=0\nRange=500.0\nDecimals=1\n"
        "Target=250.0\nUpper=5.0\nLower=3.0\n";
    test::TempDir dir;
    const std::string path = dir.file("bolt.ini");
    const auto companionWith = [&](const std::string& section2) {
        std::ofstream(path) << "[Slave_1]\n" << valid << "[Slave_2]\n" << section2;
        return readCompanion(path);
    };
    EXPECT_EQ(companionWith(valid + "[Slave_2_2]\n" + valid).companion->instruments.at(2).size(),
              2u);
    for (const QString& hostileLine : hostile) {
        const std::string line = hostileLine.toStdString();
        const CompanionRead read = companionWith(line + "\n" + valid);
        EXPECT_EQ(read.companion.value().instruments.count(2), 0u) << line;
        ASSERT_EQ(read.lines().size(), 1u) << line;
        EXPECT_EQ(read.lines()[0].rfind(path + " [Slave_2] " + line + ": ", 0), 0u)
            << read.lines()[0];
    }
    // A later section may not hold from before the one it follows.
    const CompanionRead late = companionWith("Since=5\n[Slave_2_2]\nSince=4\n");
    EXPECT_NE(late.refused.at(2).find("[Slave_2_2] Since=4: "), std::string::npos);
}

}  // namespace
}  // namespace vornex
