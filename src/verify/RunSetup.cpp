#include "verify/RunSetup.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>

#include "files/IniLines.h"
#include "link/RegisterMap.h"
#include "text/NumberText.h"
#include "verify/Deviation.h"
#include "verify/ReferenceDue.h"
#include "verify/RunFit.h"
#include "verify/ToolFolder.h"
#include "verify/VerificationRun.h"

namespace vornex::verify {

PlannedRun planRun(const RunRequest& request) {
    PlannedRun planned;
    using Problem = PlannedRun::Problem;
    const Tool& tool = request.tool;
    if (!ToolFolder::validId(tool.id)) {
        planned.problem = Problem::ToolId;
        return planned;
    }
    if (!(tool.maximum > 0.0) ||
        (tool.lowest && (*tool.lowest < 0.0 || !(*tool.lowest < tool.maximum)))) {
        planned.problem = Problem::ToolLimits;
        return planned;
    }
    for (const std::string* text : {&tool.description, &tool.toolClass, &tool.unit,
                                    &request.operatorName, &request.referenceDue}) {
        if (!fitsIniLine(*text)) {
            planned.problem = Problem::PlainText;
            return planned;
        }
    }
    const ProfileRead read = loadProfile(request.profilesFolder, request.profileName);
    if (!read.profile) {
        planned.problem = Problem::Profile;
        planned.detail = read.problem.at("profile " + request.profileName);
        return planned;
    }
    planned.profile = *read.profile;
    RunPlan& plan = planned.plan;
    plan.tool = tool;
    plan.profile = planned.profile.name;
    plan.standard = planned.profile.standard;
    plan.points = request.points.value_or(planned.profile.points);
    plan.readings = request.readings.value_or(planned.profile.readings);
    plan.preloads = request.preloads.value_or(planned.profile.preloads);
    plan.loadingMin = planned.profile.loadingMin;
    // A tool used both ways, or a profile asking for both, is verified in both directions.
    plan.direction = tool.direction == "both" || planned.profile.direction == "both"
                         ? std::string("both")
                         : tool.direction;
    plan.decisionRule = planned.profile.decisionRule;
    plan.slips = request.slips;
    plan.operatorName = request.operatorName;
    plan.temperature = request.temperature;
    plan.humidity = request.humidity;
    plan.referenceDue = request.referenceDue;
    // The profile's limits are checked against the conditions, so they must be stated.
    if (!plan.temperature || !plan.humidity) {
        planned.problem = Problem::Conditions;
        return planned;
    }
    planned.ambientOutside = *plan.temperature < planned.profile.temperatureMin ||
                             *plan.temperature > planned.profile.temperatureMax ||
                             *plan.humidity > planned.profile.humidityMax;
    if (!plan.referenceDue.empty() && !parseDueDate(plan.referenceDue))
        planned.problem = Problem::DueDate;
    return planned;
}

bool polledPeaks(unsigned measuringMode) {
    return measuringMode != regmap::kMeasurePeak && measuringMode != regmap::kMeasureFirstPeak;
}

RunCautions fitRun(PlannedRun& planned, const std::string& unit, int decimals,
                   unsigned measuringMode, std::time_t now) {
    RunCautions cautions;
    const Profile& profile = planned.profile;
    cautions.fitProblem =
        fitPlan(planned.plan,
                planned.plan.tool.type == "I" ? profile.indicatingDeviations : profile.deviations,
                unit, decimals);
    if (!cautions.fitProblem.empty())
        return cautions;
    RunPlan& plan = planned.plan;
    if (calibrates(profile)) {
        plan.subtests = subtestPlans(profile);
        // Taken at the run's first point unless the profile names one the tool is marked for.
        plan.subtestPoint = plan.points.front();
        if (profile.subtestPoint &&
            (!plan.tool.lowest ||
             *profile.subtestPoint * plan.tool.maximum / 100.0 >= *plan.tool.lowest - 1e-9))
            plan.subtestPoint = *profile.subtestPoint;
    }
    cautions.polled = polledPeaks(measuringMode);
    cautions.overdue = referenceOverdue(planned.plan.referenceDue, now);
    return cautions;
}

std::string ambientText(const PlannedRun& planned) {
    const RunPlan& plan = planned.plan;
    const Profile& profile = planned.profile;
    return "ambient conditions " + plainNumber(plan.temperature.value_or(0.0)) + " degC, " +
           plainNumber(plan.humidity.value_or(0.0)) + " % outside the profile's " +
           plainNumber(profile.temperatureMin) + " to " + plainNumber(profile.temperatureMax) +
           " degC and " + plainNumber(profile.humidityMax) + " % humidity";
}

std::string polledNote(const std::string& mode) {
    return "confirmed polled peaks in mode " + mode;
}

std::string overdueNote(const std::string& due, const std::string& reason) {
    return "confirmed reference calibration overdue since " + due + ": " + reason;
}

std::string uncoveredNote(double torque, const std::string& asset, double lowest,
                          const std::string& reason) {
    return "confirmed point of " + plainNumber(torque) + " below the lowest torque reference " +
           asset + "'s certificate covers, " + plainNumber(lowest) + ": " + reason;
}

std::unique_ptr<VerificationRun> beginRun(const RunPlan& plan, const Reference& reference,
                                          const std::string& dataFolder,
                                          const std::string& toolsFolder,
                                          const std::vector<std::string>& notes, std::time_t now,
                                          RunListener& listener, std::string& toolError,
                                          std::string& error) {
    toolError.clear();
    if (std::string why; !ToolFolder(toolsFolder).save(plan.tool, why))
        toolError = "tool " + plan.tool.id + " is not remembered: " + why;
    // A run stopped at once and begun again, or one tool on two stations, may begin within the
    // second of another run of it: each run gets a file of its own, never another's.
    constexpr int kRunsInOneSecond = 100;
    std::optional<RunFile> file;
    for (int sameSecond = 1; !file && sameSecond <= kRunsInOneSecond; ++sameSecond) {
        const std::string path = RunFile::pathFor(dataFolder, plan.tool.id, now, sameSecond);
        std::error_code ignored;
        if (std::filesystem::symlink_status(path, ignored).type() !=
            std::filesystem::file_type::not_found)
            continue;
        if (std::optional<RunFile> made = RunFile::create(path, plan, reference, now, error))
            file.emplace(std::move(*made));
        else if (error != path + ": " + std::strerror(EEXIST))
            return nullptr;
    }
    if (!file) {
        if (error.empty())
            error = RunFile::pathFor(dataFolder, plan.tool.id, now) + ": " +
                    std::to_string(kRunsInOneSecond) + " runs of this tool began within its second";
        return nullptr;
    }
    error.clear();
    auto run = std::make_unique<VerificationRun>(std::move(*file), plan, reference, listener);
    for (const std::string& note : notes)
        run->note(note);
    return run;
}

std::optional<HeldRun> holdToResume(const std::string& path, std::string& error) {
    std::optional<RunFile> file = RunFile::reopen(path, error);
    if (!file)
        return std::nullopt;
    std::optional<StoredRun> stored = readRunFile(path, error);
    if (!stored)
        return std::nullopt;
    if (stored->ended) {
        error = path + " has ended; nothing to resume";
        return std::nullopt;
    }
    return HeldRun{std::move(*file), std::move(*stored)};
}

std::string resumeRefusal(const HeldRun& held, const Reference& now) {
    const std::string differs = referenceDifferences(held.stored.reference, now);
    if (differs.empty())
        return std::string();
    return held.file.path() + " runs on " + held.stored.reference.description() +
           "; this instrument differs: " + differs;
}

}  // namespace vornex::verify
