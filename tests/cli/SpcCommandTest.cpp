#include <gtest/gtest.h>

#include <QRegularExpression>
#include <fstream>
#include <vector>

#include "CliRun.h"
#include "RecordFiles.h"
#include "TempDir.h"

namespace vornex {
namespace {

using test::runCli;

// Slave 3 tightened ten pairs around 50 N.m and then a pair around 58: the tool drifted. One more
// pull makes no whole subgroup of two. Its band is 40 to 60 N.m.
class SpcCommand : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<double> peaks;
        for (int i = 0; i < 10; ++i)
            peaks.insert(peaks.end(), {49.5, 50.5});
        peaks.insert(peaks.end(), {57.5, 58.5, 50.0});
        std::vector<CurvePoint> points;
        double t = 0.0;
        for (double peak : peaks) {
            for (double v : {0.0, peak})
                points.push_back(test::point(t += 0.5, v, 3));
        }
        points.push_back(test::point(t + 0.5, 0.0, 3));
        test::writeRecords(path, points);
        std::ofstream(dir.file("drift.ini"))
            << "[Test]\nName=drift\nStarted=2026-12-09 09:05:00\n[Slave_3]\nSince=0.000\n"
               "Unit=N.m\nMeasure=P\nParameterSet=1\nRange=100.0\nDecimals=2\n"
               "Target=50.0\nUpper=10.0\nLower=10.0\n";
    }

    test::TempDir dir;
    const std::string path = dir.file("drift.pdat");
    const QString file = QString::fromStdString(path);
};

// R-bar 1 and a grand mean of 50.727 put the X-bar limits at 50.727 -+ 1.880: the drifted pair
// breaks rule 1, and the ten pairs below the centre rule 2 at the ninth and tenth.
TEST_F(SpcCommand, PrintsSubgroupsLimitsBreaksAndCapability) {
    const test::CliRun all = runCli({"spc", file, "--slave", "3", "--subgroup", "2"});
    EXPECT_EQ(all.exitCode, 3);
    EXPECT_TRUE(all.err.contains("the last 1 pulls make no whole subgroup of 2 and are left out"))
        << all.err.toStdString();
    const QStringList lines = all.outLines();
    EXPECT_EQ(lines.filter(QRegularExpression("^subgroup ")).size(), 11);
    EXPECT_EQ(lines[0], "subgroup 1 2 50.000 1.000");
    EXPECT_EQ(lines[10], "subgroup 11 2 58.000 1.000");
    EXPECT_TRUE(lines[11].startsWith("limits xbar 48.847 50.727 52.607  range 0.000 1.000 "))
        << lines[11].toStdString();
    for (const char* expected :
         {"break 2 subgroup 9", "break 2 subgroup 10", "break 1 subgroup 11"})
        EXPECT_TRUE(lines.contains(expected)) << expected;
    EXPECT_EQ(lines.back(), "capability cp 3.76 cpk 3.49 pp 1.38 ppk 1.28");

    const test::CliRun one =
        runCli({"spc", file, "--slave", "3", "--subgroup", "2", "--rules", "1"});
    EXPECT_EQ(one.outLines().filter(QRegularExpression("^break ")),
              QStringList({"break 1 subgroup 11"}));
    const test::CliRun quiet =
        runCli({"spc", file, "--slave", "3", "--subgroup", "2", "--rules", "3,4"});
    EXPECT_EQ(quiet.exitCode, 0);
    // The tolerance as a process of Cp 1: limits 50 -+ 3 x 3.333 / sqrt 2.
    const QStringList banded =
        runCli({"spc", file, "--slave", "3", "--subgroup", "2", "--limits", "tolerance"})
            .outLines();
    EXPECT_TRUE(banded.contains("break 1 subgroup 11"));
    EXPECT_TRUE(banded.filter("limits xbar 42.929 50.000 57.071 ").size() == 1)
        << banded.join('\n').toStdString();
}

TEST_F(SpcCommand, RefusesWhatItCannotChart) {
    for (const QStringList& usage :
         {QStringList{"spc", file}, QStringList{"spc", file, "--slave", "3", "--subgroup", "26"},
          QStringList{"spc", file, "--slave", "3", "--rules", "1,9"},
          QStringList{"spc", file, "--slave", "3", "--chart", "p"}})
        EXPECT_EQ(runCli(usage).exitCode, 1) << usage.join(' ').toStdString();
    EXPECT_EQ(runCli({"spc", file, "--slave", "4"}).exitCode, 2);
    EXPECT_EQ(
        runCli({"spc", QString::fromStdString(dir.file("none.pdat")), "--slave", "3"}).exitCode, 2);
}

}  // namespace
}  // namespace vornex
