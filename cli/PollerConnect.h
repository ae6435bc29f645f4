#pragma once

#include <QString>

#include "link/Poller.h"

namespace vornex::cli {

// Connects the poller to port. False, after a message on stderr naming the command, when the
// port cannot be opened or is held by another program.
bool connectPoller(Poller& poller, const QString& port, const char* command);

}  // namespace vornex::cli
