#include "StoreConnect.h"

#include <cstdio>

#include "store/StoreAddress.h"

namespace vornex::cli {

std::unique_ptr<store::PgConnection> connectedStore(const QStringList& args, const char* command) {
    const store::StoreAddress address = store::configuredStore(args);
    if (!address.result) {
        std::fprintf(stderr, "vornex-cli %s: %s\n", command, address.result.text.c_str());
        return nullptr;
    }
    const std::string warning = store::exposureWarning(address);
    if (!warning.empty())
        std::fprintf(stderr, "vornex-cli: warning: %s\n", warning.c_str());
    auto connection = std::make_unique<store::PgConnection>(address.conninfo);
    if (const store::StoreResult reached = connection->reached(); !reached) {
        std::fprintf(stderr, "vornex-cli %s: %s\n", command, reached.message().c_str());
        return nullptr;
    }
    return connection;
}

}  // namespace vornex::cli
