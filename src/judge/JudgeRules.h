#pragma once

#include <optional>
#include <string_view>

namespace vornex::judge {

// What a peak says against an instrument's window.
enum class Verdict { Pass, Low, High, None };

// "pass", "low", "high" or "none": the words of the command-line tool and the CSV.
std::string_view verdictName(Verdict verdict);

// An instrument's target and limits in the unit it recorded in.
struct Limits {
    double range = 0.0;   // full scale; 0 when not known
    double target = 0.0;  // 0: the instrument has no target
    double upperPercent = 0.0;
    double lowerPercent = 0.0;
};

// The window a peak must fall in, bounds included.
struct Band {
    double low = 0.0;
    double high = 0.0;
    double target = 0.0;
};

// low = target - lower % of range, high = target + upper % of range; none without a target.
std::optional<Band> bandOf(const Limits& limits);

// Pass when low <= |peak| <= high, low below, high above; None without a band.
Verdict verdictOf(double peak, const std::optional<Band>& band);

// The share of the range at which an event starts.
constexpr double kThresholdShare = 0.05;

}  // namespace vornex::judge
