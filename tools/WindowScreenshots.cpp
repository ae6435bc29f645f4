// Pictures of the whole window while it records three simulated instruments, one per language,
// and one of a second test recorded after the first was closed.
//
//   window_screenshots OUTDIR [SECONDS]
//
// Run it under an X server (xvfb-run -a -s "-screen 0 1600x900x24") for real rendering.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
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

bool save(CMainFrame& frame, const QString& outDir, const QString& name) {
    // The graph redraws at most every few dozen milliseconds; let the last one happen.
    QTest::qWait(200);
    const QString path = QDir(outDir).filePath(QStringLiteral("window-%1.png").arg(name));
    const bool saved = frame.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

// Records a first test for `seconds`, closes it, opens a second and records it for a few
// seconds: the graph shows the second test alone, its times from near 0 s.
bool shootSecondTest(CMainFrame& frame, const QString& outDir, int seconds) {
    QTest::qWait(seconds * 1000);
    frame.view()->stop();
    frame.closeTest();
    frame.session().newTest("second");
    frame.action(command::kTestNew)->setEnabled(false);
    frame.view()->start();
    QTest::qWait(4000);
    frame.view()->stop();
    return save(frame, outDir, QStringLiteral("second-test"));
}

bool shoot(int languageCommand, const QString& name, const QString& outDir, int seconds,
           bool secondTest) {
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
    frame.resize(1280, 720);
    frame.show();
    CControlDlg& panel = *frame.controlPanel();
    for (int address : {1, 2, 3}) {
        test::whenModal(
            [address](QDialog* dialog) { test::typeAndEnter(dialog, QString::number(address)); });
        panel.onAdd();
    }
    panel.onConnect();
    frame.session().proposeName();  // makes today's folder, as the dialog does
    frame.session().newTest("demo");
    frame.action(command::kTestNew)->setEnabled(false);
    frame.view()->start();
    QTest::qWait(seconds * 1000);
    bool saved = save(frame, outDir, name);
    if (secondTest)
        saved = shootSecondTest(frame, outDir, seconds) && saved;
    frame.view()->stop();
    panel.onDisconnect();
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: window_screenshots OUTDIR [SECONDS]\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    const int seconds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 12;
    QDir().mkpath(outDir);
    bool ok = shoot(command::kLanguageZhCN, QStringLiteral("zh_CN"), outDir, seconds, false);
    ok = shoot(command::kLanguageZhTW, QStringLiteral("zh_TW"), outDir, seconds, false) && ok;
    ok = shoot(command::kLanguageEnUS, QStringLiteral("en_US"), outDir, seconds, true) && ok;
    return ok ? 0 : 1;
}
