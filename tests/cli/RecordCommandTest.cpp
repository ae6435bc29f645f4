#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <signal.h>

#include <QDate>
#include <QRegularExpression>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

#include "CliRun.h"
#include "LineFixture.h"
#include "RecordFiles.h"
#include "SmallFileSystem.h"
#include "TempDir.h"
#include "VornexVersion.h"
#include "Wait.h"
#include "record/CompanionFile.h"
#include "record/TestFile.h"

namespace vornex {
namespace {

using test::CliRun;
using test::readBytes;
using test::readRecords;
using test::runCli;

// Instruments 1 and 2 on a simulated line; the home folder is the line's temporary folder.
class RecordCommand : public test::LineFixture {
protected:
    void SetUp() override { startLine({test::instrument(1), test::instrument(2)}); }

    QStringList recordArgs(const QString& name, const QString& seconds = "1",
                           const QString& slaves = "1,2") const {
        QStringList args{"record",   "--port", QString::fromStdString(line->portPath()),
                         "--slaves", slaves,   "--test",
                         name,       "--home", QString::fromStdString(dir.path())};
        if (!seconds.isEmpty())
            args << "--seconds" << seconds;
        return args;
    }
    CliRun record(const QString& name) { return runCli(recordArgs(name)); }
    size_t answered(int slave) const { return test::answeredLiveValues(*line, slave).size(); }

