#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "work/BackgroundWorker.h"

namespace vornex {

// Whether a network port takes a connection now, found out on a thread of its own. A gateway that
// answers nothing holds a connect for its whole timeout, and a host name for as long as the name
// service takes: a window that waits for its line must not wait for either.
class LineProbe {
public:
    enum class Answer { Trying, Reachable };

    // Reachable when the last try of `port` connected; otherwise starts the next try, unless one
    // still runs. A try of another port is let finish first and its answer dropped. What is not a
    // network address is never reachable here.
    Answer ask(const std::string& port);

private:
    // What the thread found, taken by the next ask.
    struct Try {
        bool ended = false;
        bool connected = false;
    };

    std::string port_;
    std::mutex mutex_;
    std::optional<Try> try_;  // none before the first try and after its answer was taken
    // Begun with the first try: a session that never waits for a gateway has no thread for it.
    std::optional<BackgroundWorker> worker_;
};

}  // namespace vornex
