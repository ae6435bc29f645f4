#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "StoreConnect.h"
#include "judge/PeakStatistics.h"
#include "judge/TestResults.h"
#include "link/RegisterMap.h"
#include "spc/ControlChart.h"
#include "store/ToolHistory.h"
#include "text/NumberText.h"

namespace vornex::cli {

namespace {

const char kUsage[] =
    "vornex-cli spc: needs a test file and --slave A; optional: --subgroup N (2 to 25), "
    "--chart xbar-r|xbar-s, --rules LIST (of 1 to 8), --limits data|tolerance\n";

const char kStoreUsage[] =
    "vornex-cli store spc: needs --tool ID; optional: --subgroup N (2 to 25), "
    "--chart xbar-r|xbar-s, --rules LIST (of 1 to 8), --limits data|tolerance, --home DIR, "
    "--uri URI\n";

void fail(const std::string& text) {
    std::fprintf(stderr, "vornex-cli spc: %s\n", text.c_str());
}

// The options as a request, or nothing when one of them is no option's value.
std::optional<spc::SpcRequest> requestOf(const Arguments& a) {
    spc::SpcRequest request;
    if (a.has(QStringLiteral("subgroup"))) {
        const std::optional<int> size = parseCount(a.value(QStringLiteral("subgroup")));
        if (!size || *size < 2 || *size > 25)
            return std::nullopt;
        request.subgroupSize = *size;
    }
    const QString chart = a.value(QStringLiteral("chart"), QStringLiteral("xbar-r"));
    const QString limits = a.value(QStringLiteral("limits"), QStringLiteral("data"));
    if ((chart != QLatin1String("xbar-r") && chart != QLatin1String("xbar-s")) ||
        (limits != QLatin1String("data") && limits != QLatin1String("tolerance")))
        return std::nullopt;
    request.chart = chart == QLatin1String("xbar-s") ? spc::Chart::XbarS : spc::Chart::XbarR;
    request.limits =
        limits == QLatin1String("tolerance") ? spc::LimitSource::Tolerance : spc::LimitSource::Data;
    if (a.has(QStringLiteral("rules"))) {
        const std::optional<spc::RuleSet> rules =
            spc::parseRules(a.value(QStringLiteral("rules")).toStdString());
        if (!rules)
            return std::nullopt;
        request.rules = *rules;
    }
    return request;
}

void printAnalysis(const spc::SpcAnalysis& a, const spc::SpcRequest& request, int decimals) {
    // Means and spreads of rounded readings carry one decimal more than the readings.
    const auto value = [decimals](double v) { return formatFixed(v, decimals + 1); };
    const char* spread = request.chart == spc::Chart::XbarS ? "sd" : "range";
    for (size_t k = 0; k < a.subgroups.size(); ++k)
        std::printf("subgroup %zu %zu %s %s\n", k + 1, a.subgroups[k].n,
                    value(a.subgroups[k].mean).c_str(), value(a.subgroups[k].spread).c_str());
    if (a.xbar)
        std::printf("limits xbar %s %s %s  %s %s %s %s\n", value(a.xbar->lcl).c_str(),
                    value(a.xbar->cl).c_str(), value(a.xbar->ucl).c_str(), spread,
                    value(a.spread->lcl).c_str(), value(a.spread->cl).c_str(),
                    value(a.spread->ucl).c_str());
    for (const spc::ListedBreak& b : spc::listedBreaks(a)) {
        if (b.rule == 0)
            std::printf("break %s subgroup %zu\n", spread, b.subgroup + 1);
        else
            std::printf("break %d subgroup %zu\n", b.rule, b.subgroup + 1);
    }
    const spc::Capability& c = a.capability;
    std::printf("capability cp %s cpk %s pp %s ppk %s\n", judge::figureText(c.cp, 2).c_str(),
                judge::figureText(c.cpk, 2).c_str(), judge::figureText(c.pp, 2).c_str(),
                judge::figureText(c.ppk, 2).c_str());
    if (a.machine)
        std::printf("machine cm %s cmk %s %s\n", formatFixed(a.machine->cm, 2).c_str(),
                    formatFixed(a.machine->cmk, 2).c_str(),
                    a.machine->capable ? "capable" : "not-capable");
}

// Charts the values, prints the lines and says what was left out or cannot be charted; the exit
// code: 2 for limits from a tolerance there is not, 3 when a rule broke.
int chart(const std::vector<double>& values, spc::SpcRequest request,
          const std::optional<judge::Band>& band, int decimals, const std::string& what) {
    if (band)
        request.tolerance = spc::Tolerance{band->low, band->high, band->target};
    request.resolution = std::pow(10.0, -decimals);
    const spc::SpcAnalysis analysis = spc::analyse(values, request);
    if (analysis.leftOut > 0 && !analysis.subgroups.empty())
        fail("the last " + std::to_string(analysis.leftOut) + " pulls make no whole subgroup of " +
             std::to_string(request.subgroupSize) + " and are left out");
    if (!analysis.problem.empty()) {
        fail(what + ": " + analysis.problem);
        if (request.limits == spc::LimitSource::Tolerance && !request.tolerance)
            return 2;
    }
    printAnalysis(analysis, request, decimals);
    return analysis.breaks.empty() && analysis.spreadBreaks.empty() ? 0 : 3;
}

}  // namespace

int runSpc(const QStringList& args) {
    if (args.isEmpty() || args.front().startsWith(QLatin1String("--"))) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const Arguments a(args.mid(1), {"slave", "subgroup", "chart", "rules", "limits"});
    const auto slave = parseSlaveList(a.value(QStringLiteral("slave")));
    std::optional<spc::SpcRequest> request = a.ok() ? requestOf(a) : std::nullopt;
    if (!request || !slave || slave->size() != 1) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    const std::string path = args.front().toStdString();
    const JudgedFile judged = judgeTestFile(path, JudgeOverrides());
    if (!judged.file) {
        fail(judged.file.text);
        return 2;
    }
    const InstrumentResult* instrument = nullptr;
    for (const InstrumentResult& r : judged.results.instruments)
        instrument = r.slave == slave->front() ? &r : instrument;
    if (instrument == nullptr) {
        fail(path + " holds no records of slave " + std::to_string(slave->front()));
        return 2;
    }
    return chart(instrument->magnitudes, *request, instrument->judged.band, instrument->decimals(),
                 "slave " + std::to_string(slave->front()));
}

int runStoreSpc(const QStringList& args) {
    const Arguments a(args, {"tool", "subgroup", "chart", "rules", "limits", "home", "uri"});
    std::optional<spc::SpcRequest> request = a.ok() ? requestOf(a) : std::nullopt;
    const std::string tool = a.value(QStringLiteral("tool")).toStdString();
    if (!request || tool.empty()) {
        std::fputs(kStoreUsage, stderr);
        return 1;
    }
    const std::unique_ptr<store::PgConnection> connection = connectedStore(args, "store spc");
    if (!connection)
        return 2;
    const store::StoreAnswer<store::ToolHistory> history = store::toolHistory(*connection, tool);
    if (!history) {
        fail(history.result.message());
        return 2;
    }
    const store::ToolHistory& h = history.value;
    if (h.otherUnits > 0)
        fail(std::to_string(h.otherUnits) + " pulls in units other than " +
             std::string(regmap::unitName(h.unit)) + " are left out");
    return chart(h.magnitudes, *request, h.band, h.decimals, "tool " + tool);
}

}  // namespace vornex::cli