    void expectEveryAnsweredReadingFiled(const std::string& path) const {
        std::map<int, std::vector<float>> filed;
        for (const CurvePoint& p : readRecords(path))
            filed[p.slave].push_back(static_cast<float>(p.value));
        for (int slave : {1, 2})
            EXPECT_EQ(filed[slave], test::answeredLiveValues(*line, slave)) << "slave " << slave;
    }
    std::vector<std::string> filesNamed(const std::string& fileName) const {
        std::vector<std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
            if (entry.path().filename() == fileName)
                files.push_back(entry.path());
        }
        return files;
    }
};

TEST_F(RecordCommand, PrintedCountsMatchTheFileAndItsExport) {
    const CliRun run = record("bench");
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const std::string path = run.out.section('\n', 0, 0).toStdString();
    const std::string counts = run.out.section('\n', 1).toStdString();

    const auto records = readRecords(path);
    ASSERT_FALSE(records.empty());
    EXPECT_EQ(readBytes(path).size() % 24, 0u);
    size_t perSlave[3] = {};
    for (const CurvePoint& p : records) {
        ASSERT_TRUE(p.slave == 1 || p.slave == 2);
        ++perSlave[p.slave];
    }
    std::ostringstream expected;
    expected << "slave 1: " << perSlave[1] << "\nslave 2: " << perSlave[2]
             << "\ntotal: " << records.size() << "\n";
    EXPECT_EQ(counts, expected.str());
    EXPECT_EQ(runCli({"count", QString::fromStdString(path)}).out.toStdString(), expected.str());

    const std::string csv = dir.path() + "/out.csv";
    ASSERT_EQ(runCli({"export", QString::fromStdString(path), "--csv", QString::fromStdString(csv)})
                  .exitCode,
              0);
    std::istringstream lines(readBytes(csv));
    std::string text;
    std::getline(lines, text);
    EXPECT_EQ(text, "time,value,slave");
    for (const CurvePoint& p : records) {
        ASSERT_TRUE(std::getline(lines, text));
        char* end = nullptr;
        EXPECT_EQ(std::strtod(text.c_str(), &end), p.time);
        EXPECT_EQ(std::strtod(end + 1, &end), p.value);
        EXPECT_EQ(std::strtol(end + 1, nullptr, 10), p.slave);
    }
    EXPECT_FALSE(std::getline(lines, text));
}

// The bench and the address's name come from config.ini, the rest from the options; at Stop the
// companion holds the file's hash and the test's UUID, under which the closed test waits for the
// store, and the report checks the file against the hash.
TEST_F(RecordCommand, TheCompanionSaysWhoTestedWhatAndTheReportHoldsTheFileToItsHash) {
    std::ofstream(dir.file("config.ini"))
        << "[Setting]\nLanguage=en_US\nBench=Bench 7\n[Names:" << line->portPath()
        << "]\n1=Station 3 / SN 4711\n[Store]\nUri=postgresql:///results?host=/nonexistent\n";
    // The register holds the tool overdue: the test is recorded all the same, and says so.
    ASSERT_EQ(runCli({"register", "add-tool", "CW-200", "--class", "A", "--type", "II", "--min",
                      "40", "--max", "200", "--unit", "N.m", "--last", "2020-02-01", "--home",
                      QString::fromStdString(dir.path())})
                  .exitCode,
              0);
    const CliRun run = runCli(recordArgs("traced") << "--operator"
                                                   << "Li Wei"
                                                   << "--tool"
                                                   << "CW-200"
                                                   << "--note"
                                                   << "after\nrepair");
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const std::string path = run.outLines().value(0).toStdString();
    const auto companion = readCompanion(companionPath(path)).companion;
    ASSERT_TRUE(companion);
    const TestTrace& t = companion->trace;
    EXPECT_EQ(std::vector({t.bench, t.operatorName, t.toolId, t.toolDescription, t.note}),
              std::vector<std::string>({"Bench 7", "Li Wei", "CW-200", "", "after repair"}));
    EXPECT_EQ(t.toolOverdue, "since 2021-02-01");
    EXPECT_TRUE(run.err.contains("tool CW-200 is overdue for its verification (since 2021-02-01)"));
    EXPECT_EQ(t.version, VORNEX_VERSION);
    EXPECT_EQ(t.sha256, TestFile(path).sha256());
    EXPECT_TRUE(test::pathExists(dir.file("Outbox/" + companion->uuid + ".item")))
        << companion->uuid;
    ASSERT_EQ(companion->identities.size(), 2u);
    EXPECT_EQ(companion->identities.at(1).name, "Station 3 / SN 4711");
    EXPECT_EQ(companion->identities.at(2).name, "");
    for (const auto& [slave, identity] : companion->identities)
        EXPECT_TRUE(QRegularExpression("^(?!(00)+$)[0-9a-f]{20}$")
                        .match(QString::fromStdString(identity.identification))
                        .hasMatch())
            << identity.identification;

    const QString file = QString::fromStdString(path);
    const CliRun closed = runCli({"report", file});
    EXPECT_EQ(closed.exitCode, 0);
    EXPECT_EQ(closed.outLines().value(0), QString::fromStdString("file sha256 " + t.sha256));
    // A byte of a record's padding: the readings stay, the file is another.
    {
        std::fstream bytes(path, std::ios::in | std::ios::out | std::ios::binary);
        bytes.seekp(20);
        bytes.put('\x01');
    }
    const CliRun changed = runCli({"report", file});
    EXPECT_EQ(changed.exitCode, 3);
    EXPECT_EQ(changed.outLines().mid(0, 2),
              QStringList({QString::fromStdString("file sha256 " + TestFile(path).sha256()),
                           "warning: file changed after it was closed"}));
    EXPECT_EQ(changed.outLines().mid(2), closed.outLines().mid(1));
}

TEST_F(RecordCommand, TakenOrEscapingNamesAreRefusedWithoutWriting) {
    ASSERT_EQ(record("once").exitCode, 0);
    ASSERT_EQ(filesNamed("once.pdat").size(), 1u);
    const std::string file = filesNamed("once.pdat")[0];
    const std::string before = readBytes(file);

    const CliRun again = record("once");
    EXPECT_EQ(again.exitCode, 2);
    EXPECT_TRUE(again.err.contains(QString::fromUtf8("提示:文件已存在！")));
    EXPECT_EQ(readBytes(file), before);

    EXPECT_EQ(record("../escaped").exitCode, 2);
    EXPECT_EQ(record("..").exitCode, 2);
    const std::pair<QString, const char*> refused[] = {
        {"", "提示:名称不能为空！"},
        {"  ", "提示:名称不能为空！"},
        {"two\nlines", "提示:名称不能含有控制字符！"},
        {QString(251, 'a'), "提示:名称太长！"},
        {QString(84, QChar(0x6D4B)), "提示:名称太长！"},
    };
    for (const auto& [name, text] : refused) {
        const CliRun run = record(name);
        EXPECT_EQ(run.exitCode, 2) << name.toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8(text))) << run.err.toStdString();
    }
    EXPECT_FALSE(std::filesystem::exists(dir.path() + "/Data/escaped.pdat"));
    size_t entries = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir.path())) {
        entries += entry.path().extension() == ".pdat";
    }
    EXPECT_EQ(entries, 1u);
}

