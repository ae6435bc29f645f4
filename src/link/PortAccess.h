#pragma once

#include <unistd.h>

#include <cerrno>
#include <string>

namespace vornex {

// True when the system refuses this user reading and writing an existing port. Serial devices
// belong to the group "dialout", which a new user is not in: the one cause of a failed open the
// user can mend, so the messages name it.
inline bool portAccessDenied(const std::string& port) {
    return ::access(port.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
}

}  // namespace vornex
