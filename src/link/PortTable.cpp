#include "link/PortTable.h"

#include <algorithm>

namespace vornex {

void PortTable::fill(const std::vector<std::string>& ports) {
    const size_t n = std::min(ports.size(), static_cast<size_t>(kSlots));
    entries_.assign(ports.begin(), ports.begin() + static_cast<std::ptrdiff_t>(n));
    selected_ = entries_.empty() ? -1 : 0;
}

bool PortTable::refresh(const std::vector<std::string>& ports) {
    const std::string previous = selected();
    fill(ports);
    if (previous.empty())
        return true;
    return select(previous);
}

std::string PortTable::selected() const {
    return selected_ < 0 ? std::string() : entries_[static_cast<size_t>(selected_)];
}

bool PortTable::select(int index) {
    if (index < 0 || index >= static_cast<int>(entries_.size()))
        return false;
    selected_ = index;
    return true;
}

bool PortTable::select(const std::string& port) {
    const auto it = std::find(entries_.begin(), entries_.end(), port);
    if (it == entries_.end())
        return false;
    selected_ = static_cast<int>(it - entries_.begin());
    return true;
}

}  // namespace vornex
