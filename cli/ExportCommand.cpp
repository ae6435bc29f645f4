#include <unistd.h>

#include <cstdio>
#include <memory>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "files/AtomicFile.h"
#include "record/CompanionFile.h"
#include "record/TestFile.h"

namespace vornex::cli {

int runExport(const QStringList& args) {
    const Arguments arguments(args.mid(1), {QStringLiteral("csv")});
    if (args.isEmpty() || args.front().startsWith(QLatin1String("--")) || !arguments.ok() ||
        !arguments.has(QStringLiteral("csv"))) {
        std::fputs("vornex-cli export: needs a test file and --csv OUT (- for standard output)\n",
                   stderr);
        return 1;
    }
    const std::string input = args.front().toStdString();
    const std::string output = arguments.value(QStringLiteral("csv")).toStdString();
    if (::access(input.c_str(), R_OK) != 0) {
        std::fprintf(stderr, "vornex-cli export: cannot read %s\n", input.c_str());
        return 2;
    }
    const bool toStdout = output == "-";
    const std::string refusal = toStdout ? std::string() : testOutputRefusal(input, output);
    if (!refusal.empty()) {
        std::fprintf(stderr, "vornex-cli export: %s\n", refusal.c_str());
        return 2;
    }
    // A failed export leaves an earlier file at the output as it was.
    std::unique_ptr<AtomicFile> file;
    if (!toStdout) {
        file = std::make_unique<AtomicFile>(output);
        if (!file->open()) {
            std::fprintf(stderr, "vornex-cli export: %s\n", file->error().c_str());
            return 2;
        }
    }
    FILE* out = toStdout ? stdout : file->stream();
    std::fputs("time,value,slave\n", out);
    // 17 significant digits read back to the same double.
    const FileResult read = TestFile(input).readAll([&](const CurvePoint* points, size_t count) {
        for (size_t i = 0; i < count; ++i) {
            std::fprintf(out, "%.17g,%.17g,%u\n", points[i].time, points[i].value,
                         static_cast<unsigned>(points[i].slave));
        }
    });
    if (!read.ok()) {
        std::fprintf(stderr, "vornex-cli export: %s\n", read.text.c_str());
        return 2;
    }
    if (toStdout ? std::fflush(out) != 0 || std::ferror(out) : !file->commit()) {
        std::fprintf(stderr, "vornex-cli export: %s\n",
                     toStdout ? "cannot write to standard output" : file->error().c_str());
        return 2;
    }
    return 0;
}

}  // namespace vornex::cli
