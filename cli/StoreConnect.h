#pragma once

#include <QStringList>
#include <memory>

#include "store/PgConnection.h"

namespace vornex::cli {

// The store the arguments name (--uri, else the home's config.ini), connected, or nothing once
// the refusal is said on standard error as `command`'s; a store open to other hosts is warned of.
std::unique_ptr<store::PgConnection> connectedStore(const QStringList& args, const char* command);

}  // namespace vornex::cli
