#include <cstdio>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "config/BenchConfig.h"
#include "config/HomeFolder.h"
#include "config/PrivateProfile.h"
#include "files/HomeOutputs.h"
#include "judge/EventsCsv.h"
#include "record/CompanionFile.h"
#include "report/PeakSource.h"
#include "report/ReportDocument.h"
#include "text/NumberText.h"

namespace vornex::cli {

namespace {

const char kUsage[] =
    "vornex-cli report: needs a test file; then --threshold X, --target T --upper U --lower L "
    "(all three), --csv OUT, --pdf OUT and --home DIR are optional\n";

std::optional<double> number(const Arguments& arguments, const char* name) {
    return parseNumber(arguments.value(QString::fromLatin1(name)).toStdString());
}

// The file as read now against the hash its companion recorded when the test was closed; true when
// they differ.
bool printHash(const TestResults& results) {
    std::printf("file sha256 %s\n", results.sha256.c_str());
    const QString recorded = QString::fromStdString(results.trace.sha256).toLower();
    const bool changed = !recorded.isEmpty() && recorded.toStdString() != results.sha256;
    if (changed)
        std::printf("warning: file changed after it was closed\n");
    return changed;
}

void printResults(const TestResults& results) {
    for (size_t i = 0; i < results.instruments.size(); ++i) {
        const InstrumentResult& r = results.instruments[i];
        std::printf("slave %d: unit %s events %zu pass %zu low %zu high %zu incomplete %zu\n",
                    r.slave, r.unitName().c_str(), r.events.size(), r.pass, r.low, r.high,
                    r.incomplete);
        const std::vector<CurvePoint>& curve = results.curves[i];
        const PeakSource peaks =
            peakSourceOf(r.settings ? &*r.settings : nullptr, curve.data(), curve.size());
        std::printf("peaks %d: %s\n", r.slave, peakSourceWords(peaks).c_str());
        for (const judge::JudgedEvent& e : r.events)
            std::printf("event %d %d %s\n", r.slave, e.number, eventFields(r, e).c_str());
        const judge::Statistics& s = r.statistics;
        const int d = r.decimals();
        std::printf("stats %d: n %zu mean %s sd %s min %s max %s cp %s cpk %s\n", r.slave, s.n,
                    judge::figureText(s.mean, d).c_str(), judge::figureText(s.sd, d).c_str(),
                    judge::figureText(s.min, d).c_str(), judge::figureText(s.max, d).c_str(),
                    judge::figureText(s.cp, 2).c_str(), judge::figureText(s.cpk, 2).c_str());
    }
}

}  // namespace

namespace {

QString configuredLanguage(const QStringList& arguments) {
    return PrivateProfile(homePaths(arguments).configFile)
        .read(QStringLiteral("Setting"), QStringLiteral("Language"), QStringLiteral("en_US"), 100);
}

}  // namespace

ReportTexts configuredTexts(const QStringList& arguments) {
    return builtInReportTexts(configuredLanguage(arguments));
}

int runReport(const QStringList& args) {
    if (args.isEmpty() || args.front().startsWith(QLatin1String("--"))) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const Arguments arguments(
        args.mid(1), {QStringLiteral("threshold"), QStringLiteral("target"),
                      QStringLiteral("upper"), QStringLiteral("lower"), QStringLiteral("csv"),
                      QStringLiteral("pdf"), QStringLiteral("home")});
    if (!arguments.ok()) {
        std::fprintf(stderr, "vornex-cli report: %s\n", qPrintable(arguments.error()));
        return 1;
    }
    JudgeOverrides overrides;
    bool usable = true;
    if (arguments.has(QStringLiteral("threshold"))) {
        overrides.threshold = number(arguments, "threshold");
        usable = overrides.threshold && *overrides.threshold > 0.0;
    }
    const int limits = arguments.has(QStringLiteral("target")) +
                       arguments.has(QStringLiteral("upper")) +
                       arguments.has(QStringLiteral("lower"));
    if (limits == 3) {
        overrides.target = number(arguments, "target");
        const auto upper = number(arguments, "upper");
        const auto lower = number(arguments, "lower");
        usable = usable && overrides.target && upper && lower;
        overrides.upper = upper.value_or(0.0);
        overrides.lower = lower.value_or(0.0);
    }
    if (!usable || (limits != 0 && limits != 3)) {
        std::fputs(kUsage, stderr);
        return 1;
    }

    const std::string test = args.front().toStdString();
    const std::string csv = arguments.value(QStringLiteral("csv")).toStdString();
    const std::string pdf = arguments.value(QStringLiteral("pdf")).toStdString();
    const std::string home = homePaths(args).home.toStdString();
    for (const std::string& output : {csv, pdf}) {
        std::string refusal = testOutputRefusal(test, output);
        if (refusal.empty())
            refusal = signedRecordsRefusal(home, output);
        if (!refusal.empty()) {
            std::fprintf(stderr, "vornex-cli report: %s\n", refusal.c_str());
            return 2;
        }
    }
    const JudgedFile judged = judgeTestFile(test, overrides);
    if (!judged.file) {
        std::fprintf(stderr, "vornex-cli report: %s\n", judged.file.text.c_str());
        return 2;
    }
    const TestResults& results = judged.results;
    for (const std::string& refusal : results.refusals)
        std::fprintf(stderr, "vornex-cli report: %s\n", refusal.c_str());
    const bool changed = printHash(results);
    printResults(results);
    if (!csv.empty()) {
        if (const FileResult written = writeEventsCsv(results, csv); !written) {
            std::fprintf(stderr, "vornex-cli report: %s\n", written.text.c_str());
            return 2;
        }
    }
    // A file changed after it was closed is still judged and reported whole.
    const int done = changed ? 3 : 0;
    if (pdf.empty())
        return done;
    ReportTexts texts = configuredTexts(args);
    // Without --csv no file lists the events that the report leaves out.
    if (csv.empty())
        texts.leftOut = texts.leftOutHere;
    const ReportCharts charts = reportCharts(BenchConfig(homePaths(args).configFile).controlChart(),
                                             builtInSpcTexts(configuredLanguage(args)));
    if (const FileResult written =
            writeReportPdf(results, texts, issuedDocument(args, test, "report"), pdf, &charts);
        !written) {
        std::fprintf(stderr, "vornex-cli report: %s\n", written.text.c_str());
        return 2;
    }
    return done;
}

}  // namespace vornex::cli
