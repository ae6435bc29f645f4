#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "link/PresenceState.h"

namespace vornex {

// Where the polling link stands.
enum class LineState {
    None,        // no link; Connect may open one
    Ending,      // Disconnect was asked for and the acquisition thread finishes its pass
    Connecting,  // the link is open and its first pass not over yet
    Polling,     // passes run over the device table
    Waiting,     // the line was lost and its port is tried again
};

// Where the test stands.
enum class TestState {
    None,       // no test open, none closed since the program started
    Open,       // open, not recorded into yet
    Recording,  // a recording runs, or is wanted back as soon as the lost line returns
    Stopped,    // open, its recording stopped
    Closed,     // the last test was closed and no other is open
};

// One instrument of the device table as the window may show it.
struct InstrumentState {
    uint8_t address = 0;
    PresenceState presence = PresenceState::Unidentified;
    // The last pass over a polled line read its live value; valueText is that reading.
    bool fresh = false;
    std::string valueText;
    // Empty until the instrument has told its unit.
    std::string unitText;
    // Of its readings, as last read.
    uint16_t decimals = 0;
    // It refused the merged live read and is read with four requests.
    bool fastPassRefused = false;

    bool operator==(const InstrumentState& other) const {
        return address == other.address && presence == other.presence && fresh == other.fresh &&
               valueText == other.valueText && unitText == other.unitText &&
               decimals == other.decimals && fastPassRefused == other.fastPassRefused;
    }
    bool operator!=(const InstrumentState& other) const { return !(*this == other); }
};

// What an acquisition session is doing, as one value: every pane of the window shows this and
// nothing else about the session.
struct SessionState {
    LineState line = LineState::None;
    // The port linked or waited for; empty while no link is held.
    std::string port;
    // When the line was lost, while Waiting.
    std::time_t lostAt = 0;
    TestState test = TestState::None;
    // The open test's file; empty when none is open.
    std::string testPath;
    // The device table in its order.
    std::vector<InstrumentState> instruments;
    int displayedAddress = 0;

    // The link is open, or held for its port while it is waited for.
    bool lineHeld() const {
        return line == LineState::Connecting || line == LineState::Polling ||
               line == LineState::Waiting;
    }
    bool linked() const { return line == LineState::Connecting || line == LineState::Polling; }
    bool testOpen() const {
        return test == TestState::Open || test == TestState::Recording ||
               test == TestState::Stopped;
    }
    // The instrument chosen for the value display, or nullptr.
    const InstrumentState* displayed() const {
        for (const InstrumentState& instrument : instruments) {
            if (instrument.address == displayedAddress)
                return &instrument;
        }
        return nullptr;
    }

    bool operator==(const SessionState& other) const {
        return line == other.line && port == other.port && lostAt == other.lostAt &&
               test == other.test && testPath == other.testPath &&
               instruments == other.instruments && displayedAddress == other.displayedAddress;
    }
    bool operator!=(const SessionState& other) const { return !(*this == other); }
};

}  // namespace vornex
