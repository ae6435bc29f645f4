#include "report/DocumentKind.h"

#include "verify/Profile.h"

namespace vornex {

namespace {

bool namesPart(const std::string& standard, const char* part) {
    return standard.find(part) != std::string::npos;
}

}  // namespace

DocumentKind documentKind(const verify::RunPlan& plan) {
    const char* part = verify::calibrates(plan.standard)    ? "6789-2"
                       : namesPart(plan.standard, "6789-1") ? "6789-1"
                                                            : nullptr;
    if (!part)
        return {};
    for (const verify::Profile& asked : verify::builtInProfiles()) {
        if (!namesPart(asked.standard, part))
            continue;
        const Shortfall s{static_cast<int>(asked.points.size()),
                          static_cast<int>(plan.points.size()),
                          asked.readings,
                          plan.readings,
                          asked.preloads,
                          plan.preloads};
        if (s.points < s.pointsAsked || s.readings < s.readingsAsked ||
            s.preloads < s.preloadsAsked)
            return {DocumentKind::Kind::Record, s};
        return {verify::calibrates(plan.standard) ? DocumentKind::Kind::Calibration
                                                  : DocumentKind::Kind::Declaration,
                std::nullopt};
    }
    return {};
}

}  // namespace vornex
