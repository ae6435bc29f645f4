// Pictures of the register window over a register of a few tools and references in every due
// state, one set per language: the tools, the references, and the overdue list of the tools.
//
//   register_window_screenshots OUTDIR
//
// Run it under an X server (xvfb-run -a -s "-screen 0 1920x1080x24") for real rendering.
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QDir>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>

#include "register/LabRegister.h"
#include "registerwin/RegisterWindow.h"

using namespace vornex;

namespace {

std::string day(const QDate& date) {
    return date.toString(Qt::ISODate).toStdString();
}

bool fill(const std::string& home) {
    const QDate today = QDate::currentDate();
    const LabRegister lab(home);
    std::string error;
    struct Tool {
        const char *id, *maker, *model, *serial, *type, *toolClass;
        double lowest, maximum;
        int ageDays;  // since its last good verification; negative: never verified
    };
    const Tool tools[] = {
        {"W-0017", "Norbar", "TTi 20", "20190417", "II", "A", 4, 20, 40},
        {"W-0018", "Norbar", "TTi 60", "20190533", "II", "A", 12, 60, 350},
        {"W-0102", "Tohnichi", "QL50N", "T88121", "II", "B", 10, 50, 400},
        {"W-0240", "Stahlwille", "Manoskop 730/10", "S-44702", "II", "A", 20, 100, 120},
        {"W-0311", "Gedore", "Dremaster SE", "G-1190", "I", "C", 0, 200, -1},
    };
    for (const Tool& t : tools) {
        RegisteredTool entry;
        entry.id = t.id;
        entry.maker = t.maker;
        entry.model = t.model;
        entry.serial = t.serial;
        entry.type = t.type;
        entry.toolClass = t.toolClass;
        if (t.lowest > 0)
            entry.lowest = t.lowest;
        entry.maximum = t.maximum;
        entry.unit = "N.m";
        if (t.ageDays >= 0)
            entry.lastGood = day(today.addDays(-t.ageDays));
        if (!lab.enter(entry, error))
            return std::fprintf(stderr, "%s\n", error.c_str()), false;
    }
    struct Reference {
        const char *asset, *maker, *model, *serial, *certificate;
        double range, resolution, uncertainty, lowest;
        int dueInDays;
    };
    const Reference references[] = {
        {"REF-01", "Vornex", "VTX-500", "V500-0012", "CAL-2026-0311", 500, 0.01, 0.5, 10, 200},
        {"REF-02", "Vornex", "VTX-50", "V050-0210", "CAL-2026-0098", 50, 0.001, 0.3, 1, 12},
        {"REF-03", "Vornex", "VTX-50", "V050-0214", "CAL-2025-0877", 50, 0.001, 0.3, 1, -9},
    };
    for (const Reference& r : references) {
        RegisteredReference entry;
        entry.asset = r.asset;
        entry.maker = r.maker;
        entry.model = r.model;
        entry.serial = r.serial;
        entry.certificate = r.certificate;
        entry.range = r.range;
        entry.unit = "N.m";
        entry.resolution = r.resolution;
        entry.uncertainty = r.uncertainty;
        entry.lowest = r.lowest;
        entry.due = day(today.addDays(r.dueInDays));
        if (!lab.enter(entry, error))
            return std::fprintf(stderr, "%s\n", error.c_str()), false;
    }
    return true;
}

bool save(QWidget& window, const QString& outDir, const QString& name) {
    QTest::qWait(100);
    const QString path = QDir(outDir).filePath(name + QStringLiteral(".png"));
    const bool saved = window.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "could not save", qPrintable(path));
    return saved;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: register_window_screenshots OUTDIR\n");
        return 2;
    }
    const QString outDir = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(outDir);
    const QTemporaryDir home;
    const AppPaths paths = AppPaths::forHome(home.path());
    if (!fill(paths.home.toStdString()))
        return 1;
    bool ok = true;
    for (const char* language : {"zh_CN", "zh_TW", "en_US"}) {
        RegisterWindow window(
            paths, QStringLiteral(VORNEX_LANG_DIR "/%1.ini").arg(QLatin1String(language)));
        window.show();
        auto* tools = window.findChild<QTableView*>(QStringLiteral("registerTools"));
        const int cycles = tools->model()->columnCount() - 2;
        const bool counted = QTest::qWaitFor([&] {
            for (int r = 0; r < tools->model()->rowCount(); ++r) {
                if (!tools->model()->index(r, cycles).data().toString().contains(QLatin1Char('/')))
                    return false;
            }
            return true;
        });
        if (!counted)
            std::fprintf(stderr, "%s: the cycles were not counted\n", language);
        const QString suffix = QLatin1Char('-') + QLatin1String(language);
        ok = save(window, outDir, QStringLiteral("register-tools") + suffix) && ok;
        auto* list = window.findChild<QComboBox*>(QStringLiteral("registerList"));
        list->setCurrentIndex(1);
        ok = save(window, outDir, QStringLiteral("register-overdue") + suffix) && ok;
        list->setCurrentIndex(0);
        window.findChild<QTabWidget*>()->setCurrentIndex(1);
        ok = save(window, outDir, QStringLiteral("register-references") + suffix) && ok;
    }
    return ok ? 0 : 1;
}
