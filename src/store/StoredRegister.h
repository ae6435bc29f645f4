#pragma once

#include <optional>
#include <string>
#include <vector>

#include "register/RegisterRecords.h"
#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// The store's register as its views give it: each entry's latest state, in the order first
// entered, as the home folder's LabRegister gives its own.
StoreAnswer<std::vector<RegisteredTool>> storedTools(PgConnection& connection);
StoreAnswer<std::vector<RegisteredReference>> storedReferences(PgConnection& connection);

// One row of the store's vornex_due: tools first, then references, each in the register's order.
struct StoredDue {
    std::string state, kind, id;
    std::string due;               // YYYY-MM-DD, empty when no day is known
    std::optional<long> cycles;    // a tool's
    std::optional<long> interval;  // the count that makes it due
};
// Reckoned on this machine's today: the session takes its time zone first.
StoreAnswer<std::vector<StoredDue>> storedDue(PgConnection& connection);

// The day the reference's current calibration was entered in the store (the first line with its
// latest due date, when an earlier line gave another), as YYYY-MM-DDThh:mm:ss in this machine's
// local time; empty when no earlier calibration is known.
StoreAnswer<std::string> storedCalibrationSince(PgConnection& connection, const std::string& asset);

// Sets the session's time zone to this machine's, so that the server's days are its days.
StoreResult useLocalTimeZone(PgConnection& connection);

}  // namespace vornex::store
