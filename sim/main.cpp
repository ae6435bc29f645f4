// vornex-sim: torque instruments on a simulated (or real) Modbus RTU line.

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "SimCommands.h"
#include "SimOptions.h"
#include "SimulatedLine.h"
#include "VornexVersion.h"

using namespace vornex::sim;

int main(int argc, char** argv) {
    std::string error;
    const auto options = parseSimOptions(std::vector<std::string>(argv + 1, argv + argc), error);
    if (!options) {
        std::cerr << "vornex-sim: " << error << "\n(vornex-sim --help shows the options)\n";
        return 2;
    }
    if (options->help) {
        std::cout << simUsage();
        return 0;
    }
    if (options->version) {
        std::cout << "vornex-sim " VORNEX_VERSION "\n";
        return 0;
    }

    // Signals are taken as events in the main loop, so that every exit path closes the line and
    // removes the link; blocked before the serving thread starts, so it inherits the mask.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    signal(SIGPIPE, SIG_IGN);
    const int signalFd = signalfd(-1, &signals, SFD_CLOEXEC);

    SimulatedLine line(options->toConfig());
    for (int address : options->silent)
        line.faults().setSilent(address, true);
    for (int address : options->noMerge)
        line.faults().setMergeRefused(address, true);
    line.faults().setDropFraction(options->dropFraction);
    line.faults().setBadCrcFraction(options->badCrcFraction);
    line.faults().setDelayMs(options->delayMs);
    if (!options->logPath.empty() && !line.log().openFile(options->logPath)) {
        std::perror(("vornex-sim: cannot open " + options->logPath).c_str());
        return 1;
    }
    const bool started = options->devicePath.empty() ? line.startPty(options->linkPath, error)
                                                     : line.startDevice(options->devicePath, error);
    if (!started) {
        std::cerr << "vornex-sim: " << error << "\n";
        return 1;
    }
    std::vector<std::unique_ptr<NetworkGateway>> gateways;
    std::vector<NetworkGateway*> gatewayList;
    for (const auto& [framing, port] :
         {std::pair(NetworkGateway::Framing::ModbusTcp, options->tcpPort),
          std::pair(NetworkGateway::Framing::RtuOverTcp, options->rtuTcpPort)}) {
        if (port < 0)
            continue;
        gateways.push_back(std::make_unique<NetworkGateway>(line, framing, port));
        if (!gateways.back()->open(error)) {
            std::cerr << "vornex-sim: " << error << "\n";
            return 1;
        }
        gatewayList.push_back(gateways.back().get());
        std::printf("gateway %s\n", gateways.back()->address().c_str());
    }
    std::printf("ready %s\n", line.portPath().c_str());
    std::fflush(stdout);

    SimCommands commands(line, options->linkPath, gatewayList);
    std::string pending;
    char buffer[4096];
    int status = 0;
    for (;;) {
        pollfd fds[2] = {{STDIN_FILENO, POLLIN, 0}, {signalFd, POLLIN, 0}};
        // Woken now and then to notice a device that failed under the serving thread.
        const int ready = poll(fds, 2, 250);
        if (const std::string failure = line.failure(); !failure.empty()) {
            std::cerr << "vornex-sim: " << line.devicePath() << ": " << failure << "\n";
            status = 1;
            break;
        }
        if (ready <= 0)
            continue;
        if (fds[1].revents)
            break;
        const ssize_t n = read(STDIN_FILENO, buffer, sizeof buffer);
        if (n <= 0)
            break;
        pending.append(buffer, static_cast<std::size_t>(n));
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            const std::string answer = commands.execute(pending.substr(0, end));
            pending.erase(0, end + 1);
            if (answer.empty())
                continue;
            std::printf("%s\n", answer.c_str());
            std::fflush(stdout);
        }
    }
    for (const auto& gateway : gateways)
        gateway->close();
    line.unplug();
    return status;
}
