#pragma once

#include <optional>
#include <string_view>
#include <vector>

namespace vornex {

// Slave addresses such as "1,2,3" or, with ranges, "1-5,9", in the given order: each from 1 to
// lastAddress and each named once; blanks around a number are allowed. Nullopt for anything
// else, an empty list included.
std::optional<std::vector<int>> parseAddressList(std::string_view text, int lastAddress);

}  // namespace vornex
