#include "text/AddressList.h"

#include "text/NumberText.h"

namespace vornex {

namespace {

std::string_view trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::optional<std::vector<int>> parseAddressList(std::string_view text, int lastAddress) {
    std::vector<int> addresses;
    std::vector<bool> named(static_cast<size_t>(lastAddress) + 1, false);
    for (;;) {
        const auto comma = text.find(',');
        const std::string_view item = text.substr(0, comma);
        const auto dash = item.find('-');
        long first = 0;
        long last = 0;
        if (dash == std::string_view::npos) {
            if (!parseLong(trimmed(item), 1, lastAddress, first))
                return std::nullopt;
            last = first;
        } else if (!parseLong(trimmed(item.substr(0, dash)), 1, lastAddress, first) ||
                   !parseLong(trimmed(item.substr(dash + 1)), first, lastAddress, last)) {
            return std::nullopt;
        }
        for (long address = first; address <= last; ++address) {
            if (named[static_cast<size_t>(address)])
                return std::nullopt;
            named[static_cast<size_t>(address)] = true;
            addresses.push_back(static_cast<int>(address));
        }
        if (comma == std::string_view::npos)
            return addresses;
        text.remove_prefix(comma + 1);
    }
}

}  // namespace vornex
