// Reading test files: the counting reader against a plain sequential read of the same file, and
// loading a file into curves.
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "record/HeadlessGraph.h"
#include "record/TestFile.h"
#include "session/AcquisitionSession.h"

using namespace vornex;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// Thirty instruments in turn, ten passes a second, written in runs of 100000 records.
void makeFile(const std::string& path, size_t records) {
    std::vector<CurvePoint> run;
    for (size_t i = 0; i < records; ++i) {
        run.push_back(CurvePoint{static_cast<double>(i / 30) * 0.1,
                                 static_cast<double>(i % 977),
                                 static_cast<uint8_t>(i % 30 + 1),
                                 {}});
        if (run.size() == 100000 || i + 1 == records) {
            if (!TestFile(path).append(run.data(), run.size()).ok())
                std::abort();
            run.clear();
        }
    }
}

double best(int rounds, const std::function<void()>& work) {
    double fastest = 1e9;
    for (int i = 0; i < rounds; ++i) {
        const auto start = Clock::now();
        work();
        fastest = std::min(fastest, secondsSince(start));
    }
    return fastest;
}

}  // namespace

int main(int argc, char** argv) {
    const size_t countRecords = argc > 1 ? std::stoul(argv[1]) : 10000000;
    const size_t loadRecords = argc > 2 ? std::stoul(argv[2]) : 1000000;
    std::string pattern = (std::filesystem::temp_directory_path() / "vornex-bench-XXXXXX");
    const std::string folder = ::mkdtemp(pattern.data());
    const std::string big = folder + "/count.pdat";
    const std::string small = folder + "/load.pdat";
    makeFile(big, countRecords);
    makeFile(small, loadRecords);

    const std::string cat = "cat '" + big + "' > /dev/null";
    if (std::system(cat.c_str()) != 0)
        return 1;  // warms the page cache
    uint64_t counted = 0;
    const double catSeconds = best(5, [&] { (void)std::system(cat.c_str()); });
    const double countSeconds = best(5, [&] { counted = TestFile(big).count().counts.total(); });
    const double megabytes = static_cast<double>(countRecords * kRecordSize) / 1e6;
    std::printf("counting reader: %zu records (%.0f MB), %llu counted\n", countRecords, megabytes,
                static_cast<unsigned long long>(counted));
    std::printf("  cat > /dev/null  %8.1f ms  %7.0f MB/s\n", catSeconds * 1e3,
                megabytes / catSeconds);
    std::printf("  count            %8.1f ms  %7.0f MB/s\n", countSeconds * 1e3,
                megabytes / countSeconds);
    std::printf("  ratio count/cat throughput: %.2f (target >= 0.80)\n", catSeconds / countSeconds);

    HeadlessGraph graph;
    AcquisitionSession session(folder + "/", graph);
    const double loadSeconds = best(5, [&] { session.loadTest(small); });
    std::printf("loading into curves: %zu records, %.1f ms, %.1f ns per record\n", loadRecords,
                loadSeconds * 1e3, loadSeconds * 1e9 / static_cast<double>(loadRecords));

    std::filesystem::remove_all(folder);
    return counted == countRecords ? 0 : 1;
}
