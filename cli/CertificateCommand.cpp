#include <cstdio>
#include <map>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "VerifyLog.h"
#include "config/BenchConfig.h"
#include "config/HomeFolder.h"
#include "files/AtomicFile.h"
#include "files/HomeOutputs.h"
#include "report/Certificate.h"
#include "verify/RunFile.h"

namespace vornex::cli {

namespace {

const char kUsage[] =
    "vornex-cli certificate: needs a run file and --pdf OUT; optional: --csv OUT, --home DIR\n";

void fail(const std::string& text) {
    std::fprintf(stderr, "vornex-cli certificate: %s\n", text.c_str());
}

// The bench and the user's name for the reference, as the run was taken: the name the header
// recorded, else the one the device list gives the address now.
CertificateFacts factsOf(const verify::StoredRun& stored, const QString& configFile) {
    const BenchConfig config(configFile);
    std::string name = stored.reference.name;
    if (name.empty()) {
        const std::map<int, std::string> names = config.deviceNames(stored.reference.port);
        const auto named = names.find(stored.reference.address);
        if (named != names.end())
            name = named->second;
    }
    return CertificateFacts{config.bench(), name};
}

}  // namespace

int runCertificate(const QStringList& args) {
    if (args.isEmpty() || args.front().startsWith(QLatin1String("--"))) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const Arguments a(args.mid(1), {"pdf", "csv", "home"});
    if (!a.ok()) {
        fail(a.error().toStdString());
        return 1;
    }
    if (!a.has(QStringLiteral("pdf"))) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string runPath = args.front().toStdString();
    const std::string pdf = a.value(QStringLiteral("pdf")).toStdString();
    const std::string csv = a.value(QStringLiteral("csv")).toStdString();
    if (a.has(QStringLiteral("csv")) && (csv == pdf || isSameFile(csv, pdf))) {
        fail("--csv and --pdf name the same file");
        return 1;
    }
    const AppPaths paths = homePaths(args);
    const std::string home = paths.home.toStdString();
    for (const char* option : {"pdf", "csv"}) {
        if (!a.has(QLatin1String(option)))
            continue;
        const std::string output = a.value(QLatin1String(option)).toStdString();
        const std::string refusal = isSameFile(runPath, output)
                                        ? output + " is the run file itself; it is not written"
                                        : homeOutputRefusal(home, output);
        if (!refusal.empty()) {
            fail(std::string("--") + option + ": " + refusal);
            return 2;
        }
    }

    std::string error;
    const std::optional<verify::StoredRun> stored = verify::readRunFile(runPath, error);
    if (!stored) {
        fail(error);
        return 2;
    }
    if (!stored->ended) {
        fail(runPath + " has not ended; it has no certificate yet");
        return 2;
    }
    if (stored->abandoned) {
        fail(runPath + " was abandoned (" + stored->abandonReason + "); it has no certificate");
        return 2;
    }
    if (!csv.empty() && !writeWholeFile(csv, readingsCsv(verify::replay(*stored)), &error)) {
        fail("cannot write " + csv + ": " + error);
        return 2;
    }
    if (const FileResult written =
            writeCertificatePdf(runPath, factsOf(*stored, paths.configFile), configuredTexts(args),
                                issuedDocument(args, runPath, "certificate"), pdf);
        !written) {
        fail("cannot write the certificate " + pdf + ": " + written.text);
        return 2;
    }
    return 0;
}

}  // namespace vornex::cli
