#pragma once

#include <string_view>

namespace vornex {

// Where an instrument of the device table stands. Communication error is an identified
// instrument whose reads failed in the last pass; it returns to identified when they succeed.
enum class PresenceState { Unidentified, Identified, Absent, CommunicationError };

inline std::string_view presenceName(PresenceState state) {
    switch (state) {
        case PresenceState::Unidentified:
            return "unidentified";
        case PresenceState::Identified:
            return "identified";
        case PresenceState::Absent:
            return "absent";
        case PresenceState::CommunicationError:
            return "communication error";
    }
    return "unidentified";
}

}  // namespace vornex
