// Pictures of the window judging a recording of three simulated instruments, one per language:
// the results panel under the graph, the peaks marked on the curves and the displayed
// instrument's target line and band. The example report is made by report_example.
//
//   results_screenshots OUTDIR [SECONDS]
//
// Run it under an X server (xvfb-run -a -s "-screen 0 1600x1000x24") for real rendering.
#include <QApplication>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "Modal.h"
#include "app/SimulatedInstruments.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/LanguageSwitch.h"
#include "graph/CVornexView.h"
#include "panel/CControlDlg.h"

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
    return ok ? 0 : 1;
}
