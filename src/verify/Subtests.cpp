#include "verify/Subtests.h"

#include <algorithm>
#include <sstream>

#include "text/NumberText.h"

namespace vornex::verify {

namespace {

constexpr SubtestKind kKinds[] = {SubtestKind::Reproducibility, SubtestKind::OutputDrive,
                                  SubtestKind::Interface, SubtestKind::LoadingPoint};

}  // namespace

const char* subtestName(SubtestKind kind) {
    switch (kind) {
        case SubtestKind::Reproducibility:
            return "reproducibility";
        case SubtestKind::OutputDrive:
            return "output-drive";
        case SubtestKind::Interface:
            return "interface";
        case SubtestKind::LoadingPoint:
            break;
    }
    return "loading-point";
}

std::optional<SubtestKind> subtestNamed(std::string_view name) {
    for (SubtestKind kind : kKinds) {
        if (name == subtestName(kind))
            return kind;
    }
    return std::nullopt;
}

std::string subtestInstruction(SubtestKind kind, int series, int count) {
    switch (kind) {
        case SubtestKind::Reproducibility:
            return series == 1 ? "fit the tool to the reference"
                               : "take the tool off the reference and fit it again";
        case SubtestKind::OutputDrive:
            // The drive's positions share the full turn: 0, 90, 180 and 270 degrees for four.
            return "turn the output drive to " + plainNumber(360.0 * (series - 1) / count) +
                   " degrees";
        case SubtestKind::Interface:
            return series == 1 ? "fit the first interface"
                               : "change to interface " + std::to_string(series);
        case SubtestKind::LoadingPoint:
            break;
    }
    return series % 2 == 1 ? "apply the force 10 mm before the mark"
                           : "apply the force 10 mm behind the mark";
}

std::optional<double>& contributionOf(Contributions& contributions, SubtestKind kind) {
    switch (kind) {
        case SubtestKind::Reproducibility:
            return contributions.reproducibility;
        case SubtestKind::OutputDrive:
            return contributions.outputDrive;
        case SubtestKind::Interface:
            return contributions.interface;
        case SubtestKind::LoadingPoint:
            break;
    }
    return contributions.loadingPoint;
}

std::vector<SubtestPlan> subtestPlans(const Profile& profile) {
    return {{SubtestKind::Reproducibility, profile.reproducibility},
            {SubtestKind::OutputDrive, profile.outputDrive},
            {SubtestKind::Interface, profile.interface},
            {SubtestKind::LoadingPoint, profile.loadingPoint}};
}

SubtestProgress::SubtestProgress(std::vector<SubtestPlan> plans, double setting)
    : plans_(std::move(plans)), setting_(setting) {}

std::optional<SubtestStep> SubtestProgress::next() const {
    size_t before = 0;
    for (const SubtestPlan& plan : plans_) {
        const size_t pulls = static_cast<size_t>(plan.counts.series) * plan.counts.readings;
        if (readings_.size() < before + pulls) {
            const int taken = static_cast<int>(readings_.size() - before);
            return SubtestStep{plan.kind, taken / plan.counts.readings + 1, plan.counts.series,
                               taken % plan.counts.readings + 1, plan.counts.readings};
        }
        before += pulls;
    }
    return std::nullopt;
}

std::optional<double> SubtestProgress::take(double peak) {
    const std::optional<SubtestStep> step = next();
    if (!step)
        return std::nullopt;
    readings_.push_back({step->kind, step->series, step->number, setting_, peak});
    if (step->series < step->seriesCount || step->number < step->readings)
        return std::nullopt;
    return seriesSpan(seriesMeans(step->kind));
}

std::vector<double> SubtestProgress::seriesMeans(SubtestKind kind) const {
    std::vector<double> sums, counts;
    for (const SubtestReading& r : readings_) {
        if (r.kind != kind)
            continue;
        if (sums.size() < static_cast<size_t>(r.series)) {
            sums.resize(r.series, 0.0);
            counts.resize(r.series, 0.0);
        }
        sums[r.series - 1] += r.value;
        counts[r.series - 1] += 1.0;
    }
    std::vector<double> means;
    for (size_t i = 0; i < sums.size(); ++i)
        means.push_back(sums[i] / counts[i]);
    return means;
}

Contributions SubtestProgress::contributions() const {
    Contributions c;
    for (const SubtestPlan& plan : plans_) {
        const long taken =
            std::count_if(readings_.begin(), readings_.end(),
                          [&](const SubtestReading& r) { return r.kind == plan.kind; });
        if (taken < static_cast<long>(plan.counts.series) * plan.counts.readings)
            continue;
        const double span = seriesSpan(seriesMeans(plan.kind));
        contributionOf(c, plan.kind) = span;
    }
    return c;
}

std::string seriesLine(const SubtestStep& step) {
    return std::string("series ") + subtestName(step.kind) + " " + std::to_string(step.series) +
           " of " + std::to_string(step.seriesCount) + ": " +
           subtestInstruction(step.kind, step.series, step.seriesCount);
}

std::string subtestApplyLine(const SubtestStep& step, const std::string& setting,
                             const std::string& unit) {
    return "apply " + setting + " " + unit + " series " + subtestName(step.kind) + " " +
           std::to_string(step.series) + " reading " + std::to_string(step.number) + " of " +
           std::to_string(step.readings);
}

std::string subtestReadingLine(const SubtestReading& r, int decimals) {
    return std::string("reading ") + subtestName(r.kind) + " " + std::to_string(r.series) + " " +
           std::to_string(r.number) + " " + formatFixed(r.setting, decimals) + " " +
           formatFixed(r.value, decimals);
}

std::string contributionLine(SubtestKind kind, double span, int decimals, const std::string& unit) {
    return std::string("contribution ") + subtestName(kind) + " " + formatFixed(span, decimals) +
           " " + unit;
}

std::optional<SubtestReading> parseSubtestReading(const std::string& text) {
    std::istringstream in(text);
    std::string word, name, setting, value, rest;
    SubtestReading r;
    if (!(in >> word >> name) || word != "reading")
        return std::nullopt;
    const std::optional<SubtestKind> kind = subtestNamed(name);
    long series = 0, number = 0;
    std::string seriesText, numberText;
    if (!kind || !(in >> seriesText >> numberText >> setting >> value) || (in >> rest) ||
        !parseLong(seriesText, 1, 100, series) || !parseLong(numberText, 1, 100, number) ||
        !parseDouble(setting, -1e9, 1e9, r.setting) || !parseDouble(value, -1e9, 1e9, r.value))
        return std::nullopt;
    r.kind = *kind;
    r.series = static_cast<int>(series);
    r.number = static_cast<int>(number);
    return r;
}

bool parseContributionLine(const std::string& text, Contributions& into) {
    std::istringstream in(text);
    std::string word, name, spanText, unit, rest;
    double span = 0.0;
    if (!(in >> word >> name >> spanText >> unit) || (in >> rest) || word != "contribution" ||
        !parseDouble(spanText, 0.0, 1e9, span))
        return false;
    const std::optional<SubtestKind> kind = subtestNamed(name);
    if (!kind)
        return false;
    contributionOf(into, *kind) = span;
    return true;
}

std::string subtestPlansText(const std::vector<SubtestPlan>& plans) {
    std::string text;
    for (const SubtestPlan& plan : plans) {
        text += (text.empty() ? "" : " ") + std::string(subtestName(plan.kind)) + " " +
                std::to_string(plan.counts.series) + "x" + std::to_string(plan.counts.readings);
    }
    return text.empty() ? "none" : text;
}

std::optional<std::vector<SubtestPlan>> parseSubtestPlans(const std::string& text) {
    std::vector<SubtestPlan> plans;
    if (text == "none")
        return plans;
    std::istringstream in(text);
    std::vector<std::string> words;
    for (std::string word; in >> word;)
        words.push_back(word);
    if (words.empty() || words.size() % 2 != 0)
        return std::nullopt;
    for (size_t i = 0; i < words.size(); i += 2) {
        const std::optional<SubtestKind> kind = subtestNamed(words[i]);
        const std::string& counts = words[i + 1];
        const size_t x = counts.find('x');
        long series = 0, readings = 0;
        if (!kind || x == std::string::npos || !parseLong(counts.substr(0, x), 1, 100, series) ||
            !parseLong(counts.substr(x + 1), 1, 100, readings))
            return std::nullopt;
        plans.push_back({*kind, {static_cast<int>(series), static_cast<int>(readings)}});
    }
    return plans;
}

}  // namespace vornex::verify
