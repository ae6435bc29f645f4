#include "spc/RunRules.h"

#include <algorithm>
#include <functional>

namespace vornex::spc {

namespace {

// How many of the `count` points ending at `last` satisfy `test`; 0 when fewer points exist.
size_t countOf(const std::vector<double>& z, size_t last, size_t count,
               const std::function<bool(double)>& test) {
    if (last + 1 < count)
        return 0;
    size_t n = 0;
    for (size_t i = last + 1 - count; i <= last; ++i)
        n += test(z[i]) ? 1 : 0;
    return n;
}

bool allOf(const std::vector<double>& z, size_t last, size_t count,
           const std::function<bool(double)>& test) {
    return last + 1 >= count && countOf(z, last, count, test) == count;
}

// The last `count` points each step the same way as the one before (rising, or falling).
bool trend(const std::vector<double>& z, size_t last, size_t count) {
    if (last + 1 < count)
        return false;
    bool up = true, down = true;
    for (size_t i = last + 2 - count; i <= last; ++i) {
        up = up && z[i] > z[i - 1];
        down = down && z[i] < z[i - 1];
    }
    return up || down;
}

// The last `count` points go up and down in turn.
bool alternating(const std::vector<double>& z, size_t last, size_t count) {
    if (last + 1 < count)
        return false;
    for (size_t i = last + 2 - count; i <= last; ++i) {
        const double step = z[i] - z[i - 1];
        if (step == 0.0)
            return false;
        if (i > last + 2 - count && (step > 0.0) == (z[i - 1] - z[i - 2] > 0.0))
            return false;
    }
    return true;
}

bool broken(int rule, const std::vector<double>& z, size_t k) {
    const auto above = [](double limit) { return [limit](double v) { return v > limit; }; };
    const auto below = [](double limit) { return [limit](double v) { return v < -limit; }; };
    switch (rule) {
        case 1:
            return z[k] > 3.0 || z[k] < -3.0;
        case 2:
            return allOf(z, k, 9, above(0.0)) || allOf(z, k, 9, below(0.0));
        case 3:
            return trend(z, k, 6);
        case 4:
            return alternating(z, k, 14);
        case 5:
            return countOf(z, k, 3, above(2.0)) >= 2 || countOf(z, k, 3, below(2.0)) >= 2;
        case 6:
            return countOf(z, k, 5, above(1.0)) >= 4 || countOf(z, k, 5, below(1.0)) >= 4;
        case 7:
            return allOf(z, k, 15, [](double v) { return v > -1.0 && v < 1.0; });
        case 8:
            return allOf(z, k, 8, [](double v) { return v > 1.0 || v < -1.0; }) &&
                   countOf(z, k, 8, above(1.0)) > 0 && countOf(z, k, 8, below(1.0)) > 0;
        default:
            return false;
    }
}

}  // namespace

std::optional<RuleSet> parseRules(std::string_view list) {
    RuleSet rules;
    size_t at = 0;
    while (at < list.size()) {
        const size_t comma = std::min(list.find(',', at), list.size());
        std::string_view part = list.substr(at, comma - at);
        while (!part.empty() && part.front() == ' ')
            part.remove_prefix(1);
        while (!part.empty() && part.back() == ' ')
            part.remove_suffix(1);
        if (part.size() != 1 || part[0] < '1' || part[0] > '0' + kRuleCount)
            return std::nullopt;
        const size_t rule = static_cast<size_t>(part[0] - '1');
        if (rules.test(rule))
            return std::nullopt;
        rules.set(rule);
        at = comma + 1;
        if (comma + 1 == list.size())
            return std::nullopt;  // a list ending in a comma
    }
    return rules;
}

std::vector<RuleBreak> ruleBreaks(const std::vector<double>& points, double centre, double sigma,
                                  const RuleSet& rules) {
    std::vector<RuleBreak> breaks;
    if (!(sigma > 0.0))
        return breaks;
    std::vector<double> z;
    z.reserve(points.size());
    for (double p : points)
        z.push_back((p - centre) / sigma);
    for (size_t k = 0; k < z.size(); ++k) {
        for (int rule = 1; rule <= kRuleCount; ++rule) {
            if (rules.test(static_cast<size_t>(rule - 1)) && broken(rule, z, k))
                breaks.push_back({rule, k});
        }
    }
    return breaks;
}

}  // namespace vornex::spc
