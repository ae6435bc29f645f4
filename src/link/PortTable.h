#pragma once

#include <string>
#include <vector>

namespace vornex {

// The port list: at most 20 port paths in the order found, with one selected entry. Every fill
// selects the first entry; an empty table has no selection.
class PortTable {
public:
    static constexpr int kSlots = 20;

    // Replaces the content with the first kSlots ports and selects the first.
    void fill(const std::vector<std::string>& ports);
    // Fills anew and keeps the selected port if it is still there. Returns false when the selected
    // port is gone, in which case the first entry is selected.
    bool refresh(const std::vector<std::string>& ports);

    const std::vector<std::string>& entries() const { return entries_; }
    bool empty() const { return entries_.empty(); }
    int selectedIndex() const { return selected_; }
    std::string selected() const;
    bool select(int index);
    bool select(const std::string& port);

private:
    std::vector<std::string> entries_;
    int selected_ = -1;
};

}  // namespace vornex