// A test file of `count` records of slave 1.
std::string records(size_t count) {
    std::string bytes;
    for (size_t i = 0; i < count; ++i) {
        const CurvePoint p = test::point(0.1 * static_cast<double>(i), 1.0 / 3.0, 1);
        bytes.append(reinterpret_cast<const char*>(&p), sizeof p);
    }
    return bytes;
}

class ExportCommand : public ::testing::Test {
protected:
    CliRun exportTo(const std::string& input, const std::string& output) {
        return runCli(
            {"export", QString::fromStdString(input), "--csv", QString::fromStdString(output)});
    }
    std::string path(const std::string& name) const { return home_.path() + "/" + name; }

    test::TempDir home_;
};

TEST_F(ExportCommand, OutputThatIsTheInputIsRefusedUnderAnyName) {
    const std::string input = path("t.pdat");
    test::writeBytes(input, records(3));
    ASSERT_EQ(::symlink(input.c_str(), path("link").c_str()), 0);
    ASSERT_EQ(::link(input.c_str(), path("hard").c_str()), 0);
    for (const std::string& output : {input, path("link"), path("./hard")}) {
        const CliRun run = exportTo(input, output);
        EXPECT_EQ(run.exitCode, 2) << output;
        EXPECT_TRUE(run.err.contains("test file itself")) << run.err.toStdString();
        EXPECT_TRUE(test::readBytes(input) == records(3)) << "the test file is intact";
    }
    // Nor is the test's companion.
    test::writeBytes(path("t.ini"), "[Test]\n");
    const CliRun companion = exportTo(input, path("t.ini"));
    EXPECT_EQ(companion.exitCode, 2);
    EXPECT_TRUE(companion.err.contains("companion")) << companion.err.toStdString();
    EXPECT_EQ(test::readBytes(path("t.ini")), "[Test]\n");

    // An earlier export is replaced whole, keeping its permissions; the link stays a link.
    test::writeBytes(path("out.csv"), std::string(5000, 'x'));
    ::chmod(path("out.csv").c_str(), 0640);
    ASSERT_EQ(::symlink(path("out.csv").c_str(), path("out-link").c_str()), 0);
    ASSERT_EQ(exportTo(input, path("out-link")).exitCode, 0);
    EXPECT_EQ(test::readBytes(path("out.csv")).rfind("time,value,slave\n0,", 0), 0u);
    struct stat status {};
    ASSERT_EQ(::lstat(path("out-link").c_str(), &status), 0);
    EXPECT_TRUE(S_ISLNK(status.st_mode));
    ASSERT_EQ(::stat(path("out.csv").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 0777, 0640u);
}

TEST_F(ExportCommand, FullDiskLeavesTheEarlierExportAsItWas) {
    const std::string small = path("small");
    ASSERT_EQ(::mkdir(small.c_str(), 0755), 0);
    const test::SmallFileSystem disk(small, 64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const std::string input = path("t.pdat");
    test::writeBytes(input, records(2000));  // about 100 KB of text
    const std::string earlier(40000, 'e');
    test::writeBytes(small + "/out.csv", earlier);

    const CliRun run = exportTo(input, small + "/out.csv");
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("out.csv")) << run.err.toStdString();
    EXPECT_TRUE(test::readBytes(small + "/out.csv") == earlier) << "the earlier export is intact";
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(small))
        ++entries;
    EXPECT_EQ(entries, 1u) << "the unfinished export is removed";
}

