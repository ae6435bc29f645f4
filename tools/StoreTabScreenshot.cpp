// Pictures of the saved-data browser's Store tab listing what a store holds, one per language,
// with the first test found opened so that the box under the list shows its review; with TOOL,
// the control chart of that tool's stored history too.
//
//   store_tab_screenshot OUTDIR CONNINFO [TOOL]
//
// CONNINFO names a store that holds a few tests and runs (libpq's form, e.g.
// "host=/tmp/cluster dbname=vornex"). Run it under an X server (xvfb-run -a) for real rendering.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "results/ControlChartView.h"
#include "storeview/StoreTab.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: store_tab_screenshot OUTDIR CONNINFO\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    const QTemporaryDir copies;
    bool ok = true;
    for (const char* language : {"zh_CN", "zh_TW", "en_US"}) {
        vornex::StoreTab tab(QStringLiteral(VORNEX_LANG_DIR "/%1.ini").arg(QLatin1String(language)),
                             argv[2], copies.path() + QLatin1Char('/'), QString());
        tab.resize(900, 420);
        tab.show();
        tab.search();
        const auto* found = tab.findChild<QTableWidget*>(QStringLiteral("storeFound"));
        const auto* notes = tab.findChild<QPlainTextEdit*>(QStringLiteral("storeRecordNotes"));
        auto* open = tab.findChild<QPushButton*>(QStringLiteral("storeOpen"));
        bool reviewed = QTest::qWaitFor([&] { return found->rowCount() > 0; }) && open->isEnabled();
        if (reviewed) {
            QTest::mouseClick(open, Qt::LeftButton);
            reviewed = QTest::qWaitFor([&] { return !notes->toPlainText().isEmpty(); });
        }
        if (!reviewed)
            std::fprintf(stderr, "%s: no test was found and opened\n", language);
        const QString path =
            QDir(outDir).filePath(QStringLiteral("store-tab-%1.png").arg(QLatin1String(language)));
        const bool saved = tab.grab().save(path);
        std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
        ok = saved && ok;
        if (argc < 4)
            continue;
        tab.findChild<QLineEdit*>(QStringLiteral("storeTool"))
            ->setText(QString::fromLocal8Bit(argv[3]));
        QTest::mouseClick(tab.findChild<QPushButton*>(QStringLiteral("storeChart")),
                          Qt::LeftButton);
        vornex::ControlChartView* view = nullptr;
        const bool charted = QTest::qWaitFor(
            [&] {
                view = tab.findChild<vornex::ControlChartView*>(QStringLiteral("storeChartView"));
                return view != nullptr && view->isVisible();
            },
            30000);
        const QString chartPath = QDir(outDir).filePath(
            QStringLiteral("store-chart-%1.png").arg(QLatin1String(language)));
        const bool chartSaved = charted && view->grab().save(chartPath);
        std::printf("%s %s\n", chartSaved ? "saved" : "could not save", qPrintable(chartPath));
        ok = chartSaved && ok;
    }
    return ok ? 0 : 1;
}
