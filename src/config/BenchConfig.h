#pragma once

#include <QString>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "record/CompanionFile.h"

namespace vornex {

// What config.ini keeps about the bench: its name (`[Setting] Bench=`, else the host's name), its
// lab (`[Setting] Lab=`, `LabAddress=`), the operator, tool and note the last New test was given
// (`[NewTest]`), the name the user gave each address on each port (`[Names:PORT]`, keyed by
// address), the addresses in the device list of each port (`[Devices:PORT] Addresses=`, in the
// list's order), the network ports connected to after being typed into the port list (`[Ports]`,
// keys 1 up to kMaxTypedPorts, the latest first), and the calibration due date of each reference
// instrument that is no asset of the lab's register (`[CalibrationDue]`, keyed by the name the
// device list gives it; benches of earlier versions keyed it by the identification its model
// reports). A port is named in a section by configPortName. Every call goes to the file.
// How the control chart of the results panel is drawn, as `[ControlChart]` keeps it: the subgroup
// size (2 to 25), the spread charted (`Chart=range` or `sd`) and the run rules on (`Rules=`, their
// numbers, e.g. "1,2,5").
struct ControlChartSettings {
    int subgroup = 5;
    bool bySd = false;
    std::string rules = "1,2,3,4,5,6,7,8";
};

class BenchConfig {
public:
    static constexpr int kMaxText = 256;
    static constexpr int kMaxTypedPorts = 20;

    // The line `vornex --simulate` makes, whose pty path changes at every start, is kept under
    // this name.
    static constexpr const char* kSimulatedPortName = "simulated";

    explicit BenchConfig(QString configFile) : configFile_(std::move(configFile)) {}

    // The name a port's sections are kept under: the port itself, or kSimulatedPortName for the
    // simulated line's pty (TMPDIR/vornex-sim-XXXXXX/line).
    static std::string configPortName(const std::string& port);

    std::string bench() const;
    // The issuing lab printed on every report and certificate: `[Setting] Lab=` and
    // `LabAddress=`, empty when not set.
    std::string lab() const;
    std::string labAddress() const;
    // Whether the window's polling reads each live block with one request (`[Setting]
    // FastPass=1`); off unless the key says 1. False when the file cannot be written.
    bool fastPass() const;
    bool setFastPass(bool on) const;
    // The fields of the last New test; its bench and version are left empty.
    TestTrace lastTrace() const;
    // False when the file cannot be written.
    bool rememberTrace(const TestTrace& trace) const;

    // Names of the addresses on `port` that have one.
    std::map<int, std::string> deviceNames(const std::string& port) const;
    // False when the file cannot be written or the port's name cannot name a section.
    bool setDeviceName(const std::string& port, int address, const std::string& name) const;

    // The addresses of the device list last kept for `port`, in order; nothing when none was kept.
    // Addresses out of 1..kCurveSlots and repeated ones are left out.
    std::optional<std::vector<int>> deviceList(const std::string& port) const;
    // False when the file cannot be written or the port's name cannot name a section.
    bool setDeviceList(const std::string& port, const std::vector<int>& addresses) const;

    // The network ports typed in, the latest first.
    std::vector<std::string> typedPorts() const;
    // Puts the port first among those typed in, keeping at most kMaxTypedPorts; false when the
    // file cannot be written.
    bool rememberTypedPort(const std::string& port) const;
    // As entered, empty when none was; false when the file cannot be written.
    std::string calibrationDue(const std::string& key) const;
    // What was kept, with what cannot be read as its default.
    ControlChartSettings controlChart() const;
    bool setControlChart(const ControlChartSettings& settings) const;
    bool setCalibrationDue(const std::string& key, const std::string& date) const;

private:
    QString configFile_;
};

}  // namespace vornex
