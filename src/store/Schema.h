#pragma once

#include <string>

#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// The store's tables, built by the numbered SQL files kept with the program and applied in order;
// the database records the last one applied in vornex_schema.
int latestSchemaVersion();

struct Migration {
    int from = 0;        // the version found, 0 for an empty database
    int to = 0;          // the version now recorded
    StoreResult result;  // why nothing was changed
};

// Applies every file after the recorded version up to `upTo`, all in one transaction with the new
// version recorded, so that a failure leaves the database as it was. Two benches' administrators
// migrating at once take turns. A database newer than this program is left alone.
Migration migrateSchema(PgConnection& connection, int upTo = latestSchemaVersion());

}  // namespace vornex::store
