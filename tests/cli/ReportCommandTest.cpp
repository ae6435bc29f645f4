#include <gtest/gtest.h>

#include <unistd.h>

#include <QFile>
#include <QRegularExpression>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <tuple>
#include <vector>

#include "CliRun.h"
#include "LineFixture.h"
#include "PdfText.h"
#include "RecordFiles.h"
#include "SmallFileSystem.h"
#include "TempDir.h"
#include "Wait.h"
#include "judge/EventsCsv.h"
#include "judge/LiveResults.h"
#include "judge/TestResults.h"
#include "record/CompanionFile.h"
#include "record/CurveTable.h"
#include "record/TestFile.h"
#include "report/ReportDocument.h"

namespace vornex {
namespace {

using test::runCli;

// Slave 2 recorded three tightenings (the last cut by the end of the test), slave 5 one; slave 2's
// settings are in the companion file: range 100 N.m in kgf.cm, target 50 kgf.cm, +10 % / -20 %.
class ReportCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<CurvePoint> points;
        const double two[] = {0, 300, 0, -600, 0, 1000};
        const double five[] = {0, 40, 0, 0, 0, 0};
        for (int i = 0; i < 6; ++i) {
            points.push_back(test::point(i * 0.5, two[i], 2));
            points.push_back(test::point(i * 0.5, five[i], 5));
        }
        test::writeRecords(path, points);
    }
    void writeCompanion() {
        std::ofstream(dir.file("bolt.ini"))
            << "[Test]\nName=bolt\nStarted=2026-01-02 09:05:00\n[Slave_2]\nSince=0.000\n"
               "Unit=kgf.cm\nMeasure=P\nParameterSet=1\nRange=100.0\nDecimals=1\n"
               "Target=500.0\nUpper=10.0\nLower=20.0\n";
    }

    test::TempDir dir;
    const std::string path = dir.file("bolt.pdat");
    const QString file = QString::fromStdString(path);
};

TEST_F(ReportCommand, PrintsEventsVerdictsAndStatisticsPerSlave) {
    writeCompanion();
    // Range 1019.7 kgf.cm: θ 50.985, band 296.06..601.97. A companion without a hash checks
    // nothing.
    const test::CliRun run = runCli({"report", file});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.outLines(),
              QStringList({"file sha256 " + QString::fromStdString(TestFile(path).sha256()),
                           "slave 2: unit kgf.cm events 3 pass 2 low 0 high 0 incomplete 1",
                           "peaks 2: held by the instrument (P)", "event 2 1 0.500 300.0 pass",
                           "event 2 2 1.500 -600.0 pass",
                           // Still rising when the file ends: listed, neither judged nor counted.
                           "event 2 3 2.500 1000.0 incomplete",
                           "stats 2: n 2 mean 450.0 sd 212.1 min 300.0 max 600.0 cp 0.24 cpk 0.24",
                           // No settings: θ is 5 % of the largest magnitude, no verdicts.
                           "slave 5: unit - events 1 pass 0 low 0 high 0 incomplete 0",
                           "peaks 5: polled curve 2.0 readings/s", "event 5 1 0.500 40.000 none",
                           "stats 5: n 1 mean 40.000 sd - min 40.000 max 40.000 cp - cpk -"}));
    // Given limits replace the companion's for every slave; a threshold above a peak hides it.
    const QStringList given = runCli({"report", file, "--threshold", "350", "--target", "40",
                                      "--upper", "10", "--lower", "0"})
                                  .outLines();
    EXPECT_EQ(given.mid(1, 4),
              QStringList({"slave 2: unit kgf.cm events 2 pass 0 low 0 high 1 incomplete 1",
                           "peaks 2: held by the instrument (P)", "event 2 1 1.500 -600.0 high",
                           "event 2 2 2.500 1000.0 incomplete"}));
    EXPECT_EQ(given[6], "slave 5: unit - events 0 pass 0 low 0 high 0 incomplete 0");
}

