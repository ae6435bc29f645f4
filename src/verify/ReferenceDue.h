#pragma once

#include <ctime>
#include <optional>
#include <string>

namespace vornex::verify {

// A calibration due date as a lab writes it, YYYY-MM-DD; nothing for any other text.
struct DueDate {
    int year = 0, month = 0, day = 0;
};
std::optional<DueDate> parseDueDate(const std::string& text);

// The reference's calibration was due before the day of `at` (local time): using it on its due
// day is still in time. A due date that is not given, or no date, is not overdue.
bool referenceOverdue(const std::string& due, std::time_t at);

}  // namespace vornex::verify
