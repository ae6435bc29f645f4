// Upload pace against the wire time of a record, and the cost of exporting a full memory.
//
//   instrument_bench [--records N] [--paced-records N]
//
// The upload runs against the simulator pacing its bytes at 19200 baud 8E1, with an instrument
// holding 65535 records; only the first N are fetched and the full memory is extrapolated.

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <string>

#include "instrument/core/RecordExport.h"
#include "instrument/core/RecordUpload.h"
#include "sim/SimulatedLine.h"
#include "sim/StoredRecords.h"

using namespace vornex;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kFullMemory = 65535;
// One record: write single register (8 + 8 bytes) and read 8 input registers (8 + 21 bytes), at
// 11 bits a byte, plus a 3.5-character silence after each of the four frames.
constexpr double kWireMsPerRecord = 33.80;

long peakRssKb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

class Counter : public UploadObserver {
public:
    explicit Counter(unsigned wanted) : wanted_(wanted) {}
    void recordUploaded(const UploadedRecord& item) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (!item.record)
            ++failed_;
        if (item.order == wanted_) {
            reached_ = Clock::now();
            done_ = true;
            changed_.notify_all();
        }
    }
    void uploadEnded(unsigned, UploadEnd, unsigned) override {
        std::lock_guard<std::mutex> lock(mutex_);
        done_ = true;
        changed_.notify_all();
    }
    Clock::time_point wait() {
        std::unique_lock<std::mutex> lock(mutex_);
        changed_.wait(lock, [this] { return done_; });
        return reached_;
    }
    unsigned failed() const { return failed_; }

private:
    const unsigned wanted_;
    std::mutex mutex_;
    std::condition_variable changed_;
    bool done_ = false;
    unsigned failed_ = 0;
    Clock::time_point reached_;
};

double uploadMsPerRecord(const std::string& port, unsigned records,
                         std::chrono::milliseconds period, unsigned& failed) {
    Counter counter(records);
    RecordUpload upload(counter);
    if (upload.link(port, 1) != OpenResult::Opened) {
        std::fprintf(stderr, "cannot link to the simulator on %s\n", port.c_str());
        std::exit(1);
    }
    const Clock::time_point start = Clock::now();
    upload.start(period);
    const Clock::time_point reached = counter.wait();
    upload.stop();
    failed = counter.failed();
    return std::chrono::duration<double, std::milli>(reached - start).count() / records;
}

void benchExport() {
    RecordTable table;
    const auto records = sim::makeStoredRecords(kFullMemory, 1);
    for (int k = 0; k < kFullMemory; ++k)
        table.rows.push_back(
            formatRecord(static_cast<uint16_t>(k + 1), records[static_cast<size_t>(k)]));
    const long before = peakRssKb();
    char folder[] = "/tmp/vornex-export-bench-XXXXXX";
    const std::string dir = ::mkdtemp(folder);
    const std::string path = dir + "/records.xlsx";
    const Clock::time_point start = Clock::now();
    const std::string error = writeRecordWorkbook(path, table);
    const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
    const long after = peakRssKb();
    FILE* f = std::fopen(path.c_str(), "rb");
    long size = 0;
    if (f != nullptr) {
        std::fseek(f, 0, SEEK_END);
        size = std::ftell(f);
        std::fclose(f);
    }
    std::remove(path.c_str());
    ::rmdir(dir.c_str());
    std::printf(
        "export of %d rows to .xlsx: %.2f s, file %.1f MB, peak memory +%ld kB over the list "
        "(process peak %ld kB)%s%s\n",
        kFullMemory, seconds, static_cast<double>(size) / 1e6, after - before, after,
        error.empty() ? "" : ", error: ", error.c_str());
}

}  // namespace

int main(int argc, char** argv) {
    unsigned fastRecords = 2000, pacedRecords = 2000;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string name = argv[i];
        if (name == "--records")
            fastRecords = static_cast<unsigned>(std::atoi(argv[i + 1]));
        else if (name == "--paced-records")
            pacedRecords = static_cast<unsigned>(std::atoi(argv[i + 1]));
    }
    benchExport();

    sim::SimConfig config;
    sim::InstrumentConfig instrument;
    instrument.address = 1;
    instrument.recordCount = kFullMemory;
    config.instruments = {instrument};
    config.baudEmulate = true;
    sim::SimulatedLine line(config);
    char folder[] = "/tmp/vornex-upload-bench-XXXXXX";
    const std::string link = std::string(::mkdtemp(folder)) + "/ttySIM";
    std::string error;
    if (!line.startPty(link, error)) {
        std::fprintf(stderr, "simulator: %s\n", error.c_str());
        return 1;
    }
    std::printf("wire limit: %.2f ms per record, %d records %.1f min\n", kWireMsPerRecord,
                kFullMemory, kWireMsPerRecord * kFullMemory / 60000.0);

    unsigned failed = 0;
    const double fast = uploadMsPerRecord(link, fastRecords, std::chrono::milliseconds(0), failed);
    std::printf(
        "--fast: %u records, %.2f ms per record (%u failed), ratio to wire %.3f (target "
        "<= 1.10); %d records extrapolated %.1f min\n",
        fastRecords, fast, failed, fast / kWireMsPerRecord, kFullMemory,
        fast * kFullMemory / 60000.0);
    const double paced =
        uploadMsPerRecord(link, pacedRecords, std::chrono::milliseconds(50), failed);
    const double pacedLimit = std::max(50.0, kWireMsPerRecord);
    std::printf(
        "paced 50 ms: %u records, %.2f ms per record (%u failed), ratio to %.2f ms %.3f "
        "(target <= 1.10); %d records extrapolated %.1f min\n",
        pacedRecords, paced, failed, pacedLimit, paced / pacedLimit, kFullMemory,
        paced * kFullMemory / 60000.0);
    line.unplug();
    ::rmdir(folder);
    return 0;
}
