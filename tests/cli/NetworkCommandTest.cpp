#include <gtest/gtest.h>

#include <QFile>
#include <set>

#include "CliRun.h"
#include "LineFixture.h"
#include "RecordFiles.h"
#include "sim/NetworkGateway.h"

namespace vornex {
namespace {

using test::CliRun;
using test::runCli;
using Framing = sim::NetworkGateway::Framing;

// Instruments 1 and 2, holding their live values, on a simulated line reached on its pty and
// through a gateway of each kind.
class NetworkCli : public test::LineFixture {
protected:
    void SetUp() override {
        sim::InstrumentConfig second = test::instrument(2, 12.5f, 1);
        second.recordCount = 6;
        startLine({test::instrument(1, 7.5f, 1), second});
        for (Framing framing : {Framing::ModbusTcp, Framing::RtuOverTcp}) {
            gateways.push_back(std::make_unique<sim::NetworkGateway>(*line, framing, 0));
            std::string error;
            ASSERT_TRUE(gateways.back()->open(error)) << error;
        }
    }
    QStringList ports() const {
        QStringList list{QString::fromStdString(linkPath)};
        for (const auto& gateway : gateways)
            list << QString::fromStdString(gateway->address());
        return list;
    }
    QString contents(const QString& path) const {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    std::vector<std::unique_ptr<sim::NetworkGateway>> gateways;
};

TEST_F(NetworkCli, PollParamsUploadAndRecordGiveThroughEitherGatewayWhatThePtyGives) {
    QString poll, params, upload;
    int n = 0;
    for (const QString& port : ports()) {
        const std::string where = port.toStdString();
        CliRun run = runCli({"poll", "--port", port, "--slaves", "1,7,2", "--passes", "2"});
        EXPECT_EQ(run.exitCode, 0) << where << run.err.toStdString();
        EXPECT_EQ(run.out, poll.isEmpty() ? (poll = run.out) : poll) << where;

        run = runCli({"params", "--port", port, "--slave", "2"});
        EXPECT_EQ(run.exitCode, 0) << where << run.err.toStdString();
        EXPECT_EQ(run.out, params.isEmpty() ? (params = run.out) : params) << where;

        const QString csv = dir.qFile(QString("upload%1.csv").arg(++n));
        run = runCli({"upload", "--port", port, "--slave", "2", "--csv", csv, "--fast"});
        EXPECT_EQ(run.exitCode, 0) << where << run.err.toStdString();
        EXPECT_EQ(contents(csv), upload.isEmpty() ? (upload = contents(csv)) : upload) << where;

        run = runCli({"record", "--port", port, "--slaves", "1,2", "--test", QString("t%1").arg(n),
                      "--seconds", "1", "--home", dir.qPath()});
        ASSERT_EQ(run.exitCode, 0) << where << run.err.toStdString();
        std::set<std::pair<int, double>> filed;
        for (const CurvePoint& p : test::readRecords(run.outLines().value(0).toStdString()))
            filed.insert({p.slave, p.value});
        EXPECT_EQ(filed, (std::set<std::pair<int, double>>{{1, 7.5}, {2, 12.5}})) << where;
    }
    EXPECT_EQ(upload.count('\n'), 7);
}

// The gateway's sockets close and open again as a pulled and replugged cable does.
TEST_F(NetworkCli, PollWaitsForAGatewayUnpluggedAndGoesOnWhenItIsBack) {
    for (const auto& gateway : gateways) {
        const QString port = QString::fromStdString(gateway->address());
        test::CliProcess tool({"poll", "--port", port, "--slaves", "1", "--passes", "30"});
        ASSERT_TRUE(tool.printed("\n2 1 identified"));
        gateway->close();
        ASSERT_TRUE(tool.printed("line lost\n"));
        std::string error;
        ASSERT_TRUE(gateway->open(error)) << error;
        const CliRun run = tool.finish(0);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QStringList lines = run.outLines();
        EXPECT_EQ(lines.value(lines.indexOf("line lost") + 1), "line back");
        EXPECT_EQ(lines.last().section(' ', 0, 1), "30 1");
    }
}

TEST_F(NetworkCli, AHostThatDoesNotResolveAndAGatewayThatRefusesAreNamed) {
    gateways.back()->close();
    const QString refusing = QString::fromStdString(gateways.back()->address());
    for (const auto& [port, said] :
         {std::pair(QString("tcp://no-such-gateway.invalid"), QString("does not resolve")),
          std::pair(refusing, QString("refuses the connection"))}) {
        for (const QStringList& command :
             {QStringList{"poll", "--slaves", "1", "--passes", "1"},
              QStringList{"params", "--slave", "1"},
              QStringList{"upload", "--slave", "1", "--csv", dir.qFile("u.csv")}}) {
            const CliRun run = runCli(command + QStringList{"--port", port});
            EXPECT_EQ(run.exitCode, 2) << command[0].toStdString();
            EXPECT_TRUE(run.err.contains(said)) << run.err.toStdString();
        }
    }
}

}  // namespace
}  // namespace vornex
