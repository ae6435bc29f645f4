#include "verify/RunBudget.h"

#include <cmath>

#include "text/NumberText.h"

namespace vornex::verify {

std::vector<PointBudget> runBudgets(const RunProgress& progress, const Contributions& known) {
    const RunPlan& plan = progress.plan();
    std::vector<PointBudget> budgets;
    for (const Direction direction : plan.series()) {
        for (size_t point = 0; point < plan.points.size(); ++point) {
            BudgetInput in;
            for (const Reading& r : progress.readings()) {
                if (r.point == point && r.direction == direction)
                    in.readings.push_back(std::fabs(r.value));
            }
            if (in.readings.empty())
                continue;
            double sum = 0.0;
            for (double v : in.readings)
                sum += v;
            in.target = plan.indicating() ? sum / static_cast<double>(in.readings.size())
                                          : std::fabs(plan.setting(point));
            in.resolution = plan.resolution.value_or(0.0);
            in.contributions = known;
            in.referenceUncertainty = plan.referenceUncertainty.value_or(0.0);
            in.meanDeviation = progress.summary(point, direction).meanDeviation;
            budgets.push_back({direction, point, in.target, uncertaintyBudget(in)});
        }
    }
    return budgets;
}

std::string uncertaintyLine(const RunPlan& plan, const PointBudget& b) {
    return "uncertainty " + plainNumber(plan.points[b.point]) + " " +
           formatFixed(b.budget.expanded, 2) + " " + formatFixed(b.budget.interval, 2);
}

}  // namespace vornex::verify
