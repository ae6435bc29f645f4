#pragma once

#include <QString>
#include <QStringList>
#include <string>

#include "store/StoreResult.h"

namespace vornex::store {

// Where the store is, as libpq takes it: a URI ("postgresql://host/db?sslmode=verify-full"), a
// "key=value" string, or the name of a service in the user's service file. Passwords come from
// libpq's own files, never from the address: an address with one is refused.
struct StoreAddress {
    std::string conninfo;  // empty when none is configured or it was refused
    StoreResult result;    // why the address given was refused
    // A service file whose entry for the address's service holds a password that others can
    // read, and its permission bits; libpq uses the password all the same.
    std::string exposedFile;
    unsigned exposedMode = 0;

    bool configured() const { return !conninfo.empty(); }
};

StoreAddress storeAddress(const std::string& given);

// "FILE holds a password and is readable by others (mode 0644)", empty when nothing is exposed.
std::string exposureWarning(const StoreAddress& address);

// The address `--uri URI` names, else config.ini's `[Store] Uri=` in the home folder that the
// arguments name.
StoreAddress configuredStore(const QStringList& arguments);
// config.ini's `[Store] Uri=`, refused as above; nothing configured when it is empty.
StoreAddress configuredStore(const QString& configFile);

}  // namespace vornex::store
