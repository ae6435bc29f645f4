// Replot time of thirty full curves at 1600 x 900, and the cost of handing the graph one more
// point of a full curve. Runs offscreen unless a platform is named. Wall time counts waits for a
// busy machine's processors; thread time is the work itself.
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <numeric>
#include <vector>

#include "graph/CXGraph.h"

using namespace vornex;

namespace {

constexpr int kSeries = 30;
constexpr int kPoints = 18000;
constexpr double kFrameBudgetMs = 16.0;

struct Figures {
    double mean;
    double p99;
    double max;
    double threadMean;
};

double threadMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) / 1e6;
}

Figures summarise(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
    const size_t p99 = std::min(
        ms.size() - 1, static_cast<size_t>(std::ceil(static_cast<double>(ms.size()) * 0.99)) - 1);
    return {mean, ms[p99], ms.back(), 0.0};
}

template <typename Work>
Figures time(int runs, Work work) {
    std::vector<double> ms;
    QElapsedTimer timer;
    const double threadStart = threadMs();
    for (int i = 0; i < runs; ++i) {
        timer.start();
        work(i);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    Figures figures = summarise(ms);
    figures.threadMean = (threadMs() - threadStart) / runs;
    return figures;
}

void report(const char* what, const Figures& f, double budgetMs) {
    std::printf("%-46s wall mean %8.3f ms  p99 %8.3f ms  max %8.3f ms  thread mean %8.3f ms", what,
                f.mean, f.p99, f.max, f.threadMean);
    if (budgetMs > 0) {
        std::printf("  thread/budget %.2f", f.threadMean / budgetMs);
    }
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    double load[1] = {0.0};
    CXGraph graph;
    graph.resize(1600, 900);
    graph.show();
    QApplication::processEvents();

    // Torque-like curves: ramps to a peak and releases, with a little noise, 10 points a second.
    std::vector<std::vector<CurvePoint>> curves(kSeries, std::vector<CurvePoint>(kPoints));
    for (int s = 0; s < kSeries; ++s) {
        for (int i = 0; i < kPoints; ++i) {
            const double t = i * 0.1;
            const double phase = std::fmod(t + s, 8.0 + s * 0.3) / (8.0 + s * 0.3);
            curves[s][i] = CurvePoint{t,
                                      (10.0 + s) * phase + 0.3 * std::sin(i * 1.7 + s),
                                      static_cast<uint8_t>(s + 1),
                                      {}};
        }
    }

    const Figures fill = time(kSeries, [&](int s) { graph.SetData(curves[s].data(), kPoints, s); });
    report("SetData of a whole new curve (18000 points)", fill, 0);

    graph.GetXAxis(0).SetCurrentRange(0.0, kPoints * 0.1, 0.0);
    graph.replotNow();
    const Figures whole = time(60, [&](int) { graph.replotNow(); });
    report("replot 30 x 18000, all points in view", whole, kFrameBudgetMs);

    graph.GetXAxis(0).SetCurrentRange((kPoints - 100) * 0.1, kPoints * 0.1, 0.0);
    graph.replotNow();
    const Figures window = time(60, [&](int) { graph.replotNow(); });
    report("replot 30 x 18000, newest 100 points in view", window, kFrameBudgetMs);

    // Appends as recording makes them: each call shows one point more of the same array.
    const int head = kPoints - 1000;
    for (int s = 0; s < kSeries; ++s) {
        graph.SetData(curves[s].data(), head, s);
    }
    const Figures append = time(1000 - 1, [&](int i) {
        const int s = i % kSeries;
        const int shown = head + i / kSeries + 1;
        graph.SetData(curves[s].data(), shown, s);
    });
    report("SetData of one more point at ~17000 points", append, 0);
    std::printf("append is %.0f times cheaper than a whole new curve\n",
                fill.threadMean / append.threadMean);
    if (getloadavg(load, 1) == 1) {
        std::printf("load average %.1f on %d processors\n", load[0], QThread::idealThreadCount());
    }
    return 0;
}
