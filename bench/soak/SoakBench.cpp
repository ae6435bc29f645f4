// The whole acquisition session against 30 simulated instruments for a long time, with the line's
// faults (dropped replies, bad CRCs, delays, an instrument silent for a minute, the line unplugged
// and plugged in again), recording throughout with Stop and Start, Close test and New test. Every
// test file is checked against the simulator's transaction log: every live reading answered while
// a test was recorded into is in that test's file exactly once, in order. With --fast-pass the
// live blocks are read with the merged read, and the same check holds.
//
//   soak_bench [--minutes M | --seconds S] [--seed N] [--fast-pass]   (default 60 minutes)
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "SoakLedger.h"
#include "record/HeadlessGraph.h"
#include "session/AcquisitionSession.h"
#include "sim/SimulatedLine.h"

using namespace vornex;
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

namespace {

constexpr int kInstruments = 30;

// A figure of /proc/self/status ("VmRSS", "Threads"), in its own unit.
long procStatus(const char* field) {
    std::ifstream in("/proc/self/status");
    std::string line;
    const size_t n = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, n, field) == 0 && line.size() > n && line[n] == ':')
            return std::atol(line.c_str() + n + 1);
    }
    return -1;
}

struct Outage {
    double withoutReadings = 0;  // from the loss to polling again, as the session says
    double resumeAfterReplug = 0;
};

// What the session says on its controlling thread about the line, and any trouble with files.
class SoakWatch : public SessionObserver {
public:
    Clock::time_point lineBackAt{};
    std::vector<double> without;
    std::atomic<unsigned> troubles{0};

    void lineBack(std::time_t, double secondsWithoutReadings, const std::string&) override {
        lineBackAt = Clock::now();
        without.push_back(secondsWithoutReadings);
    }
    void appendFailed(const std::string& path, const std::string& reason) override {
        std::fprintf(stderr, "append to %s failed: %s\n", path.c_str(), reason.c_str());
        ++troubles;
    }
    void pointsUnwritten(const std::string& path, size_t count,
                         const std::string& reason) override {
        std::fprintf(stderr, "%zu points unwritten for %s: %s\n", count, path.c_str(),
                     reason.c_str());
        ++troubles;
    }
};

sim::SimConfig thirtyInstruments(uint64_t seed) {
    sim::SimConfig config;
    config.baudEmulate = true;
    config.faultSeed = seed;
    for (int address = 1; address <= kInstruments; ++address) {
        sim::InstrumentConfig instrument;
        instrument.address = address;
        instrument.seed = seed + static_cast<uint64_t>(address);
        config.instruments.push_back(instrument);
    }
    return config;
}

class Soak {
public:
    Soak(double seconds, uint64_t seed, bool fastPass)
        : seconds_(seconds),
          fastPass_(fastPass),
          // Periods shrink with a run shorter than ten minutes, so a short run sees every event.
          scale_(std::min(1.0, seconds / 600.0)),
          dice_(seed),
          home_(makeHome()),
          line_(thirtyInstruments(seed)),
          session_(home_ + "/Data/", graph_) {}

    int run();

private:
    static std::string makeHome() {
        std::string pattern = std::filesystem::temp_directory_path() / "vornex-soak-XXXXXX";
        const std::string home = ::mkdtemp(pattern.data());
        std::filesystem::create_directory(home + "/Data");
        return home;
    }
    Clock::time_point after(double lowSeconds, double highSeconds) {
        std::uniform_real_distribution<double> pick(lowSeconds * scale_, highSeconds * scale_);
        return Clock::now() + std::chrono::duration_cast<Clock::duration>(Seconds(pick(dice_)));
    }
    double uniform(double low, double high) {
        return std::uniform_real_distribution<double>(low, high)(dice_);
    }

    // Ticks the session every 10 ms, as the window's timer does, until `done` or the timeout.
    bool tickUntil(const std::function<bool()>& done, Seconds timeout);
    void tickFor(Seconds time) {
        tickUntil([] { return false; }, time);
    }
    // Checks the stretch since the last checkpoint with nothing in flight, then makes a change
    // while nothing is: every address goes silent until the line has taken a request after that,
    // so every reply it sent before has been taken in by the session.
    bool checkpoint(const std::function<void()>& change);
    void newTest();
    bool unplugAndReplug();
    void changeFaults();
    bool startLine();

    const double seconds_;
    const bool fastPass_;
    const double scale_;
    std::mt19937_64 dice_;
    const std::string home_;
    sim::SimulatedLine line_;
    HeadlessGraph graph_;
    SoakWatch watch_;
    AcquisitionSession session_;
    soak::SoakLedger ledger_;
    int target_ = -1;
    int silentAddress_ = 0;
    Clock::time_point silentUntil_{};
    std::vector<Outage> outages_;
};

