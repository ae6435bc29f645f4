#include <gtest/gtest.h>

#include <QDir>

#include "CliRun.h"
#include "LineFixture.h"
#include "Wait.h"
#include "link/ModbusLink.h"

namespace vornex {
namespace {

using test::CliRun;
using test::runCli;

// Instruments 1 and 2 on a simulated line, each holding its live value at 12.5.
class CliTest : public test::LineFixture {
protected:
    void SetUp() override {
        startLine({test::instrument(1, 12.5f, 1), test::instrument(2, 12.5f, 1)});
    }

    const QString line_ = QString::fromStdString(linkPath);
};

TEST_F(CliTest, PollPrintsEveryRecordAfterEveryPass) {
    const CliRun run = runCli({"poll", "--port", line_, "--slaves", "1,7,2", "--passes", "2"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.outLines(),
              QStringList({"1 1 identified", "1 7 absent", "1 2 identified",
                           "2 1 identified 12.5 N.m", "2 7 absent", "2 2 identified 12.5 N.m"}));
}

// A line lost while polling is waited for: `line lost`, then `line back` once the pty is there
// again, and the passes go on counting to the last one asked for.
TEST_F(CliTest, PollWaitsForALostLineAndGoesOnCountingPasses) {
    test::CliProcess tool({"poll", "--port", line_, "--slaves", "1", "--passes", "40"});
    ASSERT_TRUE(tool.printed("\n2 1 identified"));
    ASSERT_TRUE(test::unplugBetweenExchanges(*line, {1}));
    ASSERT_TRUE(tool.printed("line lost\n"));
    std::string error;
    ASSERT_TRUE(line->startPty(linkPath, error)) << error;
    const CliRun run = tool.finish(0);
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    QStringList passes = run.outLines();
    const qsizetype lost = passes.indexOf("line lost");
    ASSERT_GT(lost, 0);
    ASSERT_EQ(passes.value(lost + 1), "line back") << run.out.toStdString();
    passes.remove(lost, 2);
    ASSERT_EQ(passes.size(), 40);
    for (int pass = 1; pass <= 40; ++pass)
        EXPECT_EQ(passes[pass - 1].section(' ', 0, 1), QString::number(pass) + " 1");
}

TEST_F(CliTest, PollReportsAPortItCannotHaveAndFailsWithTwo) {
    CliRun run = runCli({"poll", "--port", dir.qFile("none"), "--slaves", "1", "--passes", "1"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.out.isEmpty());
    EXPECT_TRUE(run.err.contains("cannot open")) << run.err.toStdString();
    EXPECT_FALSE(run.err.contains("dialout")) << "a missing port is no matter of permissions";

    ModbusLink holder;
    ASSERT_EQ(holder.open(line_.toStdString()), OpenResult::Opened);
    run = runCli({"poll", "--port", line_, "--slaves", "1", "--passes", "1"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_TRUE(run.err.contains("in use")) << run.err.toStdString();
}

// A repeated address would poll, record and count one instrument twice.
TEST_F(CliTest, PollAndRecordRefuseARepeatedAddress) {
    const QStringList poll = {"poll", "--port", line_, "--slaves", "1,2,1", "--passes", "1"};
    const QStringList record = {"record", "--port",    line_, "--slaves", "1,2,1",    "--test",
                                "t",      "--seconds", "1",   "--home",   dir.qPath()};
    for (const QStringList& args : {poll, record}) {
        const CliRun run = runCli(args);
        EXPECT_EQ(run.exitCode, 1) << args[0].toStdString();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_TRUE(run.err.contains("--slaves")) << run.err.toStdString();
    }
    EXPECT_FALSE(QDir(dir.qFile("Data")).exists());
}

// The fast pass prints what four requests print; an instrument that refuses it is told once and
// printed as before.
TEST_F(CliTest, PollWithTheFastPassPrintsTheSameAndTellsARefusalOnce) {
    const QStringList args = {"poll", "--port", line_, "--slaves", "1,2", "--passes", "4"};
    const CliRun plain = runCli(args);
    const CliRun fast = runCli(QStringList(args) << "--fast-pass");
    EXPECT_EQ(fast.exitCode, 0) << fast.err.toStdString();
    EXPECT_EQ(fast.outLines(), plain.outLines());
    line->faults().setMergeRefused(2, true);
    const CliRun refused = runCli(QStringList(args) << "--fast-pass");
    QStringList lines = refused.outLines();
    EXPECT_EQ(lines.removeAll("slave 2: fast pass refused, four requests"), 1);
    EXPECT_EQ(lines, plain.outLines());
}

TEST_F(CliTest, PortsListsTheNamedPortsFirst) {
    const CliRun run = runCli({"ports", "--port", line_, "--port", "/dev/ttyUSB9"});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.outLines().mid(0, 2), QStringList({line_, "/dev/ttyUSB9"}));
}

}  // namespace
}  // namespace vornex
