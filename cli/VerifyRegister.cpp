#include "VerifyRegister.h"

#include <QDate>
#include <cstdio>

#include "register/DueDates.h"
#include "register/LabRegister.h"
#include "register/RunInRegister.h"
#include "text/NumberText.h"

namespace vornex::cli {

namespace {

void fail(const std::string& text) {
    std::fprintf(stderr, "vornex-cli verify: %s\n", text.c_str());
}

}  // namespace

std::optional<MeasuredContributions> reusedContributions(const std::string& home,
                                                         const verify::Profile& profile,
                                                         verify::RunPlan& plan) {
    std::string error;
    std::optional<MeasuredContributions> reused =
        takeValidContributions(home, profile, plan, QDate::currentDate(), error);
    if (!error.empty())
        fail("warning: the sub-tests are measured again: " + error);
    if (reused)
        fail("the sub-tests' contributions of " + contributionsOrigin(*reused) + " are taken");
    return reused;
}

void tellRegister(const std::string& home, const verify::VerificationRun& run) {
    const verify::RunPlan& plan = run.plan();
    const bool conforms = run.progress().conforms();
    if (std::string error; !enterRunContributions(home, run, QDate::currentDate(), error))
        fail("the sub-tests' contributions are not kept with the tool: " + error);
    const RunInRegister entered =
        enterRun(LabRegister(home), plan.tool.id, conforms, plan.condition, QDate::currentDate());
    if (!entered.error.empty()) {
        fail("the register is not told of the run: " + entered.error);
        return;
    }
    if (entered.due.isValid())
        fail("tool " + plan.tool.id + " verified good: due " +
             entered.due.toString(Qt::ISODate).toStdString());
    if (entered.halvedMonths || entered.halvedCycles) {
        std::string halved;
        if (entered.halvedMonths)
            halved += " --interval-months " + std::to_string(*entered.halvedMonths);
        if (entered.halvedCycles)
            halved += " --interval-cycles " + std::to_string(*entered.halvedCycles);
        fail("tool " + plan.tool.id +
             " found out of tolerance: its interval may be halved "
             "(register add-tool " +
             plan.tool.id + " ..." + halved +
             "); what it touched: "
             "register impact --tool " +
             plan.tool.id);
    }
}

std::optional<RegisteredReference> registeredReference(const std::string& asset,
                                                       const std::string& home,
                                                       const verify::RunPlan& plan,
                                                       const std::string& overdueReason) {
    const LabRegister lab(home);
    std::string error;
    const std::optional<RegisteredReference> found = lab.reference(asset, error);
    if (!found) {
        fail(error.empty() ? "the register holds no reference " + asset : error);
        return std::nullopt;
    }
    if (referenceDue(*found, QDate::currentDate()).state == DueState::Overdue &&
        overdueReason.empty()) {
        fail("reference " + asset + " overdue since " +
             (found->due.empty() ? std::string("ever: it has no due date") : found->due));
        return std::nullopt;
    }
    for (size_t point = 0; point < plan.points.size(); ++point) {
        const double torque = plan.tool.maximum * plan.points[point] / 100.0;
        if (torque < found->lowest) {
            fail("the point of " + plainNumber(torque) + " " + plan.tool.unit +
                 " lies below the lowest torque reference " + asset + "'s certificate covers, " +
                 plainNumber(found->lowest) + " " + found->unit);
            return std::nullopt;
        }
    }
    return found;
}

}  // namespace vornex::cli
