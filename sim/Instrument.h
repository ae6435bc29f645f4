#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <vector>

#include "InstrumentConfig.h"
#include "PeakHold.h"
#include "TorqueProfile.h"
#include "link/RegisterMap.h"

namespace vornex::sim {

// Modbus exception codes an instrument answers with.
enum class ModbusException : uint8_t {
    None = 0,
    IllegalFunction = 1,
    IllegalDataAddress = 2,
    IllegalDataValue = 3,
};

// One torque instrument as its registers show it. Holding 0 is the status handshake, holding 1
// the mode number, holding 2..5 the settings of the active parameter set (or what the PC wrote
// there before committing it with status 3), holding 7 selects the stored record shown at input
// 1013..1020. The live value follows the measuring mode of the active set: the hold sees the
// torque at every instant, between reads too. Not thread-safe: the owner serialises access.
class Instrument {
public:
    using Clock = std::chrono::steady_clock;

    Instrument(const InstrumentConfig& config, Clock::time_point start);

    ModbusException readHolding(int first, int count, uint16_t* out, Clock::time_point now);
    ModbusException readInput(int first, int count, uint16_t* out, Clock::time_point now);
    ModbusException writeHolding(int first, const uint16_t* values, int count,
                                 Clock::time_point now);
    std::vector<uint8_t> reportSlaveId() const;

    // A change of settings lets a held peak go.
    void changeOnKeypad(const KeypadChange& change, Clock::time_point now);
    void setFixedValue(std::optional<float> value, Clock::time_point now);
    // A triangular pull of `peak` (in the unit shown) on top of the torque, from now on for
    // `length`, its top halfway.
    void spike(float peak, Clock::duration length, Clock::time_point now);
    // A pull of a setting tool on top of the torque, from now: up to `peak` in `rise`, then (with
    // a click) at once down by the click's share of the peak, and back to 0 in `rise` again.
    void pull(float peak, Clock::duration rise, bool click, Clock::time_point now);
    // The keypad's reset of a held peak.
    void resetHold(Clock::time_point now);
    // A locked instrument answers writes of its settings block but keeps the block it holds.
    void setSettingsLocked(bool locked) { settingsLocked_ = locked; }
    // One that refuses merged reads answers a read across the start of a register group (live
    // value, range, 1004, 1005..1010, 1011..1012, stored record; holding 0, 1, 2..5, 6, 7) with
    // exception 2, as instruments that serve each group on its own do.
    void setMergeRefused(bool refused) { mergeRefused_ = refused; }
    // Another full scale, as with another transducer fitted; the torque profile keeps its own.
    void setRange(float range);

    std::array<uint16_t, regmap::kHoldingRegisterCount> holdingRegisters() const {
        return holding_;
    }
    regmap::Settings parameterSet(int modeNumber) const { return sets_.at(modeNumber); }

    static constexpr int kInputFirst = regmap::kInLiveValue;
    static constexpr int kInputEnd = regmap::kInStoredRecord + regmap::kInStoredRecordCount;

private:
    // A pull that rises straight to its peak and falls straight back from the top it leaves.
    struct Spike {
        Clock::time_point start;
        Clock::duration rise;
        Clock::duration fall;
        float peak;
        double dropShare;  // of the peak, lost at once at the top: a click
        Clock::time_point end() const { return start + rise + fall; }
        double at(Clock::time_point t) const;
    };

    double torqueAt(Clock::time_point t) const;
    // Lets the hold see the torque up to now.
    void advance(Clock::time_point now);
    float liveValue(Clock::time_point now) const;
    uint16_t liveDecimals() const;
    void applyScheduledKeypad(Clock::time_point now);
    void loadActiveSet();
    void settingsChanged();

    InstrumentConfig config_;
    Clock::time_point start_;
    Clock::time_point nextKeypad_;
    TorqueProfile profile_;
    std::vector<Spike> spikes_;
    PeakHold hold_;
    Clock::time_point observed_;  // the hold has seen the torque up to here
    std::array<regmap::Settings, regmap::kModeNumberCount> sets_{};
    int active_ = 0;
    std::array<uint16_t, regmap::kHoldingRegisterCount> holding_{};
    std::vector<regmap::StoredRecord> records_;
    bool settingsLocked_ = false;
    bool mergeRefused_ = false;
};

}  // namespace vornex::sim
