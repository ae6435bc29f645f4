// The window under load: 30 simulated instruments polled as fast as the line answers, recorded
// with the whole window up (offscreen by default), and the replot of a full graph.
//
//   window_bench [SECONDS]
#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numeric>
#include <vector>

#include "Modal.h"
#include "app/SimulatedInstruments.h"
#include "frame/CMainFrame.h"
#include "graph/CVornexView.h"
#include "panel/CControlDlg.h"

using namespace vornex;

namespace {

struct Stats {
    double mean = 0, p99 = 0, max = 0;
};

Stats statsOf(std::vector<double> values) {
    Stats s;
    if (values.empty())
        return s;
    std::sort(values.begin(), values.end());
    s.mean =
        std::accumulate(values.begin(), values.end(), 0.0) / static_cast<double>(values.size());
    s.p99 = values[std::min(values.size() - 1,
                            static_cast<size_t>(static_cast<double>(values.size()) * 0.99))];
    s.max = values.back();
    return s;
}

void recordThirtyInstruments(int seconds) {
    std::vector<int> addresses(30);
    std::iota(addresses.begin(), addresses.end(), 1);
    SimulatedInstruments line(addresses);
    std::string error;
    if (!line.start(error)) {
        std::fprintf(stderr, "cannot start the simulated line: %s\n", error.c_str());
        return;
    }
    QTemporaryDir home;
    CMainFrame frame(AppPaths::forHome(home.path()),
                     [port = line.portPath()] { return std::vector<std::string>{port}; });
    frame.resize(1600, 900);
    frame.show();
    CControlDlg& panel = *frame.controlPanel();
    for (int address : addresses) {
        test::whenModal([address](QDialog* dialog) {
            dialog->findChild<QLineEdit*>()->setText(QString::number(address));
            dialog->accept();
        });
        panel.onAdd();
    }
    panel.onConnect();
    frame.session().proposeName();  // makes today's folder, as the dialog does
    frame.session().newTest("bench");

    std::vector<double> work, gaps, replots;
    qint64 lastTick = -1;
    QElapsedTimer clock;
    clock.start();
    QObject::connect(&frame.driver(), &SessionDriver::ticked, [&](qint64 ns) {
        const qint64 now = clock.nsecsElapsed();
        work.push_back(static_cast<double>(ns) / 1e6);
        if (lastTick >= 0)
            gaps.push_back(static_cast<double>(now - ns - lastTick) / 1e6);
        lastTick = now - ns;
    });
    QElapsedTimer replot;
    CXGraph& graph = frame.view()->graph();
    QObject::connect(&graph, &QCustomPlot::beforeReplot, [&] { replot.start(); });
    QObject::connect(&graph, &QCustomPlot::afterReplot,
                     [&] { replots.push_back(static_cast<double>(replot.nsecsElapsed()) / 1e6); });

    frame.view()->start();
    QTest::qWait(seconds * 1000);
    frame.view()->stop();
    const uint64_t samples = frame.session().samplesTaken();
    panel.onDisconnect();

    const Stats w = statsOf(work), r = statsOf(replots);
    const auto overrunning =
        std::count_if(gaps.begin(), gaps.end(), [](double g) { return g > 16.0; });
    const double overran =
        gaps.empty() ? 0.0
                     : 100.0 * static_cast<double>(overrunning) / static_cast<double>(gaps.size());
    std::printf("recording 30 instruments for %d s, window 1600x900 (%s)\n", seconds,
                qPrintable(QApplication::platformName()));
    std::printf("  samples taken          %llu (%.1f/s)\n",
                static_cast<unsigned long long>(samples),
                static_cast<double>(samples) / static_cast<double>(seconds));
    std::printf("  ticks                  %zu\n", work.size());
    std::printf(
        "  tick work              mean %.3f ms  p99 %.3f ms  max %.3f ms  (target p99 <= 2 ms: "
        "%.2fx)\n",
        w.mean, w.p99, w.max, w.p99 / 2.0);
    std::printf("  live replots           %zu, mean %.2f ms  p99 %.2f ms\n", replots.size(), r.mean,
                r.p99);
    std::printf("  tick gaps over 16 ms   %.2f %%\n", overran);
}

void replotFullGraph() {
    CXGraph graph;
    graph.resize(1600, 900);
    graph.show();
    std::vector<std::vector<CurvePoint>> curves(30, std::vector<CurvePoint>(18000));
    for (int s = 0; s < 30; ++s) {
        for (int i = 0; i < 18000; ++i) {
            curves[s][i].time = i * 0.1;
            curves[s][i].value = 50.0 * (s + 1) * std::sin(i * 0.01 + s) + 10.0 * s;
            curves[s][i].slave = static_cast<uint8_t>(s + 1);
        }
        graph.SetData(curves[s].data(), 18000, s);
    }
    graph.GetXAxis(0).SetCurrentRange(0.0, 1800.0, 0.0);
    graph.replotNow();
    std::vector<double> times;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer t;
        t.start();
        graph.replotNow();
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    const Stats s = statsOf(times);
    std::printf(
        "replot 30 curves x 18000 points at 1600x900: mean %.2f ms  p99 %.2f ms  max %.2f ms  "
        "(target 16 ms: %.2fx)\n",
        s.mean, s.p99, s.max, s.mean / 16.0);
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    replotFullGraph();
    recordThirtyInstruments(seconds);
    return 0;
}
