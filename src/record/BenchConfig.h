#pragma once

#include <QString>
#include <map>
#include <string>
#include <vector>

#include "record/CompanionFile.h"

namespace vornex {

// What config.ini keeps about the bench: its name (`[Setting] Bench=`, else the host's name), the
// operator, tool and note the last New test was given (`[NewTest]`), the name the user gave each
// address on each port (`[Names:PORT]`, keyed by address), the network ports typed into the port
// list (`[Ports]`, keys 1..kMaxTypedPorts, the latest first), and the calibration due date of each
// reference instrument (`[CalibrationDue]`, keyed by its identification). Every call goes to the
// file.
class BenchConfig {
public:
    static constexpr int kMaxText = 256;
    static constexpr int kMaxTypedPorts = 20;

    explicit BenchConfig(QString configFile) : configFile_(std::move(configFile)) {}

    std::string bench() const;
    // The fields of the last New test; its bench and version are left empty.
    TestTrace lastTrace() const;
    // False when the file cannot be written.
    bool rememberTrace(const TestTrace& trace) const;

    // Names of the addresses on `port` that have one.
    std::map<int, std::string> deviceNames(const std::string& port) const;
    // False when the file cannot be written or the port's name cannot name a section.
    bool setDeviceName(const std::string& port, int address, const std::string& name) const;

    // The network ports typed in, the latest first.
    std::vector<std::string> typedPorts() const;
    // Puts the port first among those typed in, keeping at most kMaxTypedPorts; false when the
    // file cannot be written.
    bool rememberTypedPort(const std::string& port) const;
    // As entered, empty when none was; false when the file cannot be written.
    std::string calibrationDue(const std::string& identification) const;
    bool setCalibrationDue(const std::string& identification, const std::string& date) const;

private:
    QString configFile_;
};

}  // namespace vornex
