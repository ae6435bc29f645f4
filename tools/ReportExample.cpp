// The example report in docs/: a test of three instruments made by hand (two dozen pulls, a few
// outside their limits, one cut off at the end of the file, a change of parameter set in
// mid-test),
// judged from its file as `vornex-cli report` judges it, with every field a lab fills in, and
// each instrument's control chart in subgroups of two, so few are its pulls. Writes
// DOCSDIR/report-example.pdf (English) and every page of the report in each language as
// DOCSDIR/report/report-LANG-N.png, drawn by pdftoppm at 80 dpi.
//
//   report_example DOCSDIR
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cmath>
#include <cstdio>

#include "record/CompanionFile.h"
#include "record/TestFile.h"
#include "report/ReportDocument.h"

using namespace vornex;

namespace {

InstrumentSettings settings(double range, double target, unsigned parameterSet = 1,
                            double since = 0.0) {
    InstrumentSettings s;
    s.since = since;
    s.unit = 1;
    s.measure = 1;
    s.parameterSet = parameterSet;
    s.range = range;
    s.decimals = 2;
    s.target = target;
    s.upper = 2.0;
    s.lower = 2.0;
    return s;
}

// Pulls of about 0.6 s every 2.5 s on three instruments, 20 readings a second each.
std::vector<CurvePoint> curves() {
    std::vector<CurvePoint> points;
    const double targets[] = {250.0, 120.0, 60.0};
    for (int tick = 0; tick < 20 * 21; ++tick) {
        const double t = tick * 0.05;
        for (int i = 0; i < 3; ++i) {
            const double start = 0.4 + 0.3 * i;
            const int pull = static_cast<int>(std::floor((t - start) / 2.5));
            const double phase = t - start - pull * 2.5;
            const double peak = targets[i] * (1.0 + 0.05 * std::sin(pull * 1.7 + i));
            const double value =
                t >= start && phase < 0.6 ? peak * std::sin(phase / 0.6 * M_PI) : 0.0;
            points.push_back(CurvePoint{t, value, static_cast<uint8_t>(i + 1), {}});
        }
    }
    return points;
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: report_example DOCSDIR\n");
        return 2;
    }
    const QDir docs(QString::fromLocal8Bit(argv[1]));
    docs.mkpath(QStringLiteral("report"));
    QTemporaryDir work;
    // Where the bench keeps a test made that day.
    QDir(work.path()).mkpath(QStringLiteral("Data/20261207"));
    const std::string test =
        work.filePath(QStringLiteral("Data/20261207/T-0042.pdat")).toStdString();
    const std::vector<CurvePoint> points = curves();
    Companion companion;
    companion.testName = "T-0042";
    companion.started = "2026-12-07 09:30:12";
    companion.instruments[1] = {settings(500.0, 250.0), settings(500.0, 250.0, 2, 11.0)};
    companion.instruments[2] = {settings(200.0, 120.0)};
    companion.instruments[3] = {settings(100.0, 60.0)};
    // What the bench records with the test, filled in as a lab would have it.
    companion.trace = {"Bench-North",
                       "Li Wei",
                       "TW-118",
                       "click wrench 40-200 N.m",
                       "after repair, tested at 20 °C",
                       "1.4.0",
                       "",
                       ""};
    const char* names[] = {"Station 1 / SN 4702", "Station 2 / SN 4706", "Station 3 / SN 4711"};
    for (int slave = 1; slave <= 3; ++slave) {
        companion.identities[slave] = {
            names[slave - 1],
            QByteArray("VNX-470" + QByteArray::number(slave) + "-A").toHex().toStdString()};
    }
    bool written = TestFile(test).append(points.data(), points.size()).ok();
    QFile file(QString::fromStdString(test));
    if (written && file.open(QIODevice::ReadOnly)) {
        companion.trace.sha256 =
            QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha256)
                .toHex()
                .toStdString();
    }
    if (!written || !writeCompanion(companionPath(test), companion).ok()) {
        std::fprintf(stderr, "cannot write the test in %s\n", qPrintable(work.path()));
        return 1;
    }
    const TestResults results = judgeTestFile(test, JudgeOverrides()).results;

    bool ok = true;
    for (const char* language : {"zh_CN", "zh_TW", "en_US"}) {
        const QString pdf = work.filePath(QStringLiteral("report-%1.pdf").arg(language));
        ControlChartSettings pairs;
        pairs.subgroup = 2;
        const ReportCharts charts =
            reportCharts(pairs, builtInSpcTexts(QString::fromLatin1(language)));
        ok = writeReportPdf(results, builtInReportTexts(QString::fromLatin1(language)), {},
                            pdf.toStdString(), &charts)
                 .ok() &&
             ok;
        const QString prefix = docs.filePath(QStringLiteral("report/report-%1").arg(language));
        for (const QString& old : QDir(docs.filePath(QStringLiteral("report")))
                                      .entryList({QStringLiteral("report-%1-*.png").arg(language)}))
            QFile::remove(docs.filePath(QStringLiteral("report/") + old));
        ok = QProcess::execute(QStringLiteral("pdftoppm"),
                               {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                                pdf, prefix}) == 0 &&
             ok;
        if (QString::fromLatin1(language) == QLatin1String("en_US")) {
            QFile::remove(docs.filePath(QStringLiteral("report-example.pdf")));
            ok = QFile::copy(pdf, docs.filePath(QStringLiteral("report-example.pdf"))) && ok;
        }
    }
    std::printf("%s\n", ok ? "written" : "not everything could be written");
    return ok ? 0 : 1;
}