bool Soak::tickUntil(const std::function<bool()>& done, Seconds timeout) {
    const auto end = Clock::now() + std::chrono::duration_cast<Clock::duration>(timeout);
    auto next = Clock::now();
    while (!done()) {
        if (Clock::now() >= end)
            return false;
        next += std::chrono::milliseconds(10);
        std::this_thread::sleep_until(next);
        session_.tick();
    }
    return true;
}

bool Soak::checkpoint(const std::function<void()>& change) {
    for (int address = 1; address <= kInstruments; ++address)
        line_.faults().setSilent(address, true);
    const uint64_t ignored = line_.counters().ignored;
    const bool quiet = !session_.pollingActive() ||
                       tickUntil([&] { return line_.counters().ignored > ignored; }, Seconds(30));
    session_.tick();
    session_.flush();
    // Silent addresses are not logged, so nothing comes between the two calls.
    ledger_.check(line_.log().entries(), target_);
    line_.log().clear();
    change();
    if (silentAddress_ != 0 && Clock::now() >= silentUntil_)
        silentAddress_ = 0;
    for (int address = 1; address <= kInstruments; ++address)
        line_.faults().setSilent(address, address == silentAddress_);
    return quiet;
}

void Soak::newTest() {
    session_.proposeName();
    session_.newTest("soak-" + std::to_string(ledger_.testCount() + 1));
    ledger_.addTest(session_.testPath());
    session_.start();
    target_ = static_cast<int>(ledger_.testCount()) - 1;
}

bool Soak::startLine() {
    std::string error;
    if (line_.startPty(home_ + "/line", error))
        return true;
    std::fprintf(stderr, "cannot start the line: %s\n", error.c_str());
    return false;
}

bool Soak::unplugAndReplug() {
    checkpoint([&] { line_.unplug(); });
    if (!tickUntil([&] { return session_.waitingForLine(); }, Seconds(30))) {
        std::fprintf(stderr, "the session did not notice the unplugged line\n");
        return false;
    }
    tickFor(Seconds(uniform(2.0, 10.0)));
    const auto replugged = Clock::now();
    const size_t backs = watch_.without.size();
    if (!startLine())
        return false;
    if (!tickUntil([&] { return watch_.without.size() > backs; }, Seconds(30))) {
        std::fprintf(stderr, "the session did not resume on the line plugged in again\n");
        return false;
    }
    outages_.push_back(
        Outage{watch_.without.back(), Seconds(watch_.lineBackAt - replugged).count()});
    return true;
}

// Drops and bad CRCs of up to 1 % each, and now and then replies up to 100 ms late: all well
// inside the link's response timeout, so every reply sent is one the session takes.
void Soak::changeFaults() {
    line_.faults().setDropFraction(uniform(0.0, 0.01));
    line_.faults().setBadCrcFraction(uniform(0.0, 0.01));
    line_.faults().setDelayMs(uniform(0.0, 1.0) < 0.3 ? static_cast<int>(uniform(1, 100)) : 0);
}

