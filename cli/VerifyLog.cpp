#include "VerifyLog.h"

#include <cstdio>
#include <iostream>
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

namespace {

std::optional<double> resolutionOf(const Arguments& a) {
    double r = 0.0;
    if (parseDouble(a.value(QStringLiteral("resolution")).toStdString(), 0.0, 1e9, r) && r > 0.0)
        return r;
    return std::nullopt;
}

}  // namespace

bool readToolKind(const Arguments& a, verify::Tool& tool) {
    if (a.has(QStringLiteral("type"))) {
        const std::string type = a.value(QStringLiteral("type")).toStdString();
        if (type != "I" && type != "II") {
            std::fputs("vornex-cli verify: --type takes I (indicating) or II (setting)\n", stderr);
            return false;
        }
        tool.type = type;
    } else if (tool.type != "I") {
        tool.type = "II";
    }
    if (a.has(QStringLiteral("resolution"))) {
        if (!resolutionOf(a)) {
            std::fputs(
                "vornex-cli verify: --resolution takes a number above 0, in the tool's unit\n",
                stderr);
            return false;
        }
    }
    return true;
}

void readResolution(const Arguments& a, verify::RunPlan& plan) {
    if (a.has(QStringLiteral("resolution")))
        plan.resolution = resolutionOf(a);
}

namespace {

std::optional<double> readIndication(const std::string& prompt, const std::string& unit) {
    for (std::string line; std::getline(std::cin, line);) {
        const auto first = line.find_first_not_of(" \t\r");
        const auto last = line.find_last_not_of(" \t\r");
        double value = 0.0;
        if (first != std::string::npos &&
            parseDouble(std::string_view(line).substr(first, last - first + 1), value) &&
            value > 0.0)
            return value;
        std::fprintf(stderr,
                     "vornex-cli verify: \"%s\" is no indication: type the number the tool shows, "
                     "in %s\n",
                     line.c_str(), unit.c_str());
        say(prompt);
    }
    return std::nullopt;
}

}  // namespace

bool answerIndication(verify::VerificationRun& run) {
    const std::optional<double> indicated =
        readIndication(run.indicationPrompt(), run.plan().tool.unit);
    if (!indicated) {
        run.note("standard input ended");
        std::fprintf(stderr,
                     "vornex-cli verify: standard input ended before the indication; go on with "
                     "--resume %s\n",
                     run.path().c_str());
        return false;
    }
    run.indicate(*indicated);
    return true;
}

}  // namespace vornex::cli
