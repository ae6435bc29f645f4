#pragma once

#include <map>
#include <string>

namespace vornex {

// The complete pulls recorded with the tool `id` (a test's Tool field) in the tests of the home
// folder's Data/ (home ends in "/"), and the pulls of its verification runs there, started on or
// after `since` (YYYY-MM-DD; empty: all). Tests that cannot be read are counted in `unread`.
struct ToolCycles {
    long pulls = 0;
    int tests = 0;
    int runs = 0;
    int unread = 0;
};
ToolCycles countToolCycles(const std::string& home, const std::string& id,
                           const std::string& since);
// The same for many tools in one walk of Data/: each tool's identifier with the day its count
// starts after, and each one's cycles back.
std::map<std::string, ToolCycles> countToolsCycles(const std::string& home,
                                                   const std::map<std::string, std::string>& since);

}  // namespace vornex
