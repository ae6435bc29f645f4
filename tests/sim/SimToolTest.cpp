#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "LineFixture.h"
#include "link/RegisterMap.h"
#include "sim/SimOptions.h"

extern char** environ;

namespace vornex::sim::test {
namespace {

namespace rm = regmap;

// vornex-sim run as a child with pipes on its standard input and output.
class SimProcess {
public:
    explicit SimProcess(std::vector<std::string> args) {
        int in[2], out[2];
        if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        args.insert(args.begin(), VORNEX_SIM_EXECUTABLE);
        std::vector<char*> argv;
        for (auto& a : args)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        if (posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        close(in[0]);
        close(out[1]);
        stdin_ = in[1];
        stdout_ = out[0];
    }
    ~SimProcess() {
        if (pid_ > 0 && !exited_) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
        }
        if (stdin_ >= 0)
            close(stdin_);
        if (stdout_ >= 0)
            close(stdout_);
    }

    // One line of its output, or "" when none comes within ten seconds.
    std::string readLine() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        for (;;) {
            if (auto end = buffered_.find('\n'); end != std::string::npos) {
                std::string line = buffered_.substr(0, end);
                buffered_.erase(0, end + 1);
                return line;
            }
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            pollfd p{stdout_, POLLIN, 0};
            if (left.count() <= 0 || poll(&p, 1, static_cast<int>(left.count())) <= 0)
                return {};
            char chunk[256];
            const ssize_t n = read(stdout_, chunk, sizeof chunk);
            if (n <= 0)
                return {};
            buffered_.append(chunk, static_cast<std::size_t>(n));
        }
    }

    std::string command(const std::string& text) {
        const std::string line = text + "\n";
        if (write(stdin_, line.data(), line.size()) != static_cast<ssize_t>(line.size()))
            return {};
        return readLine();
    }

    void closeStdin() {
        close(stdin_);
        stdin_ = -1;
    }

    // Exit status once it has ended within ten seconds, else -1.
    int waitForExit() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                exited_ = true;
                return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return -1;
    }

    pid_t pid() const { return pid_; }

private:
    pid_t pid_ = -1;
    bool exited_ = false;
    int stdin_ = -1;
    int stdout_ = -1;
    std::string buffered_;
};

bool pathExists(const std::string& path) {
    struct stat st {};
    return lstat(path.c_str(), &st) == 0;
}

TEST(SimTool, ServesLogsTakesCommandsAndEndsWithItsInput) {
    TempDir dir;
    const std::string link = dir.path() + "/ttyTOOL";
    const std::string logPath = dir.path() + "/requests.log";
    SimProcess sim({"--link", link, "--slaves", "1-3", "--records", "5", "--value", "20",
                    "--decimals", "2", "--log", logPath});
    ASSERT_GT(sim.pid(), 0);
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
        ASSERT_EQ(modbus_read_input_registers(client.get(), rm::kInLiveValue, 2, regs), 2);
        EXPECT_EQ(rm::decodeFloat(regs), 12.5f);
        EXPECT_EQ(holding(client.get(), rm::kHoldStatus), rm::kStatusSettingsChanged);

        EXPECT_EQ(sim.command("ignore 3 1001"), "ok");
        EXPECT_EQ(sim.command("late 3 -5").rfind("error:", 0), 0u);
        EXPECT_EQ(modbus_read_input_registers(client.get(), rm::kInLiveValue, 2, regs), -1);
        EXPECT_EQ(sim.command("silent 3 on"), "ok");
        EXPECT_EQ(modbus_read_input_registers(client.get(), rm::kInLiveValue, 2, regs), -1);
        EXPECT_EQ(sim.command("stats").rfind("ok frames 6 answered 4 exceptions 0 dropped 1 ", 0),
                  0u);
    }

    std::ifstream log(logPath);
    std::vector<std::string> lines;
    for (std::string l; std::getline(log, l);)
        lines.push_back(l);
    EXPECT_EQ(lines, (std::vector<std::string>{"3 4 1000 2 ok", "3 4 1011 2 ok", "3 4 1000 2 ok",
                                               "3 3 0 1 ok", "3 4 1000 2 dropped"}));

    sim.closeStdin();
    EXPECT_EQ(sim.waitForExit(), 0);
    EXPECT_FALSE(pathExists(link));
}

TEST(SimTool, TerminationSignalRemovesTheLink) {
    TempDir dir;
    const std::string link = dir.path() + "/ttyTERM";
    SimProcess sim({"--link", link});
    ASSERT_EQ(sim.readLine(), "ready " + link);
    EXPECT_EQ(sim.command("unplug"), "ok");
    EXPECT_FALSE(pathExists(link));
    const std::string replug = sim.command("replug");
    EXPECT_EQ(replug, "ok " + link);
    EXPECT_TRUE(pathExists(link));
    kill(sim.pid(), SIGTERM);
    EXPECT_EQ(sim.waitForExit(), 0);
    EXPECT_FALSE(pathExists(link));
}

TEST(SimTool, RefusesBadCommandLines) {
    std::string error;
    EXPECT_FALSE(parseSimOptions({"--slaves", "0"}, error));
    EXPECT_FALSE(parseSimOptions({"--slaves", "5-2"}, error));
    EXPECT_FALSE(parseSimOptions({"--slaves", "1-3,2"}, error));
    EXPECT_FALSE(parseSimOptions({"--slaves", "1,"}, error));
    EXPECT_FALSE(parseSimOptions({"--drop", "2"}, error));
    EXPECT_FALSE(parseSimOptions({"--link", "a", "--device", "b"}, error));
    EXPECT_FALSE(parseSimOptions({"--records"}, error));
    EXPECT_EQ(error, "--records needs a value");
    const auto options = parseSimOptions({"--slaves", "1-3, 247", "--silent", "2"}, error);
    ASSERT_TRUE(options);
    EXPECT_EQ(options->slaves, (std::vector<int>{1, 2, 3, 247}));
    EXPECT_EQ(options->toConfig().instruments.size(), 4u);

    TempDir dir;
    SimProcess sim({"--bogus", "x"});
    EXPECT_EQ(sim.waitForExit(), 2);
}

}  // namespace
}  // namespace vornex::sim::test
