// Poll pass time against vornex-sim pacing bytes as a 19200 baud line does, beside the time the
// wire itself needs, on the pty and through the simulator's Modbus TCP and RTU-over-TCP gateways
// (the paced line behind them), with four requests per instrument and with the fast pass's two,
// each against its own wire limit and against the four requests' one; also with one instrument of
// five silent; how long a reconnect attempt to a gateway gone quiet holds its caller; then raw
// transactions per second on an unpaced line.

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "SilentGateway.h"
#include "link/LineProbe.h"
#include "link/ModbusLink.h"
#include "link/Poller.h"
#include "link/PortLink.h"
#include "link/RegisterMap.h"

namespace {

using Clock = std::chrono::steady_clock;

// One character on the wire: start bit, 8 data bits, parity, stop bit.
constexpr double kCharMs = 11.0 * 1000.0 / 19200.0;
constexpr double kSilenceChars = 3.5;
constexpr double kPauseMs = 100.0;
// libmodbus's response timeout, which the link keeps.
constexpr double kResponseTimeoutMs = 500.0;

// Request and reply bytes of the reads of a pass for one identified instrument: four, or the
// fast pass's merged read of 1000..1005 and the status.
double wireMsPerInstrument(bool fast = false) {
    const int requestBytes = 8;
    const std::vector<int> replyBytes = fast ? std::vector<int>{5 + 2 * 6, 5 + 2}
                                             : std::vector<int>{5 + 2 * 2, 5 + 2, 5 + 2, 5 + 2};
    double chars = 0;
    for (int reply : replyBytes)
        chars += requestBytes + reply + 2 * kSilenceChars;
    return chars * kCharMs;
}

// How the poller reaches the simulated line: its pty, or a gateway in front of it.
enum class Via { Pty, ModbusTcp, RtuOverTcp };

class Simulator {
public:
    Simulator(const QString& line, int instruments, bool paced, Via via = Via::Pty) : port_(line) {
        QStringList args = {"--link",  line, "--slaves", QStringLiteral("1-%1").arg(instruments),
                            "--value", "20"};
        if (paced)
            args << "--baud-emulate";
        if (via != Via::Pty)
            args << (via == Via::ModbusTcp ? "--tcp" : "--rtu-tcp") << "0";
        process_.start(VORNEX_SIM_PATH, args);
        process_.waitForStarted();
        for (;;) {
            while (process_.state() == QProcess::Running && !process_.canReadLine())
                process_.waitForReadyRead(10000);
            const QString said = QString::fromUtf8(process_.readLine()).trimmed();
            if (said.startsWith("gateway "))
                port_ = said.section(' ', 1);
            ready_ = said.startsWith("ready ");
            if (!said.startsWith("gateway "))
                break;
        }
    }
    // What the poller connects to.
    const QString& port() const { return port_; }
    ~Simulator() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(10000))
            process_.kill();
        process_.waitForFinished();
    }
    bool ready() const { return ready_; }
    // A command on the simulator's standard input; true when it answered "ok".
    bool command(const QByteArray& line) {
        process_.write(line + "\n");
        while (process_.state() == QProcess::Running && !process_.canReadLine())
            process_.waitForReadyRead(10000);
        return process_.readLine().startsWith("ok");
    }

private:
    QProcess process_;
    QString port_;
    bool ready_ = false;
};

class PassTimer : public vornex::PollObserver {
public:
    explicit PassTimer(unsigned passes) : passes_(passes) {}
    void attach(vornex::Poller& poller) { poller_ = &poller; }
    // Counts afresh, for a new connect that is to run `passes` passes.
    void restart(unsigned passes) {
        std::lock_guard<std::mutex> lock(mutex_);
        passes_ = passes;
        ends_.clear();
    }

    void displayChanged(const std::string&, const std::string&) override {}
    void presenceChanged(size_t, uint8_t, vornex::PresenceState) override {}
    void passEnded(unsigned pass, const std::vector<vornex::RecordSnapshot>&) override {
        std::lock_guard<std::mutex> lock(mutex_);
        ends_.push_back(Clock::now());
        if (pass == passes_)
            poller_->disconnect();
    }
    void stoppedOnEmptyTable() override {}
    void portLost(const std::string&) override {}
    void pollingEnded() override {}

    // Mean time between pass ends, leaving out the identification passes.
    double meanPassMs(unsigned skip) const {
        std::lock_guard<std::mutex> lock(mutex_);
        if (ends_.size() < skip + 2)
            return 0;
        const auto span = ends_.back() - ends_[skip];
        return std::chrono::duration<double, std::milli>(span).count() /
               static_cast<double>(ends_.size() - skip - 1);
    }

private:
    unsigned passes_;
    vornex::Poller* poller_ = nullptr;
    mutable std::mutex mutex_;
    std::vector<Clock::time_point> ends_;
};