int Soak::run() {
    session_.addObserver(watch_);
    session_.setFastPass(fastPass_);
    if (!startLine())
        return 1;
    for (int address = 1; address <= kInstruments; ++address)
        session_.addDevice(static_cast<uint8_t>(address));
    session_.setDisplayedAddress(1);
    session_.initialUpdate();
    newTest();
    if (session_.connect(line_.portPath()) != OpenResult::Opened) {
        std::fprintf(stderr, "cannot connect\n");
        return 1;
    }
    // Faults only once every instrument is identified: a lost presence check would make one
    // absent for good.
    const auto allIdentified = [&] {
        for (const InstrumentState& instrument : session_.state().instruments) {
            if (instrument.presence != PresenceState::Identified)
                return false;
        }
        return true;
    };
    if (!tickUntil(allIdentified, Seconds(60))) {
        std::fprintf(stderr, "not every instrument was identified\n");
        return 1;
    }
    const long rssStart = procStatus("VmRSS");
    // After the first test is closed every kind of buffer has been through its first use.
    long rssWarm = -1;
    const long threadsStart = procStatus("Threads");
    const auto start = Clock::now();
    const auto end = start + std::chrono::duration_cast<Clock::duration>(Seconds(seconds_));
    auto nextCheck = after(30, 30), nextStopStart = after(40, 80), nextTest = after(150, 250),
         nextUnplug = after(120, 240), nextSilent = after(120, 180), nextFaults = after(5, 20);
    bool ok = true;
    while (ok && Clock::now() < end) {
        tickFor(Seconds(0.01));
        const auto now = Clock::now();
        if (now >= nextUnplug) {
            ok = unplugAndReplug();
            nextUnplug = after(120, 240);
        } else if (now >= nextTest) {
            ok = checkpoint([&] {
                session_.closeTest();
                newTest();
            });
            if (rssWarm < 0)
                rssWarm = procStatus("VmRSS");
            std::printf("%6.0f s: %zu tests, %llu readings answered while recording, %ld kB\n",
                        Seconds(now - start).count(), ledger_.testCount(),
                        static_cast<unsigned long long>(ledger_.figures().answered),
                        procStatus("VmRSS"));
            std::fflush(stdout);
            nextTest = after(150, 250);
        } else if (now >= nextStopStart) {
            ok = checkpoint([&] {
                if (session_.recording()) {
                    session_.stop();
                    target_ = -1;
                } else {
                    session_.start();
                    target_ = static_cast<int>(ledger_.testCount()) - 1;
                }
            });
            nextStopStart = session_.recording() ? after(40, 80) : after(5, 15);
        } else if (now >= nextSilent) {
            silentAddress_ = 1 + static_cast<int>(dice_() % kInstruments);
            silentUntil_ = now + std::chrono::duration_cast<Clock::duration>(Seconds(60 * scale_));
            line_.faults().setSilent(silentAddress_, true);
            nextSilent = after(540, 660);
        } else if (now >= nextFaults) {
            changeFaults();
            nextFaults = after(5, 20);
        } else if (now >= nextCheck) {
            ok = checkpoint([] {});
            nextCheck = after(30, 30);
        }
    }
    checkpoint([&] { line_.faults().setSilent(silentAddress_, false); });
    const long rssEnd = procStatus("VmRSS");
    const long threadsEnd = procStatus("Threads");
    const double elapsed = Seconds(Clock::now() - start).count();
    session_.finishPolling();
    session_.stop();
    session_.closeTest();
    session_.end();
    // The recording ran on into the last test until Stop, and polling had ended before it.
    ledger_.check(line_.log().entries(), target_);

    const soak::LedgerFigures& f = ledger_.figures();
    std::printf("soak: %d instruments at 19200 baud%s, %.1f min, %zu tests%s\n", kInstruments,
                fastPass_ ? " (fast pass)" : "", elapsed / 60.0, ledger_.testCount(),
                ok ? "" : " (ended early)");
    std::printf("  readings answered while recording: %llu (and %llu while stopped)\n",
                static_cast<unsigned long long>(f.answered),
                static_cast<unsigned long long>(f.answeredStopped));
    std::printf(
        "  recorded: %llu   lost: %llu   duplicated: %llu   misfiled: %llu   "
        "out of order: %llu\n",
        static_cast<unsigned long long>(f.recorded), static_cast<unsigned long long>(f.lost),
        static_cast<unsigned long long>(f.duplicated), static_cast<unsigned long long>(f.misfiled),
        static_cast<unsigned long long>(f.outOfOrder));
    std::printf("  outages: %zu\n", outages_.size());
    for (size_t i = 0; i < outages_.size(); ++i) {
        std::printf("    %zu: %.1f s without readings, polling again %.2f s after the replug\n",
                    i + 1, outages_[i].withoutReadings, outages_[i].resumeAfterReplug);
    }
    std::printf(
        "  resident memory: %ld kB at start, %ld kB after the first test, %ld kB at end "
        "(growth %+ld kB since the first test)\n",
        rssStart, rssWarm, rssEnd, rssEnd - rssWarm);
    std::printf("  threads: %ld at start, %ld at end\n", threadsStart, threadsEnd);
    std::printf("  file troubles: %u\n", watch_.troubles.load());
    const bool clean = ok && f.lost == 0 && f.duplicated == 0 && f.misfiled == 0 &&
                       f.outOfOrder == 0 && watch_.troubles == 0;
    if (clean)
        std::filesystem::remove_all(home_);
    else
        std::printf("  test files kept in %s\n", home_.c_str());
    return clean ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    double seconds = 3600;
    uint64_t seed = 1;
    bool fastPass = false;
    bool usage = false;
    for (int i = 1; i < argc && !usage; ++i) {
        const std::string option = argv[i];
        if (option == "--fast-pass") {
            fastPass = true;
            continue;
        }
        usage = i + 1 >= argc;
        if (usage)
            break;
        if (option == "--minutes")
            seconds = 60.0 * std::atof(argv[++i]);
        else if (option == "--seconds")
            seconds = std::atof(argv[++i]);
        else if (option == "--seed")
            seed = std::strtoull(argv[++i], nullptr, 10);
        else
            usage = true;
    }
    if (seconds <= 0 || usage) {
        std::fprintf(stderr,
                     "usage: soak_bench [--minutes M | --seconds S] [--seed N] [--fast-pass]\n");
        return 2;
    }
    Soak soak(seconds, seed, fastPass);
    return soak.run();
}
