// Pictures of the New test dialog filled in and of the whole window while it records three
// simulated instruments (two of them named in the device list), one per language,
// at its usual and at its smallest size, while it waits for its line unplugged in the middle of
// that recording and after the line is plugged in again, and one of a second test recorded after
// the first was closed. In each language also the print preview of that recording, the
// parameters window connected to an instrument, and the upload window after an upload and an
// export, with the message that names the exported file, and the tool verification window at the
// size it opens at with three stations filled in, then running at once, one of them asking about
// a slip.
//
//   window_screenshots OUTDIR [SECONDS]
//
// Run it under an X server (xvfb-run -a -s "-screen 0 1920x1080x24") for real rendering.
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <cstdio>

#include "Modal.h"
#include "app/SimulatedInstruments.h"
#include "config/BenchConfig.h"
#include "frame/CDlgTestCreate.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "frame/LanguageSwitch.h"
#include "frame/WindowStatus.h"
#include "graph/CVornexView.h"
#include "instrument/CDlgDevParam.h"
#include "instrument/CDlgUpData.h"
#include "instrument/RecordListModel.h"
#include "panel/CControlDlg.h"
#include "session/AcquisitionSession.h"
#include "sim/SimulatedLine.h"
#include "verifywin/StationPane.h"
#include "verifywin/VerifyWindow.h"

using namespace vornex;

