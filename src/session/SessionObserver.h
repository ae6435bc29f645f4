#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "link/PollObserver.h"
#include "link/PresenceState.h"
#include "record/RecordingObserver.h"
#include "session/SessionState.h"

namespace vornex {

// What an acquisition session tells its observers. Every method does nothing unless overridden.
// Each says the thread it comes from: the controlling thread (the one that calls the session),
// the acquisition thread or the file-writer thread. A window posts what comes from another
// thread to its own. Calls reach the observers one at a time, in the order they subscribed; an
// observer must not subscribe, unsubscribe or call into the session from inside a call.
class SessionObserver {
public:
    virtual ~SessionObserver() = default;

    // Controlling thread: what the session is doing changed; it comes after the news of the event
    // that changed it. The one account of the session a window shows.
    virtual void stateChanged(const SessionState& /*state*/) {}

    // Link. Controlling thread: Connect succeeded; Disconnect was asked for.
    virtual void linkConnected() {}
    virtual void linkDisconnected() {}
    // Acquisition thread: the table was empty, so polling ended at once by itself.
    virtual void stoppedOnEmptyTable() {}
    // Acquisition thread when the line vanished under a pass, controlling thread when the port
    // left the port list; one loss may be told both ways. Polling ends, and a running recording
    // stops (on the controlling thread, at its next tick, when the loss came from the line).
    virtual void portLost(const std::string& /*reason*/) {}
    // Controlling thread: the connected line was lost (its port vanished or failed) at `at`, and
    // the session waits for it to come back, keeping the device table and the open test; a
    // recording that ran has stopped and is wanted back. Disconnect, Connect and Close test end the
    // wait (Disconnect and Close test as linkDisconnected).
    virtual void lineLost(std::time_t /*at*/) {}
    // Controlling thread: the lost line is polled again since `at`, on `port` (the same adapter may
    // come back at another node), after `secondsWithoutReadings`; a wanted recording runs again,
    // into the same test.
    virtual void lineBack(std::time_t /*at*/, double /*secondsWithoutReadings*/,
                          const std::string& /*port*/) {}
    // Acquisition thread: the link is closed and the thread about to end; a new Connect may follow
    // once the session no longer reports polling as active.
    virtual void pollingEnded() {}

    // Acquisition thread: what the displayed instrument shows changed; a record's presence
    // changed; a pass over the table ended (`pass` counts from 1).
    virtual void displayChanged(const std::string& /*valueText*/, const std::string& /*unitText*/) {
    }
    virtual void presenceChanged(size_t /*index*/, uint8_t /*address*/, PresenceState /*state*/) {}
    virtual void passEnded(unsigned /*pass*/, const std::vector<RecordSnapshot>& /*records*/) {}

    // Controlling thread: a recording started or ended; a test was opened or closed.
    virtual void recordingChanged(RecordingState /*state*/) {}
    virtual void testOpened(const std::string& /*path*/) {}
    virtual void testClosed(const std::string& /*path*/) {}

    // File-writer thread, or the controlling thread when it flushes: the first failed append to
    // `path` since it last worked (its points stay queued and are tried again); appends work
    // again.
    virtual void appendFailed(const std::string& /*path*/, const std::string& /*reason*/) {}
    virtual void appendRecovered(const std::string& /*path*/) {}
    // File-writer thread: the append asked for at Close test of `path` has run; `unwritten` of its
    // points are still queued (a failure was reported and they are retried).
    virtual void closedTestWritten(const std::string& /*path*/, size_t /*unwritten*/) {}
    // Controlling thread, while the session ends: points that could not be written to `path`,
    // and why.
    virtual void pointsUnwritten(const std::string& /*path*/, size_t /*count*/,
                                 const std::string& /*reason*/) {}
};

}  // namespace vornex
