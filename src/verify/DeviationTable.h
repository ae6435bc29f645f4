#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vornex::verify {

// One tool class's permissible deviation: `above` percent for tools whose maximum is above the
// limit, `atOrBelow` percent for the others. The limit is in N.m.
struct DeviationRow {
    std::string toolClass;
    double above = 0.0;
    double atOrBelow = 0.0;
    double limitNm = 10.0;
};

using DeviationTable = std::vector<DeviationRow>;

// The classes of one type of tool, class A first: "I" the indicating tools (A to E), any other
// type the setting tools (type II, A to G).
const DeviationTable& standardDeviationTable(std::string_view type = "II");

// N.m in one unit of the instrument's unit names ("N.m", "kgf.cm", "ft.lbf", "in.lfb"); nothing
// for a unit that is no torque.
std::optional<double> newtonMetresPer(std::string_view unit);

// The permissible deviation in percent for a tool of this class and maximum (in `unit`); nothing
// when the table has no such class or the unit is unknown. Classes match without regard to case.
std::optional<double> permissibleDeviation(const DeviationTable& table, std::string_view toolClass,
                                           double maximum, std::string_view unit);

}  // namespace vornex::verify
