// A companion file sits beside a test that may come from anywhere, and a person may have edited
// it. The input is the file. Reading it must never fail but by saying why, an instrument refused
// must not be judged with what was refused, and what was taken must hold only values an
// instrument can hold, in the order of the test.
#include <cmath>

#include "FuzzSupport.h"
#include "record/CompanionFile.h"

using vornex::fuzz::check;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const vornex::fuzz::MemoryFile file(data, size);
    const vornex::CompanionRead read = vornex::readCompanion(file.path());
    if (!read.companion) {
        check(!read.refusal.empty() || size == 0, "a companion not read says why");
        return 0;
    }
    check(read.refusal.empty(), "a companion read whole is not refused whole");
    for (const auto& [slave, history] : read.companion->instruments) {
        check(read.refused.count(slave) == 0, "a refused instrument keeps settings");
        check(!history.empty(), "an instrument without settings is listed");
        double since = -1.0;
        for (const vornex::InstrumentSettings& s : history) {
            check(std::isfinite(s.since) && std::isfinite(s.range) && std::isfinite(s.target) &&
                      std::isfinite(s.upper) && std::isfinite(s.lower),
                  "a value no instrument can hold is taken");
            check(s.since >= since, "settings out of the order of the test");
            since = s.since;
        }
    }
    return 0;
}
