#pragma once

#include <ctime>
#include <string>

#include "link/PollObserver.h"
#include "record/AppendObserver.h"
#include "record/RecordingObserver.h"
#include "session/SessionState.h"

namespace vornex {

// What an acquisition session tells its observers: the acquisition thread's news as the poller
// tells them (PollObserver, on the acquisition thread), the recording's as the recorder tells
// them (RecordingObserver, on the controlling thread), its files' as their writer tells them
// (AppendObserver, on the file-writer thread or on the controlling thread when it flushes), and
// the session's own below, all on the controlling thread (the one that calls the session). A window
// posts what comes from another thread to its own. Every method does nothing unless overridden.
// Calls reach the observers one at a time, in the order they subscribed; an observer must not
// subscribe, unsubscribe or call into the session from inside a call. A loss of the line may be
// told twice: as the poller's portLost on the acquisition thread, and as the session's portLost
// when the port left the port list.
class SessionObserver : public PollObserver, public RecordingObserver, public AppendObserver {
public:
    // What the session is doing changed; it comes after the news of the event that changed it.
    // The one account of the session a window shows.
    virtual void stateChanged(const SessionState& /*state*/) {}

    // Connect succeeded; Disconnect was asked for.
    virtual void linkConnected() {}
    virtual void linkDisconnected() {}
    // The connected line was lost (its port vanished or failed) at `at`, and the session waits for
    // it to come back, keeping the device table and the open test; a recording that ran has
    // stopped and is wanted back. Disconnect, Connect and Close test end the wait (Disconnect and
    // Close test as linkDisconnected).
    virtual void lineLost(std::time_t /*at*/) {}
    // The lost line is polled again since `at`, on `port` (the same adapter may come back at
    // another node), after `secondsWithoutReadings`; a wanted recording runs again, into the same
    // test.
    virtual void lineBack(std::time_t /*at*/, double /*secondsWithoutReadings*/,
                          const std::string& /*port*/) {}

    // A test was opened or closed.
    virtual void testOpened(const std::string& /*path*/) {}
    virtual void testClosed(const std::string& /*path*/) {}
};

}  // namespace vornex