// Slave 2 recorded in N.m, then in kgf.cm from 3 s, then to a lower target from 6 s: each pull is
// judged with the settings in force at its peak, in its unit, and the statistics in kgf.cm. The
// tool, the judged file and the live panel's judging give the same rows.
TEST_F(ReportCommand, EachPullIsJudgedWithTheSettingsInForceAtItsPeak) {
    const double curve[] = {0, 401.3, 0, 0, 0, 300, 3000, 0, 4100, 0, 0, 4100, 1000, 0, 3100, 0};
    std::vector<CurvePoint> points;
    for (size_t i = 0; i < std::size(curve); ++i)
        points.push_back(test::point(static_cast<double>(i) * 0.5, curve[i], 2));
    test::writeRecords(path, points);
    const std::string settings = "Measure=T\nParameterSet=0\nRange=1000.0\nUpper=5.0\nLower=5.0\n";
    std::ofstream(dir.file("bolt.ini"))
        << "[Slave_2]\nSince=0.000\nUnit=N.m\nDecimals=1\nTarget=400.0\n"
        << settings << "[Slave_2_2]\nSince=3.000\nUnit=kgf.cm\nDecimals=0\nTarget=4000\n"
        << settings << "[Slave_2_3]\nSince=6.000\nUnit=kgf.cm\nDecimals=0\nTarget=3000\n"
        << settings;
    EXPECT_EQ(runCli({"report", file}).outLines().mid(1),
              QStringList({"slave 2: unit kgf.cm events 5 pass 4 low 0 high 0 incomplete 1",
                           "peaks 2: polled curve 2.0 readings/s",
                           // 401.3 N.m passes in N.m, though 4092 kgf.cm is not near 3000.
                           "event 2 1 0.500 401.3 pass",
                           // Began in N.m, ended in kgf.cm: not one measure.
                           "event 2 2 3.000 3000 incomplete", "event 2 3 4.000 4100 pass",
                           // Ended after the target fell to 3000; its peak came before.
                           "event 2 4 5.500 4100 pass", "event 2 5 7.000 3100 pass",
                           // 401.3 N.m counts as 4092.1 kgf.cm; the band is the last one.
                           "stats 2: n 4 mean 3848 sd 499 min 3100 max 4100 cp 0.34 cpk -0.23"}));
    const JudgedFile judged = judgeTestFile(path, JudgeOverrides());
    ASSERT_TRUE(judged.file.ok());
    const InstrumentResult& report = judged.results.instruments.at(0);
    ASSERT_EQ(report.history.size(), 3u);
    const std::string csv = "slave,event,time,peak,unit,verdict\n2,1,0.500,401.3,N.m,pass\n";
    EXPECT_EQ(eventsCsv(judged.results).substr(0, csv.size()), csv);

    CurveTable table;
    for (const CurvePoint& p : points)
        table.add(p);
    const std::optional<Companion> companion = readCompanion(dir.file("bolt.ini")).companion;
    LiveResults live;
    live.update(table, &*companion, false);
    const judge::InstrumentJudge& panel = *live.judgeOf(2);
    ASSERT_EQ(panel.events().size(), report.events.size());
    for (size_t i = 0; i < report.events.size(); ++i) {
        const judge::JudgedEvent& a = panel.events()[i];
        const judge::JudgedEvent& b = report.events[i];
        EXPECT_EQ(std::tie(a.number, a.event.peakTime, a.event.peak, a.verdict, a.settings),
                  std::tie(b.number, b.event.peakTime, b.event.peak, b.verdict, b.settings));
    }
    const judge::Statistics a = panel.statistics(), b = report.statistics;
    EXPECT_EQ(std::tie(a.n, a.mean, a.sd, a.cpk), std::tie(b.n, b.mean, b.sd, b.cpk));
}

