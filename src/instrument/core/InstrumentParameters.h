#pragma once

#include <cstdint>
#include <string>

#include "instrument/core/ParameterArithmetic.h"
#include "link/ModbusLink.h"
#include "link/RegisterMap.h"

namespace vornex {

// The parameter fields as the instrument window shows them.
struct ParameterFields {
    std::string range;      // "%.1f"
    int modeIndex = -1;     // index in Mode_0..Mode_9, -1 for none
    int measureIndex = -1;  // index in T, P, 1P, -1 for none
    int unitIndex = -1;     // index in N.m, kgf.cm, ft.lbf, in.lfb, -1 for none
    std::string target;     // in the instrument's unit, with the precision of that unit
    std::string upper;      // percent, "%.1f"
    std::string lower;
};

// One instrument's parameter set read and written over a link of its own: the mode number
// (holding 1), the settings block (holding 2..5) and the range (input 1002..1003). Every write of
// the settings block is committed with status 3, a mode change with status 2. A sequence of writes
// stops at the first that fails, so the instrument never commits a half-written block.
class InstrumentParameters {
public:
    enum class ConnectResult { Connected, PortError, ReadError };
    enum class WriteResult { Written, Refused, WriteFailed, NotConnected };

    ConnectResult connect(const std::string& port, int slave);
    void disconnect();
    bool connected() const { return link_.isOpen(); }

    // Switches the instrument to parameter set `modeNumber` and reads back what it then holds.
    WriteResult changeMode(int modeNumber);
    WriteResult changeUnit(unsigned unit);
    WriteResult changeMeasuringMode(unsigned code);
    // Target and limits as typed, in the unit shown; `check` tells why a refused set was refused.
    WriteResult set(float target, float upper, float lower, params::SetCheck* check = nullptr);

    // What the link said at the last exchange that failed (a failed connect's range read, or a
    // write); Ok while none has failed since connecting.
    const LinkResult& linkFailure() const { return linkFailure_; }

    ParameterFields fields() const;
    float range() const { return range_; }
    uint16_t modeNumber() const { return modeNumber_; }
    const regmap::Settings& settings() const { return settings_; }

private:
    void readParameterSet();
    WriteResult writeSettings(const regmap::Settings& settings);
    // Keeps a failure for linkFailure(); true when the exchange succeeded.
    bool succeeded(const LinkResult& result);

    ModbusLink link_;
    float range_ = 0.0f;
    uint16_t modeNumber_ = 0;
    regmap::Settings settings_;
    LinkResult linkFailure_;
};

}  // namespace vornex
