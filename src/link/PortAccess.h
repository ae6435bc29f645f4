#pragma once

#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string>

namespace vornex {

// True when the system refuses this user reading and writing an existing port. Serial devices
// belong to the group "dialout", which a new user is not in: the one cause of a failed open the
// user can mend, so the messages name it.
inline bool portAccessDenied(const std::string& port) {
    return ::access(port.c_str(), R_OK | W_OK) != 0 && errno == EACCES;
}

// True when both names lead to one device, as a by-id link and the node it points to do.
inline bool samePort(const std::string& a, const std::string& b) {
    if (a.empty() || b.empty())
        return false;
    std::error_code error;
    return a == b || std::filesystem::equivalent(a, b, error);
}

}  // namespace vornex
