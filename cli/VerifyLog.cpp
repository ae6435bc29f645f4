#include "VerifyLog.h"

#include <cstdio>
#include <sstream>

#include "text/NumberText.h"

namespace vornex::cli {

using namespace vornex::verify;

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

std::string readingsCsv(const RunProgress& progress) {
    const RunPlan& plan = progress.plan();
    std::ostringstream out;
    out << "point,reading,setting,value,unit,deviation,verdict,slip\n";
    for (const Reading& r : progress.readings()) {
        out << plainNumber(plan.points[r.point]) << "," << r.number << ","
            << formatFixed(r.setting, plan.decimals) << "," << formatFixed(r.value, plan.decimals)
            << "," << plan.tool.unit << "," << signedPercent(r.deviation) << ","
            << (r.conforms ? "conforms" : "exceeds") << "," << (r.slip ? "yes" : "no") << "\n";
    }
    return out.str();
}

}  // namespace vornex::cli
