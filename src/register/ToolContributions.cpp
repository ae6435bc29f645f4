#include "register/ToolContributions.h"

#include <filesystem>
#include <vector>

#include "files/TsvFile.h"
#include "text/NumberText.h"
#include "verify/VerificationRun.h"

namespace vornex {

namespace {

const char* const kHeader =
    "tool\tdate\treproducibility\toutput drive\tinterface\tloading point\tunit\trun";
constexpr size_t kFields = 8;

std::string pathOf(const std::string& home) {
    return home + "Register/Contributions.tsv";
}

std::string field(const std::optional<double>& span) {
    return span ? plainNumber(*span) : std::string("-");
}

// A span as written, or "-" for a sub-test that was not made; false for anything else.
bool spanOf(const std::string& text, std::optional<double>& span) {
    span.reset();
    if (text == "-")
        return true;
    double value = 0.0;
    if (!parseDouble(text, 0.0, 1e9, value))
        return false;
    span = value;
    return true;
}

}  // namespace

bool enterContributions(const std::string& home, const MeasuredContributions& m,
                        std::string& error) {
    std::error_code failed;
    std::filesystem::create_directories(home + "Register", failed);
    if (failed) {
        error = "cannot make " + home + "Register: " + failed.message();
        return false;
    }
    const TsvFile file(pathOf(home), kHeader);
    TsvAppend append(file);
    const verify::Contributions& c = m.contributions;
    return append.add(
        {tsvField(m.toolId), tsvField(m.date), field(c.reproducibility), field(c.outputDrive),
         field(c.interface), field(c.loadingPoint), tsvField(m.unit), tsvField(m.run)},
        error);
}

std::optional<MeasuredContributions> latestContributions(const std::string& home,
                                                         const std::string& toolId,
                                                         std::string& error) {
    error.clear();
    std::vector<std::vector<std::string>> rows;
    if (!TsvFile(pathOf(home), kHeader).read(rows, error))
        return std::nullopt;
    std::optional<MeasuredContributions> latest;
    for (const std::vector<std::string>& f : rows) {
        MeasuredContributions m;
        verify::Contributions& c = m.contributions;
        // A line that is no measurement of this tool is passed over: it cannot stand for one.
        if (f.size() != kFields || f[0] != toolId ||
            !QDate::fromString(QString::fromStdString(f[1]), Qt::ISODate).isValid() ||
            !spanOf(f[2], c.reproducibility) || !spanOf(f[3], c.outputDrive) ||
            !spanOf(f[4], c.interface) || !spanOf(f[5], c.loadingPoint))
            continue;
        m.toolId = f[0];
        m.date = f[1];
        m.unit = f[6] == "-" ? std::string() : f[6];
        m.run = f[7] == "-" ? std::string() : f[7];
        latest = m;
    }
    return latest;
}

bool contributionsValid(const MeasuredContributions& measured, int months, const QDate& today) {
    const QDate date = QDate::fromString(QString::fromStdString(measured.date), Qt::ISODate);
    return months > 0 && date.isValid() && date <= today && date.addMonths(months) >= today;
}

std::optional<MeasuredContributions> takeValidContributions(const std::string& home,
                                                            const verify::Profile& profile,
                                                            verify::RunPlan& plan,
                                                            const QDate& today,
                                                            std::string& error) {
    error.clear();
    if (plan.subtests.empty() || profile.subtestsValidMonths <= 0)
        return std::nullopt;
    std::optional<MeasuredContributions> latest = latestContributions(home, plan.tool.id, error);
    if (!latest || latest->unit != plan.tool.unit ||
        !contributionsValid(*latest, profile.subtestsValidMonths, today))
        return std::nullopt;
    for (const verify::SubtestPlan& subtest : plan.subtests) {
        if (!verify::contributionOf(latest->contributions, subtest.kind))
            return std::nullopt;
    }
    plan.subtests.clear();
    return latest;
}

std::string contributionsOrigin(const MeasuredContributions& m) {
    return m.date + " in " + (m.run.empty() ? std::string("-") : m.run);
}

bool enterRunContributions(const std::string& home, const verify::VerificationRun& run,
                           const QDate& today, std::string& error) {
    const std::optional<verify::Contributions> measured = run.measuredContributions();
    if (!measured)
        return true;
    return enterContributions(home,
                              {run.plan().tool.id, today.toString(Qt::ISODate).toStdString(),
                               *measured, run.plan().tool.unit, run.path()},
                              error);
}

}  // namespace vornex
