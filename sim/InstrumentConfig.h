#pragma once

#include <cstdint>
#include <optional>

namespace vornex::sim {

// How one simulated instrument starts out.
struct InstrumentConfig {
    int address = 1;
    float range = 500.0f;  // N.m
    // Decimal places of the live value; -1 derives them from the range and the unit.
    int decimals = -1;
    // First data byte of the Report Slave ID reply; 0 makes an instrument that answers but never
    // counts as identified.
    uint8_t identification = 0x56;
    int recordCount = 20;
    // Live value held fixed at this number instead of following the torque profile.
    std::optional<float> fixedValue;
    // Every this many milliseconds the instrument's settings change as if on its keypad (the unit
    // steps to the next one) and it raises status 5; 0: never.
    int keypadEveryMs = 0;
    // How long a peak held in the "P" and "1P" measuring modes stays before it is let go.
    double holdSeconds = 2.0;
    // The torque, in percent of the range, from which "1P" looks for a click: the instrument's
    // own setting, whatever threshold a bench judges events by.
    double peakThresholdPercent = 5.0;
    uint64_t seed = 1;
};

// A change of settings made on the instrument itself; absent fields stay as they are.
struct KeypadChange {
    std::optional<uint16_t> modeNumber;  // switch to this parameter set first
    std::optional<uint8_t> measuringMode;
    std::optional<uint8_t> unit;
    std::optional<uint8_t> upperLimit;
    std::optional<uint8_t> lowerLimit;
    std::optional<uint32_t> target;
};

}  // namespace vornex::sim
