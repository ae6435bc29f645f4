#include <gtest/gtest.h>

#include <QFile>

#include "CliRun.h"
#include "Files.h"
#include "LineFixture.h"
#include "Wait.h"

namespace vornex {
namespace {

using test::CliRun;
using test::runCli;

class InstrumentCliTest : public test::LineFixture {
protected:
    void SetUp() override {
        sim::InstrumentConfig c = test::instrument(4);
        c.recordCount = 12;
        startLine({c});
        line->changeOnKeypad(4, test::unitChange(3, 50000));
        port = QString::fromStdString(linkPath);
    }
    // Runs `command` (params or upload) for the instrument at 4 with `extra` arguments.
    CliRun onSlave4(const QString& command, const QStringList& extra = {}) const {
        return runCli(QStringList{command, "--port", port, "--slave", "4"} << extra);
    }
    QString port;
};

TEST_F(InstrumentCliTest, ParamsPrintsAndWrites) {
    CliRun run = onSlave4("params");
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out,
              "range: 500.0\nmode: Mode_0\nmeasure: T\nunit: ft.lbf\ntarget: 368.780\n"
              "upper: 5.0\nlower: 3.0\n");

    run = onSlave4("params", {"--set-unit", "N.m", "--set", "123.45", "2.3", "0"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(run.out.contains("target: 123.45\n")) << run.out.toStdString();
    EXPECT_EQ(line->parameterSet(4, 0)->target, 12345u);
    EXPECT_EQ(line->parameterSet(4, 0)->upperLimit, 23);
    EXPECT_EQ(line->parameterSet(4, 0)->unit, 1);
}

TEST_F(InstrumentCliTest, RefusedValuesWriteNothing) {
    const auto before = line->holdingRegisters(4);
    for (const QStringList& extra :
         {QStringList{"--set", "600", "0", "0"}, QStringList{"--set", "300", "26", "0"},
          QStringList{"--set-unit", "N.m", "--set", "300", "0", "-1"}}) {
        const CliRun run = onSlave4("params", extra);
        EXPECT_EQ(run.exitCode, 2) << extra.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains(QString::fromUtf8("目标值或上下限设置错误！")));
    }
    // Target and limits go through the one number parser (its own tests try every kind of text);
    // what it refuses is a usage error, not 0.
    for (const QStringList& set : {QStringList{"250", "abc", "3"}, QStringList{"250,7", "5", "3"},
                                   QStringList{"250", "", "3"}}) {
        const CliRun run = onSlave4("params", QStringList{"--set"} + set);
        EXPECT_EQ(run.exitCode, 1) << set.join(' ').toStdString();
        EXPECT_TRUE(run.err.contains("--set takes three decimal numbers")) << run.err.toStdString();
    }
    EXPECT_EQ(line->holdingRegisters(4), before);
    const CliRun absent = runCli({"params", "--port", port, "--slave", "5"});
    EXPECT_EQ(absent.exitCode, 2);
    EXPECT_TRUE(absent.err.contains("slave 5 does not answer")) << absent.err.toStdString();
    EXPECT_EQ(runCli({"params", "--port", port}).exitCode, 1);
}

TEST_F(InstrumentCliTest, UploadWritesTheList) {
    const QString csv = dir.qFile("r.csv");
    CliRun run = onSlave4("upload", {"--csv", csv, "--fast"});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_EQ(run.out, "records: 12\n");
    QFile file(csv);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 13);
    EXPECT_EQ(lines[0], "Order Num,Torque,Unit,Time,Pass");
    EXPECT_TRUE(lines[12].startsWith("12,"));

    const QString xlsx = dir.qFile("r.xlsx");
    run = onSlave4("upload", {"--xlsx", xlsx});
    EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
    EXPECT_TRUE(QFile::exists(xlsx));
    EXPECT_EQ(onSlave4("upload").exitCode, 1);
}

TEST_F(InstrumentCliTest, UploadNamesWhyARecordWasMissing) {
    line->faults().setIgnoreOnce(4, regmap::kInStoredRecord);
    const QString csv = dir.qFile("r.csv");
    const CliRun run = onSlave4("upload", {"--csv", csv, "--fast"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "records: 12\n");
    EXPECT_TRUE(run.err.contains("1 records could not be read (last: no answer"))
        << run.err.toStdString();
}

// A transfer cut short never replaces a complete earlier list; its rows are kept beside it.
TEST_F(InstrumentCliTest, AnUploadCutShortKeepsTheEarlierList) {
    const QString csv = dir.qFile("keep.csv");
    ASSERT_EQ(onSlave4("upload", {"--csv", csv, "--fast"}).exitCode, 0);
    const QByteArray complete = test::readFile(csv);
    line->log().clear();
    test::CliProcess tool({"upload", "--port", port, "--slave", "4", "--csv", csv});
    ASSERT_TRUE(test::waitUntil([&] {
        int selected = 0;
        for (const sim::Transaction& t : line->log().entries())
            selected += t.function == 6 && t.first == regmap::kHoldRecordSelector ? 1 : 0;
        return selected >= 2;
    }));
    ASSERT_TRUE(test::unplugBetweenExchanges(*line, {4}));
    const CliRun run = tool.finish(0);
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(test::readFile(csv), complete);
    const QString partial = dir.qFile("keep.partial.csv");
    const qsizetype rows = test::readFile(partial).count('\n') - 1;
    EXPECT_GE(rows, 2);
    EXPECT_LT(rows, 12);
    EXPECT_EQ(run.out, QStringLiteral("records: %1\n").arg(rows));
    EXPECT_TRUE(run.err.contains(partial));
}

// A wrong mode, unit or measure is named, and nothing is written.
TEST_F(InstrumentCliTest, ParamsNamesAWrongChoiceAndWritesOnlyOverARead) {
    const auto before = line->holdingRegisters(4);
    CliRun run;
    const std::pair<QStringList, const char*> wrong[] = {{{"--set-mode", "10"}, "--set-mode"},
                                                         {{"--set-unit", "bogus"}, "--set-unit"},
                                                         {{"--set-measure", "X"}, "--set-measure"}};
    for (const auto& [extra, option] : wrong) {
        run = onSlave4("params", extra);
        EXPECT_EQ(run.exitCode, 2);
        EXPECT_TRUE(run.err.contains(option)) << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(QString::fromUtf8("目标值或上下限设置错误！")));
    }
    // The settings read after connecting fails: nothing is written.
    line->log().clear();
    line->faults().setIgnoreOnce(4, regmap::kHoldSettings);
    run = onSlave4("params", {"--set-unit", "kgf.cm"});
    EXPECT_EQ(run.exitCode, 2);
    EXPECT_EQ(run.out, "");
    for (const sim::Transaction& t : line->log().entries())
        EXPECT_TRUE(t.function == 3 || t.function == 4) << t.toLine();
    EXPECT_EQ(line->holdingRegisters(4), before);
}

}  // namespace
}  // namespace vornex
