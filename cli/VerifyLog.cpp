#include "VerifyLog.h"

#include <cstdio>
#include <ctime>
#include <sstream>

#include "link/NumberText.h"

namespace vornex::cli {

using namespace vornex::verify;

void say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

void RunLog::prompt(const Step& step) {
    if (step.kind == Step::Kind::Preload) {
        say("preload " + std::to_string(step.number) + " of " + std::to_string(plan_.preloads));
        return;
    }
    say("apply " + value(plan_.setting(step.point)) + " " + plan_.tool.unit + " point " +
        plainNumber(plan_.points[step.point]) + " reading " + std::to_string(step.number) + " of " +
        std::to_string(plan_.readings));
}

void RunLog::taken(const Taken& t, const RunProgress& progress) {
    const Reading& r = t.reading;
    const std::string where = plainNumber(plan_.points[r.point]) + " " + std::to_string(r.number) +
                              " " + value(r.setting) + " " + value(r.value);
    if (t.kind == Taken::Kind::Preload) {
        record("preload " + std::to_string(r.number) + " " + value(r.value));
        return;
    }
    if (r.slip) {
        const char* answer = t.kind == Taken::Kind::Reading ? " counted" : " repeated";
        say("slip " + where + answer);
        if (t.kind == Taken::Kind::SlipRepeated) {
            record("slip " + where + answer);
            return;
        }
    }
    const std::string line = "reading " + where + " " + signedPercent(r.deviation) + " " +
                             (r.conforms ? "conforms" : "exceeds");
    say(line);
    record(line + (r.slip ? " slip counted" : ""));
    if (!t.endsPoint)
        return;
    const PointSummary s = progress.summary(r.point);
    const std::string point = "point " + plainNumber(plan_.points[r.point]) + " mean " +
                              value(s.mean) + " deviation " + signedPercent(s.meanDeviation) +
                              " spread " + value(s.spread);
    say(point);
    record(point + " share " + formatFixed(s.spreadShare, 2));
}

void RunLog::result(bool conforms) {
    const std::string line = std::string("result ") + (conforms ? "conforms" : "does-not-conform");
    say(line);
    record(line);
}

void RunLog::record(const std::string& text) {
    std::string error;
    if (ok() && !file_.append(std::time(nullptr), text, error))
        error_ = error;
}

std::string RunLog::value(double x) const {
    return formatFixed(x, plan_.decimals);
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
