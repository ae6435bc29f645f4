#pragma once

#include <string>

#include "link/LinkResult.h"

namespace vornex::cli {

// Why a slave's exchange failed, for stderr: "slave 4 does not answer" when nothing came back,
// else what came instead ("slave 4: the instrument refused the request (exception 2: ...)").
inline std::string slaveFailureText(int slave, const LinkResult& result) {
    const std::string name = "slave " + std::to_string(slave);
    return result.kind() == LinkResult::Kind::Timeout ? name + " does not answer"
                                                      : name + ": " + result.describe();
}

}  // namespace vornex::cli
