// Replot time of the graph against a bare QCustomPlot drawing the same points (one QCPGraph per
// curve, default settings) in the same run, at 1600 x 900. Every redraw moves the view by a hair,
// as zooming, panning and the live window do, so nothing drawn for the frame before is reused.
// Runs offscreen unless a platform is named; cases named on the command line run alone.
#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <numeric>
#include <vector>

#include "graph/CXGraph.h"

using namespace vornex;

namespace {

constexpr int kWidth = 1600;
constexpr int kHeight = 900;
constexpr int kRuns = 60;

struct Figures {
    double mean;
    double p99;
};

using Curves = std::vector<std::vector<CurvePoint>>;

// Torque-like curves: ramps to a peak and releases, with a little noise, 10 points a second.
Curves makeCurves(int series, int points) {
    Curves curves(static_cast<size_t>(series),
                  std::vector<CurvePoint>(static_cast<size_t>(points)));
    for (int s = 0; s < series; ++s) {
        for (int i = 0; i < points; ++i) {
            const double t = i * 0.1;
            const double period = 8.0 + s * 0.3;
            curves[s][i] = CurvePoint{
                t,
                (10.0 + s) * std::fmod(t + s, period) / period + 0.3 * std::sin(i * 1.7 + s),
                static_cast<uint8_t>(s + 1),
                {}};
        }
    }
    return curves;
}

Figures time(const std::function<void(int)>& work) {
    std::vector<double> ms;
    QElapsedTimer timer;
    work(0);
    for (int i = 1; i <= kRuns; ++i) {
        timer.start();
        work(i);
        ms.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(ms.begin(), ms.end());
    const double mean = std::accumulate(ms.begin(), ms.end(), 0.0) / static_cast<double>(ms.size());
    return {mean, ms[static_cast<size_t>(std::ceil(static_cast<double>(ms.size()) * 0.99)) - 1]};
}

// The view of run i: lower..upper, nudged by a millionth of its width every run.
QCPRange viewOf(QCPRange view, int run) {
    const double nudge = view.size() * 1e-6 * (run % 2);
    return QCPRange(view.lower + nudge, view.upper + nudge);
}

Figures ours(const Curves& curves, QCPRange view) {
    CXGraph graph;
    graph.resize(kWidth, kHeight);
    graph.show();
    for (size_t s = 0; s < curves.size(); ++s)
        graph.SetData(curves[s].data(), static_cast<int>(curves[s].size()), static_cast<int>(s));
    QApplication::processEvents();
    return time([&](int run) {
        const QCPRange shown = viewOf(view, run);
        graph.GetXAxis(0).SetCurrentRange(shown.lower, shown.upper, 0.0);
        graph.replotNow();
    });
}

Figures bare(const Curves& curves, QCPRange view) {
    QCustomPlot plot;
    plot.resize(kWidth, kHeight);
    plot.show();
    for (const auto& curve : curves) {
        QVector<double> keys;
        QVector<double> values;
        for (const CurvePoint& point : curve) {
            keys.append(point.time);
            values.append(point.value);
        }
        plot.addGraph()->setData(keys, values, true);
    }
    plot.yAxis->setRange(-1.0, 41.0);
    QApplication::processEvents();
    return time([&](int run) {
        plot.xAxis->setRange(viewOf(view, run));
        plot.replot();
    });
}

// Runs the case unless other cases were named on the command line.
void runCase(const QStringList& only, const char* name, int series, int points, QCPRange view) {
    if (!only.isEmpty() && !only.contains(QLatin1String(name)))
        return;
    const Curves curves = makeCurves(series, points);
    const Figures x = ours(curves, view);
    const Figures z = bare(curves, view);
    std::printf("replot %s: ours %.2f ms p99 %.2f ms; bare QCustomPlot %.2f ms; ratio %.2f\n", name,
                x.mean, x.p99, z.mean, x.mean / z.mean);
    std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList only = QApplication::arguments().mid(1);
    // What a redraw costs whatever the points: paint buffers, axes, legend and text.
    runCase(only, "fixed-30x2", 30, 2, QCPRange(0.0, 0.1));
    runCase(only, "full-30x18000", 30, 18000, QCPRange(0.0, 1800.0));
    runCase(only, "live-30x100", 30, 18000, QCPRange(1790.0, 1800.0));
    runCase(only, "whole-1x570000", 1, 570000, QCPRange(0.0, 57000.0));
    runCase(only, "whole-30x52000", 30, 52000, QCPRange(0.0, 5200.0));
    double load[1] = {0.0};
    if (getloadavg(load, 1) == 1)
        std::printf("load average %.1f on %d processors\n", load[0], QThread::idealThreadCount());
    return 0;
}