bool benchPasses(const QString& line, int instruments, Via via, bool fast) {
    Simulator sim(line, instruments, true, via);
    if (!sim.ready())
        return false;
    const unsigned passes = instruments >= 10 ? 8 : 15;
    PassTimer timer(passes);
    vornex::Poller poller(vornex::TickClock(), timer);
    timer.attach(poller);
    for (int address = 1; address <= instruments; ++address) {
        poller.addDevice(static_cast<uint8_t>(address));
    }
    poller.setFastPass(fast);
    if (poller.connect(sim.port().toStdString()) != vornex::OpenResult::Opened)
        return false;
    poller.waitStopped();

    const double passMs = timer.meanPassMs(2);
    const double limitMs = instruments * wireMsPerInstrument(fast) + kPauseMs;
    const double fourLimitMs = instruments * wireMsPerInstrument() + kPauseMs;
    std::printf("%3d  %-13s  %8.1f  %8.1f  %6.3f  %17.3f  %10.2f\n", instruments,
                fast ? "fast pass" : "four requests", passMs, limitMs, passMs / limitMs,
                passMs / fourLimitMs, 1000.0 / passMs);
    return true;
}

// Five instruments identified, then the last falls silent: it may cost one response timeout per
// pass (and the wait for a late reply after it), not one per read.
bool benchSilentInstrument(const QString& line) {
    const int instruments = 5;
    Simulator sim(line, instruments, true);
    if (!sim.ready())
        return false;
    PassTimer timer(1);
    vornex::Poller poller(vornex::TickClock(), timer);
    timer.attach(poller);
    for (int address = 1; address <= instruments; ++address)
        poller.addDevice(static_cast<uint8_t>(address));
    if (poller.connect(line.toStdString()) != vornex::OpenResult::Opened)
        return false;
    poller.waitStopped();
    if (!sim.command("silent 5 on"))
        return false;
    const unsigned passes = 10;
    timer.restart(passes);
    if (poller.connect(line.toStdString()) != vornex::OpenResult::Opened)
        return false;
    poller.waitStopped();

    const double passMs = timer.meanPassMs(1);
    const double limitMs =
        (instruments - 1) * wireMsPerInstrument() + kResponseTimeoutMs + kPauseMs;
    std::printf(
        "5 instruments, 1 silent: pass %.1f ms, limit %.1f ms (4 x wire + %.0f ms timeout "
        "+ %.0f ms pause), ratio %.3f\n",
        passMs, limitMs, kResponseTimeoutMs, kPauseMs, passMs / limitMs);
    return true;
}

bool benchRawTransactions(const QString& line) {
    Simulator sim(line, 1, false);
    if (!sim.ready())
        return false;
    vornex::ModbusLink link;
    if (link.open(line.toStdString()) != vornex::OpenResult::Opened)
        return false;
    link.setSlave(1);
    uint16_t regs[2];
    int done = 0, failed = 0;
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(3);
    while (Clock::now() < end) {
        if (link.readInputRegisters(vornex::regmap::kInLiveValue, 2, regs)) {
            ++done;
        } else {
            ++failed;
        }
    }
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    std::printf("raw transactions (read input 1000, 2 registers, unpaced pty): %.0f/s, %d failed\n",
                done / seconds, failed);
    return true;
}

// A gateway gone quiet while its line is waited for: how long one reconnect attempt holds its
// caller, opening the link directly and asking the probe the waiting session asks first.
bool benchQuietGateway() {
    vornex::test::SilentGateway quiet;
    if (!quiet.ready)
        return false;
    const int tries = 10;
    const auto longestHoldMs = [&](const std::function<void()>& attempt) {
        double longest = 0.0;
        for (int i = 0; i < tries; ++i) {
            const auto start = Clock::now();
            attempt();
            longest = std::max(
                longest, std::chrono::duration<double, std::milli>(Clock::now() - start).count());
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
        }
        return longest;
    };
    vornex::PortLink link;
    const double openMs = longestHoldMs([&] { link.open(quiet.address()); });
    vornex::LineProbe probe;
    const double probeMs = longestHoldMs([&] { probe.ask(quiet.address()); });
    std::printf(
        "a quiet gateway, %d reconnect attempts 500 ms apart: the caller held at most "
        "%.1f ms by opening the link, %.3f ms by asking the probe\n",
        tries, openMs, probeMs);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    int run = 0;
    for (const auto& [via, name] :
         {std::pair(Via::Pty, "the pty"), std::pair(Via::ModbusTcp, "a Modbus TCP gateway"),
          std::pair(Via::RtuOverTcp, "an RTU-over-TCP gateway")}) {
        std::printf("poll pass time through %s, vornex-sim --baud-emulate (19200 baud 8E1)\n",
                    name);
        std::printf(
            "  N  read            pass ms  limit ms   ratio  of 4-request limit  readings/s\n");
        for (int instruments : {1, 5, 10, 30}) {
            for (bool fast : {false, true}) {
                const QString line = dir.path() + QStringLiteral("/line%1").arg(++run);
                if (!benchPasses(line, instruments, via, fast)) {
                    std::fprintf(stderr, "link_bench: polling %d instruments through %s failed\n",
                                 instruments, name);
                    return 1;
                }
            }
        }
    }
    if (!benchSilentInstrument(dir.path() + "/silent")) {
        std::fprintf(stderr, "link_bench: polling beside a silent instrument failed\n");
        return 1;
    }
    if (!benchQuietGateway()) {
        std::fprintf(stderr, "link_bench: no quiet gateway could be set up\n");
        return 1;
    }
    if (!benchRawTransactions(dir.path() + "/raw")) {
        std::fprintf(stderr, "link_bench: raw transactions failed\n");
        return 1;
    }
    return 0;
}
