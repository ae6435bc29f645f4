#include "files/TemporaryFiles.h"

#include <unistd.h>

#include <atomic>
#include <climits>
#include <csignal>
#include <cstring>
#include <iterator>

namespace vornex {

namespace {

// A handler may run on any thread at any moment, so the paths are copies in fixed places, never
// pointers into strings their owners could free.
enum SlotState : int { kFree, kFilling, kHeld };

struct Slot {
    std::atomic<int> state{kFree};
    char path[PATH_MAX];
};

// Enough for every output one program writes at once.
Slot slots[32];

void removeAndEnd(int number) {
    for (Slot& slot : slots) {
        if (slot.state.load() == kHeld)
            ::unlink(slot.path);
    }
    // The handler was reset to the default on entry: the signal now ends the program as it would
    // have without it.
    ::raise(number);
}

}  // namespace

int registerTemporaryFile(const char* path) {
    const size_t length = std::strlen(path);
    if (length >= PATH_MAX)
        return -1;
    for (int ticket = 0; ticket < static_cast<int>(std::size(slots)); ++ticket) {
        int expected = kFree;
        if (slots[ticket].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(slots[ticket].path, path, length + 1);
            slots[ticket].state.store(kHeld);
            return ticket;
        }
    }
    return -1;
}

void unregisterTemporaryFile(int ticket) {
    if (ticket >= 0 && ticket < static_cast<int>(std::size(slots)))
        slots[ticket].state.store(kFree);
}

void removeTemporaryFilesOnSignals() {
    static_assert(std::atomic<int>::is_always_lock_free);
    for (int number : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction previous {};
        if (::sigaction(number, nullptr, &previous) != 0 || previous.sa_handler == SIG_IGN)
            continue;
        struct sigaction action {};
        action.sa_handler = removeAndEnd;
        sigemptyset(&action.sa_mask);
        action.sa_flags = SA_RESETHAND;
        ::sigaction(number, &action, nullptr);
    }
}

}  // namespace vornex
