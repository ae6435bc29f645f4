// Pictures of the window judging a recording of three simulated instruments, one per language:
// the results panel under the graph, the peaks marked on the curves and the displayed
// instrument's target line and band; and the control chart of a tool that drifts, from a test
// loaded. The example report is made by report_example.
//
//   results_screenshots OUTDIR [SECONDS]
//
// Run it under an X server (xvfb-run -a -s "-screen 0 1600x1000x24") for real rendering.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <cstdio>
#include <random>

#include "Modal.h"
#include "app/SimulatedInstruments.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/LanguageSwitch.h"
#include "graph/CVornexView.h"
#include "panel/CControlDlg.h"
#include "record/CurvePoint.h"
#include "results/ControlChartView.h"
#include "results/ResultsPanel.h"

using namespace vornex;

namespace {

bool shoot(int languageCommand, const QString& name, const QString& outDir, int seconds) {
    SimulatedInstruments line;
    std::string error;
    if (!line.start(error)) {
        std::fprintf(stderr, "cannot start the simulated line: %s\n", error.c_str());
        return false;
    }
    QTemporaryDir home;
    CMainFrame frame(AppPaths::forHome(home.path()),
                     [port = line.portPath()] { return std::vector<std::string>{port}; });
    frame.language().choose(languageCommand);
    frame.resize(1280, 860);
    frame.show();
    CControlDlg& panel = *frame.controlPanel();
    for (int address : {1, 2, 3}) {
        test::whenModal(
            [address](QDialog* dialog) { test::typeAndEnter(dialog, QString::number(address)); });
        panel.onAdd();
    }
    panel.onConnect();
    frame.session().newTest(frame.session().proposeName());
    frame.action(command::kTestNew)->setEnabled(false);
    frame.view()->start();
    QTest::qWait(seconds * 1000);
    // The graph redraws at most every few dozen milliseconds; let the last one happen.
    QTest::qWait(200);
    const QString path = QDir(outDir).filePath(QStringLiteral("results-%1.png").arg(name));
    const bool saved = frame.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    frame.view()->stop();
    return saved;
}

// 80 pulls of a 50 N.m tool that holds for 60 and then drifts upward, as a test file with its
// limits; charted in subgroups of 4.
bool chartShot(int languageCommand, const QString& name, const QString& outDir) {
    QTemporaryDir home;
    std::vector<CurvePoint> points;
    std::mt19937 random(6789);
    std::normal_distribution<double> scatter(0.0, 0.4);
    double t = 0.0;
    for (int pull = 0; pull < 80; ++pull) {
        const double peak = 50.0 + scatter(random) + (pull < 60 ? 0.0 : (pull - 60) * 0.12);
        for (const double v : {0.0, std::round(peak * 100.0) / 100.0})
            points.push_back(CurvePoint{t += 0.5, v, 1, {}});
    }
    points.push_back(CurvePoint{t + 0.5, 0.0, 1, {}});
    const QString test = QDir(home.path()).filePath(QStringLiteral("drift.pdat"));
    QFile file(test);
    QFile companion(QDir(home.path()).filePath(QStringLiteral("drift.ini")));
    if (!file.open(QIODevice::WriteOnly) || !companion.open(QIODevice::WriteOnly))
        return false;
    file.write(reinterpret_cast<const char*>(points.data()),
               static_cast<qint64>(points.size() * sizeof(CurvePoint)));
    file.close();
    companion.write(
        "[Slave_1]\nSince=0.000\nUnit=N.m\nMeasure=P\nRange=100.0\nDecimals=2\n"
        "Target=50.0\nUpper=4.0\nLower=4.0\n");
    companion.close();
    CMainFrame frame(AppPaths::forHome(home.path()), [] { return std::vector<std::string>{}; });
    frame.language().choose(languageCommand);
    frame.show();
    if (!frame.loadTestFile(test))
        return false;
    ControlChartView* view = frame.resultsPanel()->chartView();
    view->subgroupBox()->setValue(4);
    view->show();
    QTest::qWait(300);
    const QString path = QDir(outDir).filePath(QStringLiteral("control-chart-%1.png").arg(name));
    const bool saved = view->grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: results_screenshots OUTDIR [SECONDS]\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 15;
    QDir().mkpath(outDir);
    bool ok = shoot(command::kLanguageZhCN, QStringLiteral("zh_CN"), outDir, seconds);
    ok = shoot(command::kLanguageZhTW, QStringLiteral("zh_TW"), outDir, seconds) && ok;
    ok = shoot(command::kLanguageEnUS, QStringLiteral("en_US"), outDir, seconds) && ok;
    ok = chartShot(command::kLanguageZhCN, QStringLiteral("zh_CN"), outDir) && ok;
    ok = chartShot(command::kLanguageZhTW, QStringLiteral("zh_TW"), outDir) && ok;
    ok = chartShot(command::kLanguageEnUS, QStringLiteral("en_US"), outDir) && ok;
    return ok ? 0 : 1;
}
