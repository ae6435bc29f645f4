#pragma once

#include <QDate>
#include <optional>
#include <string>

#include "register/LabRegister.h"

namespace vornex {

// What a finished verification run changed in the register, or would propose to change.
struct RunInRegister {
    bool registered = false;  // the tool is in the register
    // A run that conforms is the tool's last good verification: its new due date.
    QDate due;
    // A tool found out of tolerance as it came in: its interval halved, for the lab to accept
    // (by entering it) or not.
    std::optional<int> halvedMonths;
    std::optional<long> halvedCycles;
    std::string error;  // the register could not be read or written
};

// Enters a conforming run of a registered tool as its last good verification on `day`; for one
// that does not conform as found, proposes its interval halved. Nothing changes for a tool the
// register does not hold.
RunInRegister enterRun(const LabRegister& lab, const std::string& toolId, bool conforms,
                       const std::string& condition, const QDate& day);

}  // namespace vornex
