#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "files/FileResult.h"
#include "link/DeviceRecord.h"

namespace vornex {

// The settings one instrument recorded with, from test time `since` on.
struct InstrumentSettings {
    double since = 0.0;    // seconds of the test
    unsigned unit = 0;     // unit code; the readings are in this unit
    unsigned measure = 0;  // measuring-mode code
    unsigned parameterSet = 0;
    double range = 0.0;   // full scale in N.m, as the instrument reports it
    int decimals = 0;     // of the live value
    double target = 0.0;  // in the unit, 0 for none
    double upper = 0.0;   // percent of range
    double lower = 0.0;

    bool sameSettings(const InstrumentSettings& other) const;
    // The same settings from the same time.
    bool operator==(const InstrumentSettings& other) const {
        return since == other.since && sameSettings(other);
    }
    // The range in the unit the readings are in.
    double rangeInUnit() const;
};

// Who tested what on which bench. Every field may be empty but the bench's name.
struct TestTrace {
    std::string bench;  // the bench's name: config.ini [Setting] Bench=, else the host name
    std::string operatorName;
    std::string toolId;
    std::string toolDescription;
    std::string note;
    std::string version;  // of the program that recorded the test
    std::string sha256;   // of the test file as it was closed, hex; empty while it records
    // Said when the lab's register held the tool overdue as the test began: "since 2027-01-12",
    // "cycles 5000/5000" or "never verified"; empty otherwise.
    std::string toolOverdue;
};

// An instrument as the bench knows it.
struct InstrumentIdentity {
    std::string name;            // the user's name for its address, e.g. "Station 3 / SN 4711"
    std::string identification;  // its identification bytes, hex
};

// The companion of a test file: NAME.ini beside NAME.pdat, an ini file a person can read that
// tells with which settings each instrument recorded. A test file never needs it; judging uses it
// when it is there. Each instrument has one section per settings change: [Slave_A] for the
// settings it started with, then [Slave_A_2], [Slave_A_3], ... each with the `Since` it holds from.
struct Companion {
    // The test's identity, made at New test; tests recorded before it existed have none until
    // they are sent to the store.
    std::string uuid;
    std::string testName;
    std::string started;  // local date and time of the first Start, "yyyy-MM-dd HH:mm:ss"
    TestTrace trace;
    std::map<int, InstrumentIdentity> identities;  // by slave address
    // By slave address: every settings change, in time order, never empty.
    std::map<int, std::vector<InstrumentSettings>> instruments;

    // The settings an instrument ended with; null when it has none.
    const InstrumentSettings* lastSettings(int slave) const;
    const std::vector<InstrumentSettings>* history(int slave) const;
};

// A companion file as read. A value an instrument cannot hold is not believed: that instrument's
// settings are refused whole and it is judged without settings. A file that is too large, not an
// ini file, or not a regular file (a folder, a FIFO) is refused whole; a missing one is not.
struct CompanionRead {
    std::optional<Companion> companion;
    std::string refusal;  // why the file was refused whole; empty when read or missing
    // By slave address: the file, section and key refused, and why.
    std::map<int, std::string> refused;

    // One line per refusal, each saying what is judged without settings.
    std::vector<std::string> lines() const;
};

// NAME.ini for NAME.pdat (any other name gets ".ini" appended).
std::string companionPath(const std::string& testPath);

// Why `output` may not be written by a command that reads the test `testPath`: it is the test file
// itself or its companion, under whatever name or link. Empty when it may be written (an empty
// output included).
std::string testOutputRefusal(const std::string& testPath, const std::string& output);

// The settings an instrument published, as recorded from `since` on.
InstrumentSettings settingsOf(const DeviceRecord::PublishedSettings& published, double since);

// Replaces the file whole or not at all.
FileResult writeCompanion(const std::string& path, const Companion& companion);
// Sections without a valid slave address (and sequence number) are skipped. Never waits on the
// file: a FIFO is refused, not read.
CompanionRead readCompanion(const std::string& path);

}  // namespace vornex