TEST_F(ReportCommand, WritesEveryEventToCsvAndANonEmptyPdfAndRefusesWhatItCannotRead) {
    writeCompanion();
    const QString csv = dir.qFile("events.csv");
    const QString pdf = dir.qFile("report.pdf");
    const auto run = runCli({"report", file, "--csv", csv, "--pdf", pdf});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    QFile csvFile(csv);
    ASSERT_TRUE(csvFile.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(csvFile.readAll()).split('\n', Qt::SkipEmptyParts),
              QStringList({"slave,event,time,peak,unit,verdict", "2,1,0.500,300.0,kgf.cm,pass",
                           "2,2,1.500,-600.0,kgf.cm,pass", "2,3,2.500,1000.0,kgf.cm,incomplete",
                           "5,1,0.500,40.000,-,none"}));
    QFile pdfFile(pdf);
    ASSERT_TRUE(pdfFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdfFile.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_GT(bytes.size(), 10000);

    EXPECT_EQ(runCli({"report", dir.qPath()}).exitCode, 2);
    EXPECT_EQ(runCli({"report", dir.qFile("missing.pdat")}).exitCode, 2);
    EXPECT_EQ(runCli({"report", file, "--target", "40"}).exitCode, 1);
    EXPECT_EQ(runCli({"report", file, "--threshold", "-1"}).exitCode, 1);
    EXPECT_EQ(runCli({"report"}).exitCode, 1);
    EXPECT_EQ(runCli({"report", file, "--csv", dir.qFile("no/such/folder.csv")}).exitCode, 2);
}

// More events than a report lists: its line about those left out names the CSV file only when one
// is written beside the report.
TEST_F(ReportCommand, EventsLeftOutOfTheReportAreSaidToBeInTheCsvOnlyWhenOneIsWritten) {
    std::vector<CurvePoint> points;
    const size_t events = kReportEventLimit + 1;
    for (size_t i = 0; i < events; ++i) {
        points.push_back(test::point(static_cast<double>(i), 0.0, 2));
        points.push_back(test::point(static_cast<double>(i) + 0.5, 300.0, 2));
    }
    points.push_back(test::point(static_cast<double>(events), 0.0, 2));
    test::writeRecords(path, points);
    const QString pdf = dir.qFile("many.pdf");
    for (const bool withCsv : {false, true}) {
        QStringList args{"report", file, "--pdf", pdf};
        if (withCsv)
            args << "--csv" << dir.qFile("many.csv");
        const auto run = runCli(args);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QString text = test::pdfText(pdf.toStdString());
        EXPECT_TRUE(text.contains(QString::number(events))) << withCsv;
        EXPECT_EQ(text.contains("CSV"), withCsv);
    }
}

// Instruments in measuring modes P (1) and 1P (2) that hold a peak until their reset key, and one
// that tracks (3), recorded by the tool through a pull of 5 ms: the report gives each holding
// instrument the pull's peak exactly, and says where each instrument's peaks came from.
class HeldPeaks : public test::LineFixture {
protected:
    size_t answered(int slave) const { return test::answeredLiveValues(*line, slave).size(); }
    // Waits until every instrument answered `count` more live values.
    bool polled(size_t count) const {
        const size_t from[] = {answered(1), answered(2), answered(3)};
        return test::waitUntil([&] {
            return answered(1) >= from[0] + count && answered(2) >= from[1] + count &&
                   answered(3) >= from[2] + count;
        });
    }
};

TEST_F(HeldPeaks, APullOfFiveMillisecondsIsReportedWithThePeakTheInstrumentHeld) {
    sim::InstrumentConfig instruments[] = {test::instrument(1, 0.0f), test::instrument(2, 0.0f),
                                           test::instrument(3, 0.0f)};
    for (sim::InstrumentConfig& c : instruments)
        c.holdSeconds = 3600;
    startLine({instruments[0], instruments[1], instruments[2]});
    const QString port = QString::fromStdString(line->portPath());
    for (const auto& [slave, measure] : {std::pair{"1", "P"}, {"2", "1P"}}) {
        const test::CliRun set =
            runCli({"params", "--port", port, "--slave", slave, "--set-measure", measure});
        ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    }
    test::CliProcess tool(
        {"record", "--port", port, "--slaves", "1,2,3", "--test", "click", "--home", dir.qPath()});
    ASSERT_TRUE(polled(3));
    for (int slave : {1, 2, 3})
        ASSERT_TRUE(line->spike(slave, 300.0f, std::chrono::milliseconds(5)));
    ASSERT_TRUE(polled(3));
    for (int slave : {1, 2})
        ASSERT_TRUE(line->resetHold(slave));
    ASSERT_TRUE(polled(3));
    const test::CliRun recorded = tool.finish();
    ASSERT_EQ(recorded.exitCode, 0) << recorded.err.toStdString();
    const QString path = recorded.outLines().value(0);

    const QStringList report = runCli({"report", path}).outLines();
    EXPECT_TRUE(report.contains("peaks 1: held by the instrument (P)"))
        << report.join('\n').toStdString();
    EXPECT_TRUE(report.contains("peaks 2: held by the instrument (1P)"));
    for (const char* slave : {"1", "2"}) {
        const QStringList events =
            report.filter(QRegularExpression(QStringLiteral("^event %1 ").arg(slave)));
        ASSERT_EQ(events.size(), 1) << slave;
        EXPECT_EQ(events[0].section(' ', 4, 4), "300.00") << slave;
    }
    // The tracking instrument's rate: its readings over the time from its first to its last.
    std::vector<double> times;
    for (const CurvePoint& p : test::readRecords(path.toStdString())) {
        if (p.slave == 3)
            times.push_back(p.time);
    }
    ASSERT_GE(times.size(), 2u);
    const double rate = static_cast<double>(times.size() - 1) / (times.back() - times.front());
    EXPECT_TRUE(
        report.contains("peaks 3: polled curve " + QString::number(rate, 'f', 1) + " readings/s"));
}

// The test file and its companion are never an output, under any name: nothing is written, not
// even an output that could be.
TEST_F(ReportCommand, TheTestFileAndItsCompanionAreRefusedAsOutputsUnderAnyName) {
    writeCompanion();
    const std::string ini = dir.file("bolt.ini");
    const std::string test = test::readBytes(path);
    const std::string companion = test::readBytes(ini);
    ASSERT_EQ(::symlink(path.c_str(), dir.file("link.pdf").c_str()), 0);
    ASSERT_EQ(::link(ini.c_str(), dir.file("hard.csv").c_str()), 0);
    ASSERT_EQ(::symlink(path.c_str(), dir.file("other.pdat").c_str()), 0);
    const QString csv = dir.qFile("events.csv");
    const QString pdf = dir.qFile("report.pdf");
    const std::pair<QString, QStringList> refused[] = {
        {file, {"--csv", file}},
        {file, {"--csv", csv, "--pdf", dir.qFile("link.pdf")}},
        {file, {"--csv", QString::fromStdString(ini)}},
        {file, {"--pdf", pdf, "--csv", dir.qFile("./hard.csv")}},
        // Reached through a link, the test's companion is the one beside the file it leads to.
        {dir.qFile("other.pdat"), {"--pdf", QString::fromStdString(ini)}},
    };
    for (const auto& [input, outputs] : refused) {
        const auto run = runCli(QStringList{"report", input} + outputs);
        EXPECT_EQ(run.exitCode, 2) << outputs.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("it is not written")) << run.err.toStdString();
        EXPECT_TRUE(test::readBytes(path) == test);
        EXPECT_TRUE(test::readBytes(ini) == companion);
        EXPECT_FALSE(QFile::exists(csv) || QFile::exists(pdf)) << "nothing else is written";
    }
}

