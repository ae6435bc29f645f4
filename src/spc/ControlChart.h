#pragma once

#include <optional>
#include <string>
#include <vector>

#include "spc/RunRules.h"

namespace vornex::spc {

enum class Chart { XbarR, XbarS };  // the spread of a subgroup: its range, or its sd
enum class LimitSource { Data, Tolerance };

// The band a value must lie in, and where it aims.
struct Tolerance {
    double low = 0.0, high = 0.0, target = 0.0;
};

struct SpcRequest {
    int subgroupSize = 5;  // 2 to 25
    Chart chart = Chart::XbarR;
    RuleSet rules = allRules();
    LimitSource limits = LimitSource::Data;
    std::optional<Tolerance> tolerance;
    // One unit of the instrument's last decimal: a spread below it is rounding, not a process.
    double resolution = 0.0;
};

// Consecutive values taken together, in time order.
struct Subgroup {
    size_t first = 0;  // the index of its first value
    size_t n = 0;
    double mean = 0.0;
    double spread = 0.0;  // range or sample sd, as the chart asks
};

struct ChartLimits {
    double lcl = 0.0, cl = 0.0, ucl = 0.0;
};

// Capability from the process sigma within subgroups (Cp, Cpk) and from the overall standard
// deviation (Pp, Ppk); each unset without a tolerance or with a spread below the resolution.
struct Capability {
    std::optional<double> cp, cpk, pp, ppk;
};

// A machine-capability study of one subgroup of at least kMachineStudyPulls values.
struct MachineCapability {
    double cm = 0.0, cmk = 0.0;
    bool capable = false;  // Cm >= 1.67 and Cmk >= 1.33
};
constexpr size_t kMachineStudyPulls = 25;

struct SpcAnalysis {
    std::vector<Subgroup> subgroups;
    size_t leftOut = 0;  // the last values, too few for a subgroup
    std::optional<ChartLimits> xbar, spread;
    std::vector<RuleBreak> breaks;     // of the X-bar chart; `point` is the subgroup
    std::vector<size_t> spreadBreaks;  // subgroups whose spread lies beyond its limits
    std::optional<double> sigma;       // the process sigma within subgroups
    Capability capability;
    std::optional<MachineCapability> machine;
    std::string problem;  // why no limits could be set, empty when they were
};

// Subgroups of the values, their chart's centre lines and limits (from all subgroups, or from the
// tolerance as a process of Cp 1 centred on its target), the rules' breaks, and the capability.
SpcAnalysis analyse(const std::vector<double>& values, const SpcRequest& request);

// A break on either chart as lists give them: by subgroup, and at one subgroup the X-bar chart's
// rules in their order before the spread chart's limits.
struct ListedBreak {
    size_t subgroup = 0;
    int rule = 0;  // 1-8, or 0 for the spread chart's limits
};
std::vector<ListedBreak> listedBreaks(const SpcAnalysis& analysis);

// Cm = (high - low) / 6 sd and Cmk = min(high - mean, mean - low) / 3 sd of the study's values;
// nothing below two values or with a spread below the resolution.
std::optional<MachineCapability> machineCapability(const std::vector<double>& values,
                                                   const Tolerance& tolerance, double resolution);

}  // namespace vornex::spc
