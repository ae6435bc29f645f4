#pragma once

#include "record/SessionState.h"

namespace vornex {

// The enabling rows of the six toolbar buttons (Start, Stop, Zoom, Move, Measure, Print).
enum class ToolbarState {
    Initial,    // all off
    Linked,     // Start on
    Recording,  // Stop on
    Stopped,    // all on but Stop
    Unlinked,   // all off
};

// The row that shows a session's state. A recording, running or wanted back, can be stopped; a
// stopped test can be looked at and recorded on while its line is held; a closed test leaves the
// graph free to look at and Start to say that no test is open.
inline ToolbarState toolbarStateFor(const SessionState& state) {
    if (state.test == TestState::Recording)
        return ToolbarState::Recording;
    if (state.test == TestState::Closed || (state.test == TestState::Stopped && state.lineHeld()))
        return ToolbarState::Stopped;
    if (state.lineHeld())
        return ToolbarState::Linked;
    return state.test == TestState::None ? ToolbarState::Initial : ToolbarState::Unlinked;
}

}  // namespace vornex
