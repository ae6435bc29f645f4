#include "judge/TestResults.h"

#include <array>
#include <cmath>

#include "files/Sha256.h"
#include "link/ParameterArithmetic.h"
#include "link/RegisterMap.h"
#include "record/TestFile.h"

namespace vornex {

judge::JudgeSettings judgeSettingsFor(const InstrumentSettings* settings,
                                      const JudgeOverrides& overrides, double largestMagnitude) {
    const double range =
        settings != nullptr && settings->range > 0.0 ? settings->rangeInUnit() : largestMagnitude;
    judge::Limits limits;
    limits.range = range;
    if (overrides.target) {
        limits.target = *overrides.target;
        limits.upperPercent = overrides.upper;
        limits.lowerPercent = overrides.lower;
    } else if (settings != nullptr) {
        limits.target = settings->target;
        limits.upperPercent = settings->upper;
        limits.lowerPercent = settings->lower;
    }
    judge::JudgeSettings judged;
    judged.threshold = judge::thresholdFor(overrides.threshold, range, largestMagnitude);
    judged.band = judge::bandOf(limits);
    judged.decimals = settings != nullptr ? settings->decimals : InstrumentResult::kDecimals;
    if (settings != nullptr) {
        judged.since = settings->since;
        judged.unit = settings->unit;
    }
    return judged;
}

std::vector<judge::JudgeSettings> judgeTimelineFor(const std::vector<InstrumentSettings>* history,
                                                   const JudgeOverrides& overrides,
                                                   double largestMagnitude) {
    if (history == nullptr || history->empty())
        return {judgeSettingsFor(nullptr, overrides, largestMagnitude)};
    const unsigned last = history->back().unit;
    std::vector<judge::JudgeSettings> timeline;
    for (const InstrumentSettings& s : *history) {
        timeline.push_back(judgeSettingsFor(&s, overrides, largestMagnitude));
        timeline.back().toLast =
            params::fromNewtonMetres(params::toNewtonMetres(1.0, s.unit), last);
    }
    return timeline;
}

namespace {

std::string unitNameOf(const InstrumentSettings* settings) {
    if (settings == nullptr || settings->unit == 0 || settings->unit >= regmap::kUnitCount)
        return "-";
    return std::string(regmap::unitName(settings->unit));
}

}  // namespace

std::string InstrumentResult::unitName() const {
    return vornex::unitNameOf(settings ? &*settings : nullptr);
}

int InstrumentResult::decimals() const {
    return settings ? settings->decimals : kDecimals;
}

std::string InstrumentResult::unitNameOf(const judge::JudgedEvent& event) const {
    return event.settings < history.size() ? vornex::unitNameOf(&history[event.settings])
                                           : unitName();
}

int InstrumentResult::decimalsOf(const judge::JudgedEvent& event) const {
    return event.settings < history.size() ? history[event.settings].decimals : decimals();
}

JudgedFile judgeTestFile(const std::string& path, const JudgeOverrides& overrides) {
    std::array<std::vector<CurvePoint>, kCurveSlots> curves;
    Sha256 hash;
    const FileResult read = TestFile(path).readAll(
        [&curves](const CurvePoint* points, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                if (hasCurveSlot(points[i].slave))
                    curves[points[i].slave - 1u].push_back(points[i]);
            }
        },
        [&hash](const char* bytes, size_t count) { hash.add(bytes, count); });
    JudgedFile judged;
    if (!read.ok()) {
        judged.file = read;
        if (read.kind == FileResultKind::Missing)
            judged.file.text = "no file " + path;
        return judged;
    }
    TestResults& results = judged.results;
    results.path = path;
    results.sha256 = hash.hex();
    const size_t slash = path.rfind('/');
    results.name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (results.name.size() > 5 && results.name.compare(results.name.size() - 5, 5, ".pdat") == 0)
        results.name.resize(results.name.size() - 5);
    const CompanionRead companionRead = readCompanion(companionPath(path));
    const std::optional<Companion>& companion = companionRead.companion;
    results.hasCompanion = companion.has_value();
    results.refusals = companionRead.lines();
    if (companion) {
        results.started = companion->started;
        results.trace = companion->trace;
    }

    for (int slave = 1; slave <= kCurveSlots; ++slave) {
        std::vector<CurvePoint>& curve = curves[static_cast<size_t>(slave - 1)];
        if (curve.empty())
            continue;
        InstrumentResult result;
        result.slave = slave;
        if (const auto* history = companion ? companion->history(slave) : nullptr) {
            result.history = *history;
            result.settings = history->back();
        }
        if (companion) {
            const auto identity = companion->identities.find(slave);
            if (identity != companion->identities.end())
                result.identity = identity->second;
        }
        const auto refused = companionRead.refused.find(slave);
        result.refusal =
            refused != companionRead.refused.end() ? refused->second : companionRead.refusal;
        double largest = 0.0;
        for (const CurvePoint& p : curve) {
            if (std::isfinite(p.value))
                largest = std::max(largest, std::fabs(p.value));
        }
        judge::InstrumentJudge judge(judgeTimelineFor(
            result.history.empty() ? nullptr : &result.history, overrides, largest));
        result.judged = judge.settings();
        for (const CurvePoint& p : curve)
            judge.add(p.time, p.value);
        judge.finish();
        result.events = judge.events();
        result.pass = judge.count(judge::Verdict::Pass);
        result.low = judge.count(judge::Verdict::Low);
        result.high = judge.count(judge::Verdict::High);
        result.incomplete = judge.count(judge::Verdict::Incomplete);
        result.statistics = judge.statistics();
        result.magnitudes = judge.magnitudes();
        results.instruments.push_back(std::move(result));
        results.curves.push_back(std::move(curve));
    }
    return judged;
}

}  // namespace vornex