namespace {

// Saves OUTDIR/<name>.png once the widget has painted.
bool saveGrab(QWidget& widget, const QString& outDir, const QString& name) {
    // The graph redraws at most every few dozen milliseconds; let the last one happen.
    QTest::qWait(200);
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

bool save(CMainFrame& frame, const QString& outDir, const QString& name) {
    return saveGrab(frame, outDir, QStringLiteral("window-") + name);
}

// Waits for a condition of a dialog's own work, for at most half a minute.
template <typename Condition>
bool waitFor(Condition done) {
    for (int waited = 0; !done(); waited += 50) {
        if (waited > 30000)
            return false;
        QTest::qWait(50);
    }
    return true;
}

// The print preview of the recorded graph, grabbed from inside its own event loop; the page is
// fitted to the width so that the header can be read.
bool shootPrintPreview(CMainFrame& frame, const QString& outDir, const QString& name) {
    bool saved = false;
    test::whenModal([&](QDialog* dialog) {
        dialog->resize(1100, 900);
        if (auto* preview = dialog->findChild<QPrintPreviewWidget*>())
            preview->fitToWidth();
        saved = saveGrab(*dialog, outDir, QStringLiteral("print-preview-") + name);
        dialog->reject();
    });
    frame.view()->printPreview();
    return saved;
}

// Test > Sign… on the test just recorded, as a reviewer would open it.
bool shootSignDialog(CMainFrame& frame, const QString& outDir, const QString& name) {
    bool saved = false;
    test::whenModal([&](QDialog* dialog) {
        saved = saveGrab(*dialog, outDir, QStringLiteral("sign-") + name);
        dialog->reject();
    });
    frame.action(command::kTestSign)->trigger();
    return saved;
}

bool shootParameters(const QString& languageFile, const QString& port, const QString& outDir,
                     const QString& name) {
    CDlgDevParam dialog(languageFile, QStringList{port});
    dialog.show();
    auto* connect = dialog.findChild<QPushButton*>(QStringLiteral("connect"));
    connect->click();
    if (!dialog.isConnected()) {
        std::fprintf(stderr, "the parameters window did not connect to %s\n", qPrintable(port));
        return false;
    }
    const bool saved = saveGrab(dialog, outDir, QStringLiteral("params-") + name);
    connect->click();
    return saved;
}

// Uploads instrument 1's records and exports them as on a machine without a spreadsheet
// application: "Save as" (answered with a file in a temporary folder) and the message naming it.
bool shootUpload(const QString& languageFile, const QString& port, const QString& outDir,
                 const QString& name) {
    QTemporaryDir exports;
    CDlgUpData dialog(languageFile, port, false);
    dialog.setWorkbookOpener([](const QString&) { return false; });
    dialog.setSaveChooser(
        [&exports](const QString&, const QString& proposed, const QString&, QString*) {
            return exports.filePath(QFileInfo(proposed).fileName());
        });
    dialog.show();
    dialog.findChild<QPushButton*>(QStringLiteral("confirm"))->click();
    if (!dialog.isLinked()) {
        std::fprintf(stderr, "the upload window did not link to %s\n", qPrintable(port));
        return false;
    }
    dialog.findChild<QPushButton*>(QStringLiteral("upload"))->click();
    if (!waitFor([&] { return !dialog.isUploading() && dialog.records().rowCount() > 0; })) {
        std::fprintf(stderr, "the upload did not end\n");
        return false;
    }
    bool savedMessage = false;
    test::whenModal([&](QDialog* message) {
        savedMessage = saveGrab(*message, outDir, QStringLiteral("upload-message-") + name);
        message->accept();
    });
    dialog.findChild<QPushButton*>(QStringLiteral("export"))->click();
    const bool saved = saveGrab(dialog, outDir, QStringLiteral("upload-") + name);
    dialog.findChild<QPushButton*>(QStringLiteral("confirm"))->click();
    return saved && savedMessage && QFileInfo::exists(dialog.lastExport());
}

// Unplugs the line in the middle of the recording and plugs it in again: the window waiting for
// it, then recording on with the gap on the graph and the notice of how long no reading came.
bool shootLostLine(CMainFrame& frame, SimulatedInstruments& line, const QString& outDir,
                   const QString& name) {
    AcquisitionSession& session = frame.session();
    line.line().unplug();
    if (!waitFor([&] { return session.waitingForLine(); })) {
        std::fprintf(stderr, "the window did not notice the unplugged line\n");
        return false;
    }
    QTest::qWait(5000);
    bool saved = save(frame, outDir, QStringLiteral("waiting-") + name);
    std::string error;
    if (!line.start(error)) {
        std::fprintf(stderr, "cannot plug the simulated line in again: %s\n", error.c_str());
        return false;
    }
    if (!waitFor([&] { return !session.waitingForLine() && session.recording(); })) {
        std::fprintf(stderr, "the window did not find its line again\n");
        return false;
    }
    // Long enough for the curves to go on after the gap, short enough for the notice to stay red.
    QTest::qWait(4000);
    return save(frame, outDir, QStringLiteral("line-back-") + name) && saved;
}

// Creates the test through the New test dialog, filled in as a lab would, and pictures it.
bool shootNewTest(CMainFrame& frame, const QString& outDir, const QString& name) {
    bool saved = false;
    test::whenModal([&](QDialog* dialog) {
        auto* create = qobject_cast<CDlgTestCreate*>(dialog);
        using Field = CDlgTestCreate::Field;
        const std::pair<Field, const char*> typed[] = {
            {Field::Operator, "Li Wei"},
            {Field::ToolId, "CW-200 / SN 1187"},
            {Field::ToolDescription, "Click wrench 40-200 N.m"},
            {Field::Note, "After repair, 5 pulls at 120 N.m"}};
        for (const auto& [field, text] : typed)
            create->field(field)->setText(QString::fromUtf8(text));
        saved = saveGrab(*dialog, outDir, QStringLiteral("newtest-") + name);
        create->addButton()->click();
    });
    frame.action(command::kTestNew)->trigger();
    return saved && frame.session().testOpen();
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
    // The status bar is refreshed on a timer; let it show the recording stopped.
    QTest::qWait(WindowStatus::kRefreshMs);
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
    const BenchConfig bench(AppPaths::forHome(home.path()).configFile);
    bench.setDeviceName(line.portPath(), 1, "Station 3 / SN 4711");
    bench.setDeviceName(line.portPath(), 2, "Station 4 / SN 0388");
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
    // The name the new-test dialog proposes (date and time) reads alike in every language.
    bool saved = shootNewTest(frame, outDir, name);
    frame.view()->start();
    QTest::qWait(seconds * 1000);
    saved = save(frame, outDir, name) && saved;
    // At its smallest the window still shows every toolbar button and the status texts.
    frame.resize(frame.minimumSize());
    saved = save(frame, outDir, QStringLiteral("minimum-") + name) && saved;
    frame.resize(1280, 720);
    saved = shootLostLine(frame, line, outDir, name) && saved;
    if (secondTest)
        saved = shootSecondTest(frame, outDir, seconds) && saved;
    frame.view()->stop();
    saved = shootPrintPreview(frame, outDir, name) && saved;
    saved = shootSignDialog(frame, outDir, name) && saved;
    // The dialogs open the port themselves, once polling has let it go.
    panel.onDisconnect();
    if (!waitFor([&] { return panel.button(CControlDlg::Button::Connect)->isEnabled(); }))
        return false;
    const QString port = QString::fromStdString(line.portPath());
    saved = shootParameters(frame.languageFile(), port, outDir, name) && saved;
    saved = shootUpload(frame.languageFile(), port, outDir, name) && saved;
    return saved;
}

// Three stations of the verification window, each with its tool, taking pulls on "P" instruments
// held at rest: each ends its preloads and takes its first readings, the third is asked about a
// slip.
bool shootVerification(int languageCommand, const QString& name, const QString& outDir) {
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
    frame.show();
    CControlDlg& panel = *frame.controlPanel();
    for (int address : {1, 2, 3}) {
        sim::KeypadChange heldPeak;
        heldPeak.measuringMode = 2;
        line.line().changeOnKeypad(address, heldPeak);
        line.line().setLiveValue(address, 0.0f);
        test::whenModal(
            [address](QDialog* dialog) { test::typeAndEnter(dialog, QString::number(address)); });
        panel.onAdd();
    }
    panel.onConnect();
    frame.action(command::kVerifyTool)->trigger();
    auto* window = frame.findChild<VerifyWindow*>();
    // A station's field by its object name.
    const auto field = [](StationPane* station, const char* objectName) {
        return station->findChild<QLineEdit*>(QLatin1String(objectName));
    };
    const struct {
        int address;
        const char* tool;
        const char* maximum;
        std::vector<float> pulls;  // a pull below a quarter of the first slips: no click
    } tools[] = {{1, "CW-200-1187", "200", {200, 201, 199, 40.3f}},
                 {2, "TS-25", "25", {25, 25, 25, 5.1f, 4.95f}},
                 {3, "CW-60", "60", {60, 60, 60, 12.1f, 11.7f, 3.0f}}};
    std::vector<StationPane*> stations;
    for (const auto& t : tools) {
        if (!waitFor([&] {
                return window->instrumentButton(static_cast<uint8_t>(t.address)) &&
                       window->instrumentButton(static_cast<uint8_t>(t.address))->isEnabled();
            })) {
            std::fprintf(stderr, "instrument %d did not answer the verification window\n",
                         t.address);
            return false;
        }
        StationPane* station = window->openStation(static_cast<uint8_t>(t.address));
        field(station, "toolId")->setText(QString::fromUtf8(t.tool));
        field(station, "maximum")->setText(QString::fromUtf8(t.maximum));
        field(station, "operator")->setText(QStringLiteral("Li Wei"));
        field(station, "temperature")->setText(QStringLiteral("22"));
        field(station, "humidity")->setText(QStringLiteral("45"));
        field(station, "due")->setText(QStringLiteral("2027-03-01"));
        stations.push_back(station);
    }
    // The window at the size it opens at: three stations' fields side by side, each whole.
    if (!waitFor([&] {
            return std::none_of(stations.begin(), stations.end(),
                                [](const StationPane* s) { return s->searching(); });
        }) ||
        !saveGrab(*window, outDir, QStringLiteral("verify-setup-") + name))
        return false;
    for (StationPane* station : stations)
        station->findChild<QPushButton*>(QStringLiteral("start"))->click();
    for (size_t i = 0;; ++i) {
        bool pulled = false;
        for (size_t s = 0; s < stations.size(); ++s) {
            if (i >= tools[s].pulls.size())
                continue;
            const StationPane* station = stations[s];
            if (!waitFor([&] { return station->run() && station->run()->prompted(); })) {
                std::fprintf(
                    stderr, "station %d asked for no pull: %s\n", tools[s].address,
                    qPrintable(station->findChild<QLabel*>(QStringLiteral("message"))->text()));
                return false;
            }
            line.line().pull(tools[s].address, tools[s].pulls[i], std::chrono::milliseconds(3000),
                             tools[s].pulls[i] > tools[s].pulls[0] / 4);
            pulled = true;
        }
        if (!pulled)
            break;
        // The held peak lets go before the next pull is asked for.
        QTest::qWait(3000);
    }
    return saveGrab(*window, outDir, QStringLiteral("verify-") + name);
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
    ok = shootVerification(command::kLanguageZhCN, QStringLiteral("zh_CN"), outDir) && ok;
    ok = shootVerification(command::kLanguageZhTW, QStringLiteral("zh_TW"), outDir) && ok;
    ok = shootVerification(command::kLanguageEnUS, QStringLiteral("en_US"), outDir) && ok;
    return ok ? 0 : 1;
}
