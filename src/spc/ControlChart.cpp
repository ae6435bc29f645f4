#include "spc/ControlChart.h"

#include <algorithm>
#include <cmath>
#include <numeric>

#include "spc/ChartConstants.h"

namespace vornex::spc {

namespace {

double meanOf(const double* values, size_t n) {
    return std::accumulate(values, values + n, 0.0) / static_cast<double>(n);
}

double sdOf(const double* values, size_t n) {
    if (n < 2)
        return 0.0;
    const double mean = meanOf(values, n);
    double squares = 0.0;
    for (size_t i = 0; i < n; ++i)
        squares += (values[i] - mean) * (values[i] - mean);
    return std::sqrt(squares / static_cast<double>(n - 1));
}

// Capability figures of a spread, unset where a tolerance is missing or the spread is rounding.
void capabilityOf(double sigma, double mean, const Tolerance& t, double resolution,
                  std::optional<double>& c, std::optional<double>& ck) {
    if (!(sigma >= resolution) || !(sigma > 0.0))
        return;
    c = (t.high - t.low) / (6.0 * sigma);
    ck = std::min(t.high - mean, mean - t.low) / (3.0 * sigma);
}

}  // namespace

std::optional<MachineCapability> machineCapability(const std::vector<double>& values,
                                                   const Tolerance& tolerance, double resolution) {
    std::optional<double> cm, cmk;
    if (values.size() >= 2)
        capabilityOf(sdOf(values.data(), values.size()), meanOf(values.data(), values.size()),
                     tolerance, resolution, cm, cmk);
    if (!cm)
        return std::nullopt;
    // VDI/VDE 2645-2's thresholds for a tool fit for the joint.
    return MachineCapability{*cm, *cmk, *cm >= 1.67 && *cmk >= 1.33};
}

SpcAnalysis analyse(const std::vector<double>& values, const SpcRequest& request) {
    SpcAnalysis a;
    const size_t n =
        static_cast<size_t>(std::clamp(request.subgroupSize, kMinSubgroup, kMaxSubgroup));
    const ChartConstants& k = chartConstants(static_cast<int>(n));
    const bool bySd = request.chart == Chart::XbarS;
    for (size_t first = 0; first + n <= values.size(); first += n) {
        const double* v = values.data() + first;
        const auto [low, high] = std::minmax_element(v, v + n);
        a.subgroups.push_back({first, n, meanOf(v, n), bySd ? sdOf(v, n) : *high - *low});
    }
    a.leftOut = values.size() - a.subgroups.size() * n;
    if (a.subgroups.empty()) {
        a.problem = "fewer pulls than one subgroup of " + std::to_string(n);
        return a;
    }

    std::vector<double> means, spreads;
    for (const Subgroup& s : a.subgroups) {
        means.push_back(s.mean);
        spreads.push_back(s.spread);
    }
    const double grand = meanOf(means.data(), means.size());
    const double meanSpread = meanOf(spreads.data(), spreads.size());
    a.sigma = meanSpread / (bySd ? k.c4 : k.d2);
    if (request.limits == LimitSource::Data) {
        const double reach = (bySd ? k.A3 : k.A2) * meanSpread;
        a.xbar = ChartLimits{grand - reach, grand, grand + reach};
        a.spread = bySd ? ChartLimits{k.B3 * meanSpread, meanSpread, k.B4 * meanSpread}
                        : ChartLimits{k.D3 * meanSpread, meanSpread, k.D4 * meanSpread};
    } else if (request.tolerance) {
        // A process of Cp 1 on the tolerance: six of its sigma fill the band.
        const Tolerance& t = *request.tolerance;
        const double sigma = (t.high - t.low) / 6.0;
        const double reach = 3.0 * sigma / std::sqrt(static_cast<double>(n));
        a.xbar = ChartLimits{t.target - reach, t.target, t.target + reach};
        a.spread = bySd ? ChartLimits{k.B5 * sigma, k.c4 * sigma, k.B6 * sigma}
                        : ChartLimits{k.D3 * k.d2 * sigma, k.d2 * sigma, k.D4 * k.d2 * sigma};
    } else {
        a.problem = "no tolerance to take the limits from";
    }
    if (a.xbar) {
        a.breaks = ruleBreaks(means, a.xbar->cl, (a.xbar->ucl - a.xbar->cl) / 3.0, request.rules);
        for (size_t i = 0; i < spreads.size(); ++i) {
            if (spreads[i] > a.spread->ucl || spreads[i] < a.spread->lcl)
                a.spreadBreaks.push_back(i);
        }
    }
    if (request.tolerance) {
        const std::vector<double> taken(values.begin(),
                                        values.end() - static_cast<long>(a.leftOut));
        capabilityOf(*a.sigma, grand, *request.tolerance, request.resolution, a.capability.cp,
                     a.capability.cpk);
        capabilityOf(sdOf(taken.data(), taken.size()), grand, *request.tolerance,
                     request.resolution, a.capability.pp, a.capability.ppk);
        if (a.subgroups.size() == 1 && n >= kMachineStudyPulls)
            a.machine = machineCapability(taken, *request.tolerance, request.resolution);
    }
    return a;
}

std::vector<ListedBreak> listedBreaks(const SpcAnalysis& analysis) {
    // Both lists are in subgroup order: merged in one pass, however many breaks a long history has.
    std::vector<ListedBreak> listed;
    listed.reserve(analysis.breaks.size() + analysis.spreadBreaks.size());
    auto spread = analysis.spreadBreaks.begin();
    for (const RuleBreak& b : analysis.breaks) {
        for (; spread != analysis.spreadBreaks.end() && *spread < b.point; ++spread)
            listed.push_back({*spread, 0});
        listed.push_back({b.point, b.rule});
    }
    for (; spread != analysis.spreadBreaks.end(); ++spread)
        listed.push_back({*spread, 0});
    return listed;
}

}  // namespace vornex::spc