// A PDF that could not be written whole is exit 2, and an earlier report stays as it was.
TEST_F(ReportCommand, APdfThatCannotBeWrittenWholeIsExit2AndKeepsTheEarlierReport) {
    const auto run = runCli({"report", file, "--pdf", "/dev/full"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("/dev/full")) << run.err.toStdString();

    const std::string small = dir.folder("small");
    const test::SmallFileSystem disk(small, 64);
    if (!disk.mounted())
        GTEST_SKIP() << disk.reason();
    // A report takes more than the space left beside an earlier one, and more than a near-full
    // disk holds.
    const std::string earlier(40000, 'e');
    test::writeBytes(small + "report.pdf", earlier);
    test::writeBytes(small + "ballast", std::string(20000, 'b'));
    for (const char* name : {"report.pdf", "new.pdf"}) {
        const auto full = runCli({"report", file, "--pdf", QString::fromStdString(small + name)});
        EXPECT_EQ(full.exitCode, 2) << name;
        EXPECT_TRUE(full.err.contains(name)) << full.err.toStdString();
    }
    EXPECT_TRUE(test::readBytes(small + "report.pdf") == earlier) << "the earlier report is intact";
    EXPECT_FALSE(test::pathExists(small + "new.pdf")) << "no part of a report is left";
    size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(small))
        ++entries;
    EXPECT_EQ(entries, 2u) << "unfinished reports are removed";
}

}  // namespace
}  // namespace vornex
