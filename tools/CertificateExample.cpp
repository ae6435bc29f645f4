// The example certificate in docs/: a class A click wrench up to 200 N.m verified at 20, 60 and
// 100 % with five readings each, one of them outside the permissible deviation, its run file
// written as a run writes it. Writes every page of its certificate in each language as
// DOCSDIR/certificate/certificate-LANG-N.png, drawn by pdftoppm at 80 dpi.
//
//   certificate_example DOCSDIR
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "report/Certificate.h"
#include "text/NumberText.h"
#include "verify/RunFile.h"
#include "verify/RunProgress.h"

using namespace vornex;
using namespace vornex::verify;

namespace {

RunPlan wrench() {
    RunPlan plan;
    plan.tool = Tool{};
    plan.tool.id = "TW-200-0815";
    plan.tool.description = "click wrench 40-200 N.m, 1/2\" square drive";
    plan.tool.type = "II";
    plan.tool.toolClass = "A";
    plan.tool.lowest = 40.0;
    plan.tool.maximum = 200.0;
    plan.tool.unit = "N.m";
    plan.tool.direction = "cw";
    plan.profile = "ISO 6789-1 conformance";
    plan.standard = "ISO 6789-1:2017";
    plan.points = {20.0, 60.0, 100.0};
    plan.operatorName = "Li Wei";
    plan.temperature = 21.5;
    plan.humidity = 45.0;
    plan.referenceDue = "2027-03-01";
    plan.referenceAsset = "REF-500-03";
    plan.referenceCertificate = "CAL-2026-1187";
    plan.referenceUncertainty = 0.2;
    plan.condition = RunPlan::kAsFound;
    return plan;
}

// The run's pulls as the instrument showed them: the preloads, then five readings per point.
bool writeRun(const std::string& path, const RunPlan& plan) {
    const std::time_t start = 1796116500;  // 2026-12-01 09:15 UTC
    std::string error;
    std::optional<RunFile> file =
        RunFile::create(path, plan,
                        Reference{"/dev/ttyUSB0", 3, "", "564e582d343730332d41", 500.0,
                                  plan.decimals, "P", plan.tool.unit},
                        start, error);
    const double peaks[] = {201.2,  199.6, 200.4, 40.31, 39.85, 40.12, 40.4,  39.7,  119.2,
                            120.55, 121.1, 119.8, 120.3, 201.4, 198.2, 209.5, 199.5, 200.8};
    RunProgress progress(plan);
    std::time_t at = start;
    for (double peak : peaks) {
        const Taken t = progress.take(peak);
        const Reading& r = t.reading;
        const std::string line =
            t.kind == Taken::Kind::Preload
                ? "preload " + std::to_string(r.number) + " " + formatFixed(r.value, 2)
                : "reading " + plainNumber(plan.points[r.point]) + " " + std::to_string(r.number) +
                      " " + formatFixed(r.setting, 2) + " " + formatFixed(r.value, 2) + " " +
                      signedPercent(r.deviation) + (r.conforms ? " conforms" : " exceeds");
        if (!file || !file->append(at += 20, line, error))
            return false;
    }
    return file->append(at + 1, progress.conforms() ? "result conforms" : "result does-not-conform",
                        error);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: certificate_example DOCSDIR\n");
        return 1;
    }
    const QDir docs(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir work;
    const std::string run = work.filePath(QStringLiteral("TW-200-0815-091500.txt")).toStdString();
    if (!writeRun(run, wrench())) {
        std::fprintf(stderr, "cannot write the run file in %s\n", qPrintable(work.path()));
        return 1;
    }
    const CertificateFacts facts{"Bench-North", "Station 3"};
    bool ok = docs.mkpath(QStringLiteral("certificate"));
    for (const char* language : {"zh_CN", "zh_TW", "en_US"}) {
        const QString pdf = work.filePath(QStringLiteral("certificate-%1.pdf").arg(language));
        ok = writeCertificatePdf(run, facts, builtInReportTexts(QString::fromLatin1(language)), {},
                                 pdf.toStdString())
                 .ok() &&
             ok;
        const QString folder = docs.filePath(QStringLiteral("certificate"));
        for (const QString& old :
             QDir(folder).entryList({QStringLiteral("certificate-%1-*.png").arg(language)}))
            QFile::remove(folder + QLatin1Char('/') + old);
        ok = QProcess::execute(QStringLiteral("pdftoppm"),
                               {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                                pdf, folder + QStringLiteral("/certificate-%1").arg(language)}) ==
                 0 &&
             ok;
    }
    std::printf("%s\n", ok ? "written" : "not everything could be written");
    return ok ? 0 : 1;
}
