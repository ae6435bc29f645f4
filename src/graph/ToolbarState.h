#pragma once

namespace vornex {

// The enabling rows of the six toolbar buttons (Start, Stop, Zoom, Move, Measure, Print).
enum class ToolbarState {
    Initial,    // all off
    Linked,     // Start on
    Recording,  // Stop on
    Stopped,    // all on but Stop
    Unlinked,   // all off
};

}  // namespace vornex
