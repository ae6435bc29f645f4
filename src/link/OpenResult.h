#pragma once

namespace vornex {

// What opening a line came to, for all who open one: a link on a serial port or a gateway, a
// poller starting on it, and the settings and upload windows' links, which also ask their
// instrument before they hold the line for theirs.
enum class OpenResult {
    Opened,
    InUse,          // another link holds the port
    CannotOpen,     // absent, not a tty, refused by the system, or no such address
    UnknownHost,    // a network port whose host name does not resolve
    Refused,        // a network port where nothing listens, or that did not answer the connection
    StillStopping,  // a poller's previous acquisition thread has not ended yet
    NoAnswer,       // the line opened, but the instrument asked for did not answer; it is closed
};

}  // namespace vornex