// Ended by a signal while it writes, an export leaves the earlier export and no hidden file.
TEST_F(ExportCommand, ASignalDuringTheExportLeavesTheEarlierExportAndNoTemporaryFile) {
    const std::string input = path("big.pdat");
    test::writeBytes(input, records(1000000));  // about 40 MB of text
    const std::string earlier = "time,value,slave\n0,1,1\n";
    test::writeBytes(path("out.csv"), earlier);
    const auto temporaryFiles = [&] {
        size_t hidden = 0;
        for (const auto& entry : std::filesystem::directory_iterator(home_.path()))
            hidden += entry.path().filename().string().rfind(".out.csv.", 0) == 0;
        return hidden;
    };
    for (int number : {SIGTERM, SIGINT, SIGHUP}) {
        test::CliProcess tool({"export", QString::fromStdString(input), "--csv",
                               QString::fromStdString(path("out.csv"))});
        ASSERT_TRUE(test::waitUntil([&] { return temporaryFiles() == 1; }));
        EXPECT_EQ(tool.finish(number).exitCode, -1) << "signal " << number;
        EXPECT_EQ(temporaryFiles(), 0u) << "signal " << number;
        EXPECT_TRUE(test::readBytes(path("out.csv")) == earlier) << "signal " << number;
    }
}

TEST_F(ExportCommand, PipesAndFoldersAreRefusedAtOnce) {
    const std::string fifo = path("fifo.pdat");
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
    for (const std::string& input : {fifo, home_.folder("Data")}) {
        for (const CliRun& run :
             {runCli({"count", QString::fromStdString(input)}), exportTo(input, path("out.csv"))}) {
            EXPECT_EQ(run.exitCode, 2) << input;
            EXPECT_TRUE(run.err.contains("not a regular file")) << run.err.toStdString();
        }
        EXPECT_FALSE(std::filesystem::exists(path("out.csv")));
    }
}

// Records no reader draws are counted as other, and the total is every record of the file.
TEST_F(ExportCommand, CountTellsRecordsOfOtherSlaves) {
    test::writeRecords(path("t.pdat"),
                       {test::point(0, 1, 1), test::point(0.1, 1, 1), test::point(1, 2, 0),
                        test::point(1, 2, 31), test::point(1, 2, 255)});
    EXPECT_EQ(runCli({"count", QString::fromStdString(path("t.pdat"))}).out,
              "slave 1: 2\nother: 3\ntotal: 5\n");
}

// Two tools started together for one name: exactly one records, the other is refused.
TEST_F(RecordCommand, OfTwoRecordingsStartedTogetherForOneNameExactlyOneWins) {
    test::CliProcess first(recordArgs("race"));
    test::CliProcess second(recordArgs("race"));
    const CliRun runs[] = {first.finish(0), second.finish(0)};
    EXPECT_EQ((std::multiset<int>{runs[0].exitCode, runs[1].exitCode}), (std::multiset<int>{0, 2}))
        << runs[0].err.toStdString() << runs[1].err.toStdString();
    const QString loser = runs[runs[0].exitCode == 2 ? 0 : 1].err;
    EXPECT_TRUE(loser.contains(QString::fromUtf8("提示:文件已存在！"))) << loser.toStdString();
}

// A line lost mid-recording is waited for: `line lost`, and `line back` once the pty is there
// again; the recording goes on into the same test, every answered reading is filed, and the
// recording ended by a signal exits 0.
TEST_F(RecordCommand, ALostLineIsWaitedForAndTheRecordingGoesOnWithExit0) {
    test::CliProcess tool(recordArgs("outage", QString()));
    ASSERT_TRUE(test::waitUntil([&] { return answered(2) >= 4; }));
    ASSERT_TRUE(test::unplugBetweenExchanges(*line, {1, 2}));
    ASSERT_TRUE(tool.printed("line lost\n"));
    std::string error;
    ASSERT_TRUE(line->startPty(linkPath, error)) << error;
    ASSERT_TRUE(tool.printed("line back\n"));
    const size_t before = answered(2);
    ASSERT_TRUE(test::waitUntil([&] { return answered(2) >= before + 4; }));
    const CliRun run = tool.finish();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // The instruments silenced before the unplug may be told as not answering, and again later.
    QStringList lines = run.outLines();
    lines.removeIf([](const QString& text) { return text.contains("answering"); });
    ASSERT_EQ(lines.mid(0, 2), (QStringList{"line lost", "line back"})) << run.out.toStdString();
    expectEveryAnsweredReadingFiled(lines.value(2).toStdString());
}

