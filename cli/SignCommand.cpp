#include <cstdio>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "config/HomeFolder.h"
#include "sign/Signatures.h"

namespace vornex::cli {

namespace {

const char kUsage[] =
    "vornex-cli sign: needs a test or run file and --meaning performed|reviewed|approved; "
    "--name NAME (needed but for performed, which takes the record's operator), --home DIR\n";

}  // namespace

sign::DocumentIssue issuedDocument(const QStringList& args, const std::string& path,
                                   const char* command) {
    const AppPaths paths = homePaths(args);
    std::string error;
    sign::DocumentIssue issue =
        sign::issueDocument(paths.home.toStdString(), paths.configFile.toStdString(), path, error);
    if (!error.empty())
        std::fprintf(stderr, "vornex-cli %s: %s\n", command, error.c_str());
    return issue;
}

int runSign(const QStringList& args) {
    if (args.isEmpty() || args.front().startsWith(QLatin1String("--"))) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const Arguments a(args.mid(1), {"meaning", "name", "home"});
    if (!a.ok()) {
        std::fprintf(stderr, "vornex-cli sign: %s\n", qPrintable(a.error()));
        return 1;
    }
    const std::optional<sign::Meaning> meaning =
        sign::meaningOf(a.value(QStringLiteral("meaning")).toStdString());
    const std::string name = a.value(QStringLiteral("name")).trimmed().toStdString();
    if (!meaning || (name.empty() && *meaning != sign::Meaning::Performed)) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const sign::Signatures signatures(homePaths(args).home.toStdString());
    const sign::Signatures::Result result =
        signatures.sign(args.front().toStdString(), *meaning, name);
    switch (result.outcome) {
        case sign::Signatures::Outcome::Signed: {
            const sign::Signature& s = result.signature;
            std::printf("signed %s %s %s %s\n", s.sha256.c_str(), sign::meaningWord(s.meaning),
                        s.name.c_str(), s.time.c_str());
            return 0;
        }
        case sign::Signatures::Outcome::NoName:
            std::fprintf(stderr, "vornex-cli sign: %s: the record names no operator\n",
                         result.error.c_str());
            std::fputs(kUsage, stderr);
            return 1;
        case sign::Signatures::Outcome::Changed:
        case sign::Signatures::Outcome::Unreadable:
            break;
    }
    std::fprintf(stderr, "vornex-cli sign: %s\n", result.error.c_str());
    return 2;
}

}  // namespace vornex::cli
