#include <gtest/gtest.h>
#include <signal.h>

#include <QProcess>

#include "Files.h"
#include "LineFixture.h"
#include "link/RegisterMap.h"
#include "sim/SimOptions.h"

namespace vornex::sim {
namespace {

namespace rm = regmap;
using test::holding;
using test::LineFixture;
using test::ModbusClient;
using test::pathExists;

// vornex-sim run as a child with pipes on its standard input and output.
class SimProcess {
public:
    explicit SimProcess(const QStringList& args) {
        process_.start(QStringLiteral(VORNEX_SIM_EXECUTABLE), args);
    }

    // One line of its output, or "" when none comes within ten seconds.
    std::string readLine() {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(10000))
                return {};
        }
        return process_.readLine().chopped(1).toStdString();
    }
    std::string command(const std::string& text) {
        process_.write(QByteArray::fromStdString(text + "\n"));
        return readLine();
    }
    void closeStdin() { process_.closeWriteChannel(); }
    // Exit status once it has ended within ten seconds, else -1.
    int waitForExit() {
        if (!process_.waitForFinished(10000) || process_.exitStatus() != QProcess::NormalExit)
            return -1;
        return process_.exitCode();
    }
    pid_t pid() const { return static_cast<pid_t>(process_.processId()); }

private:
    QProcess process_;
};

TEST(SimTool, ServesLogsTakesCommandsAndEndsWithItsInput) {
    test::TempDir dir;
    const std::string link = dir.path() + "/ttyTOOL";
    const std::string logPath = dir.path() + "/requests.log";
    SimProcess sim({"--link", QString::fromStdString(link), "--slaves", "1-3", "--records", "5",
                    "--value", "20", "--decimals", "2", "--log", QString::fromStdString(logPath)});
    ASSERT_EQ(sim.readLine(), "ready " + link);

    {
        ModbusClient client(link, 3);
        ASSERT_TRUE(client.connected());
        uint16_t regs[2];
        ASSERT_EQ(modbus_read_input_registers(client.get(), rm::kInLiveValue, 2, regs), 2);
        EXPECT_EQ(regs[1], 0x41A0);
        ASSERT_EQ(modbus_read_input_registers(client.get(), rm::kInInfo1011, 2, regs), 2);
        EXPECT_EQ(regs[1], 5);

        EXPECT_EQ(sim.command("value 3 12.5"), "ok");
        EXPECT_EQ(sim.command("keypad 3 unit 4"), "ok");
        EXPECT_EQ(sim.command("keypad 4 unit 4"), "error: no such instrument");
        EXPECT_EQ(sim.command("drop 1.5").rfind("error:", 0), 0u);
        EXPECT_EQ(test::liveValue(client.get()), 12.5f);
        EXPECT_EQ(holding(client.get(), rm::kHoldStatus), rm::kStatusSettingsChanged);

        EXPECT_EQ(sim.command("spike 3 300 5"), "ok");
        EXPECT_EQ(sim.command("spike 3 300 0").rfind("error:", 0), 0u);
        EXPECT_EQ(sim.command("reset 4"), "error: no such instrument");
        EXPECT_EQ(sim.command("ignore 3 1001"), "ok");
        EXPECT_EQ(sim.command("late 3 -5").rfind("error:", 0), 0u);
        EXPECT_FALSE(test::liveValue(client.get()));
        EXPECT_EQ(sim.command("silent 3 on"), "ok");
        EXPECT_FALSE(test::liveValue(client.get()));
        EXPECT_EQ(sim.command("stats").rfind("ok frames 6 answered 4 exceptions 0 dropped 1 ", 0),
                  0u);
    }

    EXPECT_EQ(test::readBytes(logPath),
              "3 4 1000 2 ok\n3 4 1011 2 ok\n3 4 1000 2 ok\n"
              "3 3 0 1 ok\n3 4 1000 2 dropped\n");

    sim.closeStdin();
    EXPECT_EQ(sim.waitForExit(), 0);
    EXPECT_FALSE(pathExists(link));
}

TEST(SimTool, TerminationSignalRemovesTheLink) {
    test::TempDir dir;
    const std::string link = dir.path() + "/ttyTERM";
    SimProcess sim({"--link", QString::fromStdString(link)});
    ASSERT_EQ(sim.readLine(), "ready " + link);
    EXPECT_EQ(sim.command("unplug"), "ok");
    EXPECT_FALSE(pathExists(link));
    EXPECT_EQ(sim.command("replug"), "ok " + link);
    EXPECT_TRUE(pathExists(link));
    kill(sim.pid(), SIGTERM);
    EXPECT_EQ(sim.waitForExit(), 0);
    EXPECT_FALSE(pathExists(link));
}

TEST(SimTool, RefusesBadCommandLines) {
    std::string error;
    for (const std::vector<std::string>& bad : {std::vector<std::string>{"--slaves", "0"},
                                                {"--slaves", "5-2"},
                                                {"--slaves", "1-3,2"},
                                                {"--slaves", "1,"},
                                                {"--drop", "2"},
                                                {"--hold", "0"},
                                                {"--peak-threshold", "0"},
                                                {"--link", "a", "--device", "b"},
                                                {"--records"}})
        EXPECT_FALSE(parseSimOptions(bad, error)) << bad[1];
    EXPECT_EQ(error, "--records needs a value");
    const auto options = parseSimOptions(
        {"--slaves", "1-3, 247", "--silent", "2", "--peak-threshold", "12.5"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->slaves, (std::vector<int>{1, 2, 3, 247}));
    EXPECT_EQ(options->toConfig().instruments.size(), 4u);
    EXPECT_EQ(options->toConfig().instruments[3].peakThresholdPercent, 12.5);

    SimProcess sim({"--bogus", "x"});
    EXPECT_EQ(sim.waitForExit(), 2);
}

}  // namespace
}  // namespace vornex::sim
