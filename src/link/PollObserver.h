#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "link/PresenceState.h"

namespace vornex {

// One device record as it stands at the end of a pass.
struct RecordSnapshot {
    uint8_t address = 0;
    PresenceState presence = PresenceState::Unidentified;
    bool hasValue = false;  // a live value has been read at least once
    std::string valueText;  // meaningful only with hasValue
    std::string unitText;
};

// What the acquisition thread reports. Every call comes on the acquisition thread; a window
// implementation hands the news to its own thread. Every method does nothing unless overridden.
class PollObserver {
public:
    virtual ~PollObserver() = default;

    // The value or unit text of the displayed instrument differs from what was last reported.
    virtual void displayChanged(const std::string& /*valueText*/, const std::string& /*unitText*/) {
    }
    // Record `index` of the device table changed its presence state.
    virtual void presenceChanged(size_t /*index*/, uint8_t /*address*/, PresenceState /*state*/) {}
    // Record `index` answered the merged live read wrongly (an exception, a reply of another
    // length, a range other than at identification): it is read with four requests from now on.
    // Told once per instrument.
    virtual void fastPassRefused(size_t /*index*/, uint8_t /*address*/) {}
    // A pass over the table ended; `pass` counts from 1.
    virtual void passEnded(unsigned /*pass*/, const std::vector<RecordSnapshot>& /*records*/) {}
    // The table was empty, so polling ended at once; the interface returns to "unlinked".
    virtual void stoppedOnEmptyTable() {}
    // The port vanished under the link; polling has ended as on port removal.
    virtual void portLost(const std::string& /*reason*/) {}
    // The thread closed the link and is about to end: a new connect may follow.
    virtual void pollingEnded() {}
};

}  // namespace vornex
