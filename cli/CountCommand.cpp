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
    std::string error;
    const auto counts = TestFile(args.front().toStdString()).count(&error);
    if (!counts) {
        std::fprintf(stderr, "vornex-cli count: %s\n", error.c_str());
        return 2;
    }
    for (int slave = 1; slave <= kCurveSlots; ++slave) {
        if (counts->of(slave) != 0) {
            std::printf("slave %d: %llu\n", slave,
                        static_cast<unsigned long long>(counts->of(slave)));
        }
    }
    if (counts->other != 0)
        std::printf("other: %llu\n", static_cast<unsigned long long>(counts->other));
    std::printf("total: %llu\n", static_cast<unsigned long long>(counts->total()));
    return 0;
}

}  // namespace vornex::cli
