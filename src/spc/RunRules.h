#pragma once

#include <bitset>
#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace vornex::spc {

// The eight run rules of a control chart's points about their centre line, in sigma of the
// points: 1 a point beyond 3 sigma; 2 nine in a row on one side; 3 six in a row rising or
// falling; 4 fourteen in a row going up and down in turn; 5 two of three beyond 2 sigma on one
// side; 6 four of five beyond 1 sigma on one side; 7 fifteen in a row within 1 sigma; 8 eight in a
// row beyond 1 sigma, on both sides.
constexpr int kRuleCount = 8;
using RuleSet = std::bitset<kRuleCount>;  // bit 0 is rule 1
inline RuleSet allRules() {
    return RuleSet().set();
}

// The rules a list names ("1,2,5", each 1 to 8 and once; empty names none); nothing for anything
// else.
std::optional<RuleSet> parseRules(std::string_view list);

// A rule broken at a point: its pattern is complete there (nine on one side and a tenth break
// rule 2 at the ninth and the tenth).
struct RuleBreak {
    int rule = 0;      // 1 to 8
    size_t point = 0;  // from 0
};

// The breaks of the rules switched on, in point order and, at one point, rule order.
std::vector<RuleBreak> ruleBreaks(const std::vector<double>& points, double centre, double sigma,
                                  const RuleSet& rules = allRules());

}  // namespace vornex::spc
