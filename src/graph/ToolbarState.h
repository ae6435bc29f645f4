#pragma once

#include "session/SessionState.h"

namespace vornex {

// The enabling rows of the six toolbar buttons (Start, Stop, Zoom, Move, Measure, Print).
enum class ToolbarState {
    Initial,    // all off
    Linked,     // Start on
    Recording,  // Stop on
    Stopped,    // all on but Stop
    Unlinked,   // all off
    Viewing,    // all on but Start and Stop
};

// The row that shows a session's state. A recording, running or wanted back, can be stopped; a
// stopped test can be looked at and recorded on while its line is held, an open one recorded on;
// a closed or loaded test leaves the graph free to look at. Start is offered only with a test to
// record into, so that it never has to refuse.
inline ToolbarState toolbarStateFor(const SessionState& state) {
    if (state.test == TestState::Recording)
        return ToolbarState::Recording;
    if (state.test == TestState::Closed)
        return ToolbarState::Viewing;
    if (state.test == TestState::Stopped && state.lineHeld())
        return ToolbarState::Stopped;
    if (state.test == TestState::Open && state.lineHeld())
        return ToolbarState::Linked;
    return state.test == TestState::None ? ToolbarState::Initial : ToolbarState::Unlinked;
}

}  // namespace vornex