// The program's monotonic clocks jump 20 days ahead while it records: the times filed after the
// jump still differ reading by reading, in steps of the polls' milliseconds.
TEST_F(RecordCommand, TimesKeepTheirMillisecondsInATestOfManyDays) {
    const std::string offsetFile = dir.file("clock-offset");
    test::writeBytes(offsetFile, std::string(sizeof(int64_t), '\0'));
    // In place: the program maps the file, and a shortened file would fault its reads.
    const auto setOffset = [&](int64_t nanoseconds) {
        const int fd = ::open(offsetFile.c_str(), O_WRONLY);
        ASSERT_EQ(::pwrite(fd, &nanoseconds, sizeof nanoseconds, 0),
                  static_cast<ssize_t>(sizeof nanoseconds));
        ::close(fd);
    };
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("LD_PRELOAD", VORNEX_CLOCK_SHIM_PATH);
    environment.insert("VORNEX_TEST_CLOCK_OFFSET_FILE", QString::fromStdString(offsetFile));
    // A sanitizer's runtime would otherwise insist on being preloaded first.
    environment.insert("ASAN_OPTIONS",
                       environment.value("ASAN_OPTIONS") + ":verify_asan_link_order=0");
    test::CliProcess tool(recordArgs("days", QString(), "1"), environment);
    ASSERT_TRUE(test::waitUntil([&] { return answered(1) >= 3; }));
    constexpr double kJump = 20 * 86400.0;
    setOffset(static_cast<int64_t>(kJump) * 1000000000);
    const size_t before = answered(1);
    ASSERT_TRUE(test::waitUntil([&] { return answered(1) >= before + 12; }));
    const CliRun run = tool.finish();
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();

    std::vector<double> late;
    for (const CurvePoint& p : readRecords(run.outLines().value(0).toStdString())) {
        if (p.time > kJump)
            late.push_back(p.time);
    }
    ASSERT_GE(late.size(), 10u);
    bool someStepOffAnEighth = false;
    for (size_t i = 1; i < late.size(); ++i) {
        const double step = late[i] - late[i - 1];
        EXPECT_GT(step, 0.0) << "readings " << i - 1 << " and " << i << " share their time";
        const double eighths = step * 8.0;
        someStepOffAnEighth |= std::abs(eighths - std::round(eighths)) > 1e-6;
    }
    EXPECT_TRUE(someStepOffAnEighth) << "every step is a multiple of 0.125 s";
}

// A run that fails before anything was recorded (a port that is not there, a line where nobody
// answers) exits 2 and leaves no file behind, so the same name works once the line does.
TEST_F(RecordCommand, OutOfRangeSecondsAreUsageErrorsAndAFailedRunLeavesItsNameFree) {
    for (const char* seconds : {"0", "2592001", "4294968", "-1", "x"})
        EXPECT_EQ(runCli(recordArgs("range", seconds)).exitCode, 1) << seconds;
    QStringList noPort = recordArgs("again");
    noPort[2] = QString::fromStdString(dir.file("ttyNONE"));
    const CliRun missing = runCli(noPort);
    EXPECT_EQ(missing.exitCode, 2);
    EXPECT_TRUE(missing.err.contains("cannot open port")) << missing.err.toStdString();
    const CliRun silent = runCli(recordArgs("again", QString(), "7"));
    EXPECT_EQ(silent.exitCode, 2);
    EXPECT_TRUE(silent.err.contains("no instrument answers")) << silent.err.toStdString();
    EXPECT_TRUE(filesNamed("again.pdat").empty());
    EXPECT_TRUE(filesNamed("again.ini").empty());

    const CliRun works = record("again");
    ASSERT_EQ(works.exitCode, 0) << works.err.toStdString();
    EXPECT_FALSE(readRecords(works.outLines().value(0).toStdString()).empty());
    EXPECT_EQ(filesNamed("again.ini").size(), 1u);
}

