#include "report/TestResults.h"

#include <QCryptographicHash>
#include <array>
#include <cmath>

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
    return judged;
}

std::string InstrumentResult::unitName() const {
    if (!settings || settings->unit == 0 || settings->unit >= regmap::kUnitCount)
        return "-";
    return std::string(regmap::unitName(settings->unit));
}

int InstrumentResult::decimals() const {
    return settings ? settings->decimals : kDecimals;
}

JudgedFile judgeTestFile(const std::string& path, const JudgeOverrides& overrides) {
    std::array<std::vector<CurvePoint>, kCurveSlots> curves;
    QCryptographicHash hash(QCryptographicHash::Sha256);
    const FileResult read = TestFile(path).readAll(
        [&curves](const CurvePoint* points, size_t count) {
            for (size_t i = 0; i < count; ++i) {
                if (hasCurveSlot(points[i].slave))
                    curves[points[i].slave - 1u].push_back(points[i]);
            }
        },
        [&hash](const char* bytes, size_t count) {
            hash.addData(QByteArrayView(bytes, static_cast<qsizetype>(count)));
        });
    JudgedFile judged;
    if (!read.ok()) {
        judged.file = read;
        if (read.kind == FileResultKind::Missing)
            judged.file.text = "no file " + path;
        return judged;
    }
    TestResults& results = judged.results;
    results.path = path;
    results.sha256 = hash.result().toHex().toStdString();
    const size_t slash = path.rfind('/');
    results.name = path.substr(slash == std::string::npos ? 0 : slash + 1);
    if (results.name.size() > 5 && results.name.compare(results.name.size() - 5, 5, ".pdat") == 0)
        results.name.resize(results.name.size() - 5);
    const std::optional<Companion> companion = readCompanion(companionPath(path));
    results.hasCompanion = companion.has_value();
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
        if (companion) {
            const auto found = companion->instruments.find(slave);
            if (found != companion->instruments.end())
                result.settings = found->second;
            const auto identity = companion->identities.find(slave);
            if (identity != companion->identities.end())
                result.identity = identity->second;
        }
        double largest = 0.0;
        for (const CurvePoint& p : curve) {
            if (std::isfinite(p.value))
                largest = std::max(largest, std::fabs(p.value));
        }
        result.judged =
            judgeSettingsFor(result.settings ? &*result.settings : nullptr, overrides, largest);
        judge::InstrumentJudge judge(result.judged);
        for (const CurvePoint& p : curve)
            judge.add(p.time, p.value);
        judge.finish();
        result.events = judge.events();
        result.pass = judge.count(judge::Verdict::Pass);
        result.low = judge.count(judge::Verdict::Low);
        result.high = judge.count(judge::Verdict::High);
        result.incomplete = judge.count(judge::Verdict::Incomplete);
        result.statistics = judge.statistics();
        results.instruments.push_back(std::move(result));
        results.curves.push_back(std::move(curve));
    }
    return judged;
}

}  // namespace vornex
