#include <cstdio>
#include <string>

#include "Commands.h"
#include "record/TestFile.h"

namespace vornex::cli {

int runCount(const QStringList& args) {
    if (args.size() != 1 || args.front().startsWith(QLatin1String("--"))) {
        std::fputs("vornex-cli count: needs exactly one test file\n", stderr);
        return 1;
    }
    const CountResult counted = TestFile(args.front().toStdString()).count();
    if (!counted.file.ok()) {
        std::fprintf(stderr, "vornex-cli count: %s\n", counted.file.text.c_str());
        return 2;
    }
    const SlaveCounts& counts = counted.counts;
    for (int slave = 1; slave <= kCurveSlots; ++slave) {
        if (counts.of(slave) != 0) {
            std::printf("slave %d: %llu\n", slave,
                        static_cast<unsigned long long>(counts.of(slave)));
        }
    }
    if (counts.other != 0)
        std::printf("other: %llu\n", static_cast<unsigned long long>(counts.other));
    std::printf("total: %llu\n", static_cast<unsigned long long>(counts.total()));
    return 0;
}

}  // namespace vornex::cli
