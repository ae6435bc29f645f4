#pragma once

#include <string>

#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// Binds a bench's login to the bench name its rows carry (vornex_bench_logins): the server
// refuses a row of any other bench from that login. Binding a login again to the same bench
// changes nothing; to another bench, it is refused.
StoreResult bindBenchLogin(PgConnection& connection, const std::string& bench,
                           const std::string& login);

}  // namespace vornex::store
