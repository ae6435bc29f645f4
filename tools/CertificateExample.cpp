// The example documents in docs/: a class A click wrench up to 200 N.m verified three ways, its
// run files written as a run writes them. A declaration of conformance (20, 60 and 100 % with five
// readings each after three preloads, one reading outside the permissible deviation), a
// verification record of a cut-down run (one reading at 100 %, no preload), and a calibration
// certificate under ISO 6789-2 (ten readings each way, clockwise then counter-clockwise, the
// sub-tests' spans as their contribution lines, a decision rule). Writes page 1 of each, and the
// calibration's page with its uncertainty budget, in each language as
// DOCSDIR/certificate/KIND-LANG-N.png, drawn by pdftoppm at 80 dpi.
//
//   certificate_example DOCSDIR
#include <QDir>
#include <QGuiApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>

#include "report/Certificate.h"
#include "text/NumberText.h"
#include "verify/Profile.h"
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
    plan.toolMaker = "Norbar";
    plan.toolModel = "TTi 200";
    plan.toolSerial = "SN-200-4711";
    plan.tool.type = "II";
    plan.tool.toolClass = "A";
    plan.tool.lowest = 40.0;
    plan.tool.maximum = 200.0;
    plan.tool.unit = "N.m";
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

RunPlan cutDown() {
    RunPlan plan = wrench();
    plan.tool.lowest.reset();
    plan.points = {100.0};
    plan.readings = 1;
    plan.preloads = 0;
    return plan;
}

RunPlan calibration() {
    RunPlan plan = wrench();
    plan.profile = "ISO 6789-2 calibration";
    plan.standard = "ISO 6789-2:2017";
    plan.readings = 10;
    plan.direction = "both";
    plan.tool.direction = "both";
    plan.decisionRule = kUncertaintyDecisionRule;
    plan.resolution = 0.5;
    return plan;
}

// The run's pulls as the instrument showed them, each off its setting by the next of `offsets`
// (percent), every series after its direction; the preloads at the maximum.
bool writeRun(const std::string& path, const RunPlan& plan, const std::vector<double>& offsets,
              const std::vector<std::string>& spans) {
    const std::time_t start = 1796116500;  // 2026-12-01 09:15 UTC
    std::string error;
    std::optional<RunFile> file =
        RunFile::create(path, plan,
                        Reference{"/dev/ttyUSB0", 3, "", "564e582d343730332d41", 500.0,
                                  plan.decimals, "P", plan.tool.unit},
                        start, error);
    RunProgress progress(plan);
    std::time_t at = start;
    std::optional<Direction> direction;
    for (size_t n = 0; file && progress.next().kind != Step::Kind::Done; ++n) {
        const Step step = progress.next();
        if (plan.series().size() > 1 && direction != step.direction) {
            direction = step.direction;
            if (!file->append(at += 5, std::string("direction ") + directionName(*direction),
                              error))
                return false;
        }
        const double target =
            step.kind == Step::Kind::Preload ? plan.tool.maximum : plan.setting(step.point);
        const Taken t =
            progress.take(plan.shown(target * (1.0 + offsets[n % offsets.size()] / 100.0)));
        const Reading& r = t.reading;
        const std::string line =
            t.kind == Taken::Kind::Preload
                ? "preload " + std::to_string(r.number) + " " + formatFixed(r.value, 2)
                : "reading " + plainNumber(plan.points[r.point]) + " " + std::to_string(r.number) +
                      " " + formatFixed(r.setting, 2) + " " + formatFixed(r.value, 2) + " " +
                      signedPercent(r.deviation) + (r.conforms ? " conforms" : " exceeds");
        if (!file->append(at += 20, line, error))
            return false;
    }
    for (const std::string& span : spans) {
        if (!file || !file->append(at += 1, "contribution " + span, error))
            return false;
    }
    return file &&
           file->append(at + 1, progress.conforms() ? "result conforms" : "result does-not-conform",
                        error);
}

// The pages of `pdf` that show `heading`, from 1.
std::vector<int> pagesShowing(const QString& pdf, const QString& heading, int pages) {
    std::vector<int> found;
    for (int page = 1; page <= pages; ++page) {
        QProcess text;
        text.start(QStringLiteral("pdftotext"),
                   {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                    QString::number(page), pdf, QStringLiteral("-")});
        text.waitForFinished();
        if (QString::fromUtf8(text.readAllStandardOutput()).contains(heading))
            found.push_back(page);
    }
    return found;
}

bool render(const QString& pdf, int page, const QString& prefix) {
    return QProcess::execute(QStringLiteral("pdftoppm"),
                             {QStringLiteral("-r"), QStringLiteral("80"), QStringLiteral("-png"),
                              QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                              QString::number(page), pdf, prefix}) == 0;
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
    struct Document {
        const char* kind;
        RunPlan plan;
        std::vector<double> offsets;
        std::vector<std::string> spans;  // the sub-tests' contributions, NAME SPAN UNIT
    };
    const std::vector<Document> documents = {
        {"declaration",
         wrench(),
         {0.6, -0.2, 0.2, 0.8, -0.4, 0.6, 1.0, -0.8, -0.7, 0.5, 0.9, -0.2, 0.2, 0.7, -0.9, 4.8,
          -0.3, 0.4},
         {}},
        {"record", cutDown(), {0.4}, {}},
        {"calibration",
         calibration(),
         {0.3, -0.1, 0.2, 0.6, -0.3, 0.4, 0.7, -0.5, -0.4, 0.3, 0.5, -0.2, 0.1, 0.4, -0.6, 0.8,
          -0.2, 0.3, 0.2},
         {"reproducibility 0.38 N.m", "output-drive 0.30 N.m", "interface 0.35 N.m",
          "loading-point 0.25 N.m"}},
    };
    const CertificateFacts facts{"Bench-North", "Station 3"};
    const sign::DocumentIssue issue{
        "B7-2027-000123", "2027-01-12", "Torque Lab North", "12 Harbour Road, Shenzhen", {}, {}};
    const QString folder = docs.filePath(QStringLiteral("certificate"));
    bool ok = docs.mkpath(QStringLiteral("certificate"));
    for (const QString& old : QDir(folder).entryList({QStringLiteral("*.png")}))
        QFile::remove(folder + QLatin1Char('/') + old);
    for (const Document& d : documents) {
        const std::string run =
            work.filePath(QStringLiteral("%1.txt").arg(QLatin1String(d.kind))).toStdString();
        if (!writeRun(run, d.plan, d.offsets, d.spans)) {
            std::fprintf(stderr, "cannot write the run file %s\n", run.c_str());
            return 1;
        }
        for (const char* language : {"zh_CN", "zh_TW", "en_US"}) {
            const ReportTexts texts = builtInReportTexts(QString::fromLatin1(language));
            const QString name =
                QStringLiteral("%1-%2").arg(QLatin1String(d.kind), QLatin1String(language));
            const QString pdf = work.filePath(name + QStringLiteral(".pdf"));
            ok = writeCertificatePdf(run, facts, texts, issue, pdf.toStdString()).ok() && ok;
            std::vector<int> pages{1};
            for (int page : pagesShowing(pdf, texts.docBudget, 9)) {
                if (page != 1)
                    pages.push_back(page);
            }
            for (int page : pages)
                ok = render(pdf, page, folder + QLatin1Char('/') + name) && ok;
        }
    }
    std::printf("%s\n", ok ? "written" : "not everything could be written");
    return ok ? 0 : 1;
}