// Instruments that stop answering are told with the time they stopped, and again when they
// answer; the recording goes on, and ended by SIGTERM it exits 0 with every answered reading filed.
TEST_F(RecordCommand, InstrumentsFallingSilentAndAnsweringAgainAreTold) {
    test::CliProcess tool(recordArgs("quiet", QString()));
    ASSERT_TRUE(test::waitUntil([&] { return answered(2) >= 4; }));
    for (bool silent : {true, false}) {
        for (int slave : {1, 2})
            line->faults().setSilent(slave, silent);
        for (const char* slave : {"slave 1: ", "slave 2: "})
            ASSERT_TRUE(tool.printed(
                slave + QString(silent ? "not answering since " : "answering again\n")));
    }
    const CliRun run = tool.finish(SIGTERM);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    const QRegularExpression since("^slave [12]: not answering since \\d\\d:\\d\\d:\\d\\d$");
    EXPECT_EQ(run.outLines().filter(since).size(), 2) << run.out.toStdString();
    EXPECT_EQ(run.out.count("answering again"), 2) << run.out.toStdString();
    QStringList lines = run.outLines();
    lines.removeIf([](const QString& text) { return text.contains("answering"); });
    expectEveryAnsweredReadingFiled(lines.value(0).toStdString());
}

// A closed terminal or ssh session ends a recording as Ctrl-C does: nothing of it may be lost.
TEST_F(RecordCommand, AHangUpEndsTheRecordingWithEveryReadingFiledHashedAndQueued) {
    std::ofstream(dir.file("config.ini"))
        << "[Store]\nUri=postgresql:///results?host=/nonexistent\n";
    test::CliProcess tool(recordArgs("hungup", QString()));
    ASSERT_TRUE(test::waitUntil([&] { return answered(2) >= 4; }));
    const CliRun run = tool.finish(SIGHUP);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("\ntotal: ")) << run.out.toStdString();
    const std::string path = run.outLines().value(0).toStdString();
    expectEveryAnsweredReadingFiled(path);
    const auto companion = readCompanion(companionPath(path)).companion;
    ASSERT_TRUE(companion);
    EXPECT_EQ(companion->trace.sha256, TestFile(path).sha256());
    EXPECT_TRUE(test::pathExists(dir.file("Outbox/" + companion->uuid + ".item")));
}

// A full disk fails both the test file and its companion file; each is named as what it is, and
// once the disk has room again and every reading is written, the exit code is 0.
TEST_F(RecordCommand, AFullDiskThatRecoversLosesNothingAndExits0) {
    const std::string day =
        dir.folder("Data/" + QDate::currentDate().toString("yyyyMMdd").toStdString());
    const test::SmallFileSystem disk(day, 64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    const std::string filler = day + "filler";
    {
        std::ofstream fill(filler);
        const std::string block(4096, 'f');
        while (fill.write(block.data(), static_cast<std::streamsize>(block.size())) &&
               fill.flush()) {
        }
    }
    test::CliProcess tool(recordArgs("full", QString()));
    ASSERT_TRUE(tool.said("cannot append to " + QString::fromStdString(day) + "full.pdat"));
    ASSERT_TRUE(tool.said("companion file " + QString::fromStdString(day) + "full.ini ("));
    std::filesystem::remove(filler);
    ASSERT_TRUE(tool.said("appending to"));
    ASSERT_TRUE(
        tool.said("companion file " + QString::fromStdString(day) + "full.ini is written again"));
    const size_t before = answered(2);
    ASSERT_TRUE(test::waitUntil([&] { return answered(2) >= before + 2; }));
    const CliRun run = tool.finish();
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    for (const QString& text : run.err.split('\n').filter(".ini"))
        EXPECT_FALSE(text.contains("points")) << text.toStdString();
    expectEveryAnsweredReadingFiled(day + "full.pdat");
}

}  // namespace
}  // namespace vornex
