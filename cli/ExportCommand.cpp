#include <unistd.h>

#include <cstdio>
#include <string>

#include "Arguments.h"
#include "Commands.h"
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
    FILE* out = toStdout ? stdout : std::fopen(output.c_str(), "w");
    if (out == nullptr) {
        std::fprintf(stderr, "vornex-cli export: cannot create %s\n", output.c_str());
        return 2;
    }
    std::fputs("time,value,slave\n", out);
    std::string error;
    // 17 significant digits read back to the same double.
    const ReadStatus status = TestFile(input).readAll(
        [&](const CurvePoint* points, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                std::fprintf(out, "%.17g,%.17g,%u\n", points[i].time, points[i].value,
                             static_cast<unsigned>(points[i].slave));
            }
        },
        &error);
    const bool written = std::fflush(out) == 0 && !std::ferror(out);
    if (!toStdout)
        std::fclose(out);
    if (status != ReadStatus::Read) {
        std::fprintf(stderr, "vornex-cli export: %s\n", error.c_str());
        return 2;
    }
    if (!written) {
        std::fprintf(stderr, "vornex-cli export: cannot write %s\n", output.c_str());
        return 2;
    }
    return 0;
}

}  // namespace vornex::cli
