#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace vornex::store {

// Where the store is, as libpq takes it: a URI ("postgresql://host/db?sslmode=verify-full"), a
// "key=value" string, or the name of a service in the user's service file. Passwords come from
// libpq's own files, never from the address: an address with one is refused.
struct StoreAddress {
    std::string conninfo;  // empty when none is configured or it was refused
    std::string refusal;   // why the address given was refused

    bool configured() const { return !conninfo.empty(); }
};

StoreAddress storeAddress(const std::string& given);

// The address `--uri URI` names, else config.ini's `[Store] Uri=` in the home folder that the
// arguments name.
StoreAddress configuredStore(const QStringList& arguments);
// config.ini's `[Store] Uri=`, refused as above; nothing configured when it is empty.
StoreAddress configuredStore(const QString& configFile);

}  // namespace vornex::store
