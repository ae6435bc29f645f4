#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "link/ParameterArithmetic.h"
#include "link/PortLink.h"
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

// Target and limits as typed for Set, in the unit shown.
struct TypedSettings {
    std::string target;
    std::string upper;
    std::string lower;
};

// The fields shown for an instrument of this range in parameter set `modeNumber`; without a
// settings block read, no target, limits, measure or unit.
ParameterFields parameterFields(float range, uint16_t modeNumber,
                                const std::optional<regmap::Settings>& settings);

// One instrument's parameter set read and written over a link of its own: the mode number
// (holding 1), the settings block (holding 2..5) and the range (input 1002..1003). Every write of
// the settings block is committed with status 3, a mode change with status 2. A sequence of writes
// stops at the first that fails, so the instrument never commits a half-written block. Only a
// block read from this instrument is ever written back, changed in the fields the user changed,
// and every block written is read back.
class InstrumentParameters {
public:
    enum class WriteResult {
        Written,      // and read back as written
        Differs,      // written, but the instrument holds another block
        Unconfirmed,  // written, but the read-back failed
        Refused,
        WriteFailed,
        NotRead,  // the instrument's block could not be read, so nothing was written
        NotConnected,
    };

    // Opened, why the port did not open, or NoAnswer when the instrument's range or parameter
    // set could not be read (linkFailure() says how).
    OpenResult connect(const std::string& port, int slave);
    void disconnect();
    bool connected() const { return link_.isOpen(); }

    // Switches the instrument to parameter set `modeNumber` and reads back what it then holds.
    WriteResult changeMode(int modeNumber);
    WriteResult changeUnit(unsigned unit);
    WriteResult changeMeasuringMode(unsigned code);
    // Target and limits as typed, in the unit shown: a field whose text is the one fields() shows
    // writes back the raw value it was shown from; a field that is not a number (parseNumber)
    // refuses the set. `plan` tells what was checked and why a refused set was refused.
    WriteResult set(const TypedSettings& typed, params::SetPlan* plan = nullptr);
    // What Set would write with the instrument set to `unit`; fields count as left as shown only
    // in the unit they are shown in.
    params::SetPlan planSet(const TypedSettings& typed, unsigned unit) const;

    // What the link said at the last exchange that failed; Ok while none has failed since
    // connecting.
    const LinkResult& linkFailure() const { return linkFailure_; }

    // Empty target and limits, and no measure or unit, while no block has been read.
    ParameterFields fields() const;
    float range() const { return range_; }
    uint16_t modeNumber() const { return modeNumber_; }
    const regmap::Settings& settings() const { return settings_; }
    bool settingsKnown() const { return settingsKnown_; }
    // Reads the mode number and the settings block again; a block once unknown (after a write
    // that failed) is known again when this succeeds.
    bool readSettings() { return connected() && readParameterSet(); }

private:
    bool readParameterSet();
    // A block can be changed only when it was read from this instrument; reads it when not.
    bool ensureSettings();
    WriteResult writeSettings(const regmap::Settings& settings);
    // Keeps a failure for linkFailure(); true when the exchange succeeded.
    bool succeeded(const LinkResult& result);

    PortLink link_;
    float range_ = 0.0f;
    uint16_t modeNumber_ = 0;
    regmap::Settings settings_;
    bool settingsKnown_ = false;
    LinkResult linkFailure_;
};

}  // namespace vornex
