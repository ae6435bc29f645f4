#pragma once

#include <string>
#include <vector>

#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// What sendRegister did: lines stored now, lines the store held already, and each line the
// server refused, with its reason.
struct RegisterSent {
    size_t sent = 0;
    size_t known = 0;
    std::vector<std::string> refused;
    StoreResult result;  // the register could not be read, or the server was lost
};

// Sends the lines of the home folder's register (home ends in "/") that the store does not hold
// yet, as lines of `bench` (empty: the login's own bench); each alone, so that one refused stops
// no other. A line is the same line when its bench, number and fields are: sent again, it is
// not stored again.
RegisterSent sendRegister(PgConnection& connection, const std::string& home,
                          const std::string& bench);
// The same on a connection of its own, which `interrupt` (when given) ends: nothing is asked of
// the server when the home holds no register, and a server not reached is the result.
RegisterSent sendHomeRegister(const std::string& home, const std::string& conninfo,
                              const std::string& bench, PgInterrupt* interrupt = nullptr);

}  // namespace vornex::store
