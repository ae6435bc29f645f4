// The recording pipeline at the full rate of a line of 30 simulated instruments without baud
// pacing: samples per second through curves and file, the largest backlog, samples lost.
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "record/HeadlessGraph.h"
#include "record/TestFile.h"
#include "session/AcquisitionSession.h"
#include "sim/SimulatedLine.h"

using namespace vornex;
using Clock = std::chrono::steady_clock;

namespace {

class Complaints : public SessionObserver {
public:
    void portLost(const std::string& reason) override {
        std::fprintf(stderr, "port lost: %s\n", reason.c_str());
    }
    void appendFailed(const std::string& path, const std::string& reason) override {
        std::fprintf(stderr, "append to %s failed: %s\n", path.c_str(), reason.c_str());
    }
    void pointsUnwritten(const std::string& path, size_t count,
                         const std::string& reason) override {
        std::fprintf(stderr, "%zu points unwritten for %s: %s\n", count, path.c_str(),
                     reason.c_str());
    }
};

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
    std::string pattern = (std::filesystem::temp_directory_path() / "vornex-bench-XXXXXX");
    const std::string home = ::mkdtemp(pattern.data());
    std::filesystem::create_directory(home + "/Data");

    sim::SimConfig config;
    for (int address = 1; address <= 30; ++address) {
        sim::InstrumentConfig instrument;
        instrument.address = address;
        config.instruments.push_back(instrument);
    }
    sim::SimulatedLine line(config);
    std::string error;
    if (!line.startPty(home + "/line", error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        return 1;
    }

    HeadlessGraph graph;
    Complaints complaints;
    auto session = std::make_unique<AcquisitionSession>(home + "/Data/", graph);
    session->addObserver(complaints);
    session->proposeName();
    session->newTest("bench");
    const std::string path = session->testPath();
    for (int address = 1; address <= 30; ++address)
        session->addDevice(static_cast<uint8_t>(address));
    if (session->connect(line.portPath()) != OpenResult::Opened)
        return 1;

    session->initialUpdate();
    session->start();
    const auto start = Clock::now();
    const auto end = start + std::chrono::seconds(seconds);
    size_t largestBacklog = 0;
    size_t largestWriteQueue = 0;
    size_t largestBacklogLastHalf = 0;
    size_t ticks = 0;
    double tickSeconds = 0;
    auto next = start;
    while (Clock::now() < end) {
        next += std::chrono::milliseconds(10);
        std::this_thread::sleep_until(next);
        const size_t backlog = session->waitingSamples();
        largestBacklog = std::max(largestBacklog, backlog);
        if (Clock::now() - start > std::chrono::seconds(seconds) / 2) {
            largestBacklogLastHalf = std::max(largestBacklogLastHalf, backlog);
        }
        const auto tickStart = Clock::now();
        session->tick();
        tickSeconds += std::chrono::duration<double>(Clock::now() - tickStart).count();
        ++ticks;
        largestWriteQueue = std::max(largestWriteQueue, session->queuedPoints());
    }
    session->stop();
    session->closeTest();
    session->disconnect();
    session->waitPollingEnded(std::chrono::seconds(10));
    session->tick();
    const uint64_t taken = session->samplesTaken();
    // Ending the session appends whatever is still queued.
    session.reset();
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();

    const uint64_t inFile = TestFile(path).count().counts.total();
    std::printf("pipeline: 30 instruments, no baud pacing, %.1f s\n", elapsed);
    std::printf("  samples through curves and file: %llu (%.0f per second)\n",
                static_cast<unsigned long long>(inFile), static_cast<double>(inFile) / elapsed);
    std::printf(
        "  largest backlog at a tick: %zu samples (last half: %zu); largest write queue: "
        "%zu points\n",
        largestBacklog, largestBacklogLastHalf, largestWriteQueue);
    std::printf("  mean tick: %.1f us over %zu ticks\n",
                tickSeconds * 1e6 / static_cast<double>(ticks), ticks);
    std::printf("  samples lost: %lld (taken %llu, in file %llu)\n",
                static_cast<long long>(taken) - static_cast<long long>(inFile),
                static_cast<unsigned long long>(taken), static_cast<unsigned long long>(inFile));
    std::filesystem::remove_all(home);
    return taken == inFile ? 0 : 1;
}
