// The report of a long test: judging the file, writing the events' CSV and drawing the PDF, for
// one instrument with every event (the PDF lists only the failed ones beyond the limit) and for
// the same number of events spread so that every one is listed.
//
//   report_bench [EVENTS] [FOLDER]
//
// With FOLDER the test files stay there, to time `vornex-cli report FILE --pdf OUT` on them.
#include <stdlib.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "judge/EventsCsv.h"
#include "record/CompanionFile.h"
#include "record/TestFile.h"
#include "report/ReportDocument.h"

using namespace vornex;
using Clock = std::chrono::steady_clock;

namespace {

double secondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// `events` pulls shared by `instruments` slaves, each pull eight readings 50 ms apart, peaks
// around a target of 250 N.m of which about one in eight falls outside its 3 % limits.
void makeTest(const std::string& path, size_t events, int instruments) {
    static const double kShape[] = {0.0, 0.3, 0.7, 1.0, 0.7, 0.3, 0.0, 0.0};
    std::vector<CurvePoint> points;
    for (size_t e = 0; e < events; ++e) {
        const int slave = static_cast<int>(e % static_cast<size_t>(instruments)) + 1;
        const double start = static_cast<double>(e / static_cast<size_t>(instruments)) * 0.4;
        const double peak = 250.0 * (1.0 + 0.062 * std::sin(static_cast<double>(e) * 0.7));
        for (size_t i = 0; i < std::size(kShape); ++i) {
            points.push_back(CurvePoint{start + 0.05 * static_cast<double>(i),
                                        peak * kShape[i],
                                        static_cast<uint8_t>(slave),
                                        {}});
        }
    }
    std::stable_sort(points.begin(), points.end(),
                     [](const CurvePoint& a, const CurvePoint& b) { return a.time < b.time; });
    if (!TestFile(path).append(points.data(), points.size()).ok())
        std::abort();
    Companion companion;
    companion.testName = "bench";
    companion.started = "2026-12-07 09:00:00";
    companion.trace.bench = "bench";
    for (int slave = 1; slave <= instruments; ++slave) {
        InstrumentSettings s;
        s.unit = 1;
        s.measure = 1;
        s.range = 500.0;
        s.decimals = 2;
        s.target = 250.0;
        s.upper = 3.0;
        s.lower = 3.0;
        companion.instruments[slave] = {s};
    }
    if (!writeCompanion(companionPath(path), companion).ok())
        std::abort();
}

void measure(const std::string& folder, size_t events, int instruments) {
    const std::string test =
        folder + "/report-" + std::to_string(events) + "x" + std::to_string(instruments) + ".pdat";
    makeTest(test, events, instruments);
    auto start = Clock::now();
    const JudgedFile judged = judgeTestFile(test, JudgeOverrides());
    const double judging = secondsSince(start);
    start = Clock::now();
    const bool csv = writeEventsCsv(judged.results, folder + "/report.csv").ok();
    const double csvSeconds = secondsSince(start);
    start = Clock::now();
    const bool pdf = writeReportPdf(judged.results, builtInReportTexts(QStringLiteral("zh_CN")), {},
                                    folder + "/report.pdf")
                         .ok();
    const double pdfSeconds = secondsSince(start);
    size_t listed = 0;
    for (const InstrumentResult& r : judged.results.instruments)
        listed += r.events.size() > kReportEventLimit ? r.low + r.high : r.events.size();
    std::printf(
        "%zu events on %d instrument(s), %zu listed in the PDF (limit %zu per instrument)\n",
        events, instruments, listed, kReportEventLimit);
    std::printf("  judge %7.1f ms  csv %7.1f ms%s  pdf %7.1f ms%s  (%.1f us per listed event)\n",
                judging * 1e3, csvSeconds * 1e3, csv ? "" : " FAILED", pdfSeconds * 1e3,
                pdf ? "" : " FAILED",
                pdfSeconds * 1e6 / static_cast<double>(std::max<size_t>(listed, 1)));
    std::printf("  total %.2f s (target < 2 s for 10000 events)\n",
                judging + csvSeconds + pdfSeconds);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const size_t events = argc > 1 ? std::stoul(argv[1]) : 10000;
    std::string pattern = (std::filesystem::temp_directory_path() / "vornex-bench-XXXXXX");
    const std::string folder = argc > 2 ? std::string(argv[2]) : ::mkdtemp(pattern.data());
    measure(folder, events, 1);
    // A line holds at most 30 instruments.
    measure(folder, events,
            static_cast<int>(
                std::min<size_t>(30, (events + kReportEventLimit - 1) / kReportEventLimit)));
    if (argc <= 2)
        std::filesystem::remove_all(folder);
    return 0;
}
