#pragma once

// The torque instruments' Modbus register map, shared by the link, the simulator and the tests.
// Registers are 16 bits; 32-bit quantities occupy two registers with the low word first.

#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace vornex::regmap {

// Serial line settings used by every link.
constexpr int kBaud = 19200;
constexpr char kParity = 'E';
constexpr int kDataBits = 8;
constexpr int kStopBits = 1;
constexpr int kFirstSlave = 1;
constexpr int kLastSlave = 30;
constexpr int kMaxSlaves = 30;

// Input registers (function 04).
constexpr int kInLiveValue = 1000;  // float, 2 registers
constexpr int kInLiveValueCount = 2;
constexpr int kInRange = 1002;  // float, 2 registers
constexpr int kInRangeCount = 2;
constexpr int kInUnused1004 = 1004;
constexpr int kInDecimals = 1005;
// 1000..1005 in one read: the live value, the range, 1004 and the decimals.
constexpr int kInLiveBlockCount = 6;
constexpr int kInIdentBlock1005Count = 6;  // 1005..1010, read together at identification
constexpr int kInInfo1011 = 1011;
constexpr int kInRecordCount = 1012;  // second register of the read of 2 from 1011
constexpr int kInInfo1011Count = 2;
constexpr int kInStoredRecord = 1013;  // 1013..1020
constexpr int kInStoredRecordCount = 8;

// Holding registers (function 03 / 06 / 16).
constexpr int kHoldStatus = 0;
constexpr int kHoldModeNumber = 1;
constexpr int kHoldSettings = 2;  // 2..5 always read and written as one block
constexpr int kHoldSettingsCount = 4;
constexpr int kHoldRecordSelector = 7;
constexpr int kHoldingRegisterCount = 8;

// Values of the status register.
constexpr uint16_t kStatusAcknowledged = 1;
constexpr uint16_t kStatusModeWritten = 2;
constexpr uint16_t kStatusSettingsWritten = 3;
constexpr uint16_t kStatusSettingsChanged = 5;

constexpr int kModeNumberCount = 10;  // parameter sets 0..9

// Report Slave ID: at most this many data bytes are kept.
constexpr int kIdentificationSize = 10;

inline uint8_t lowByte(uint16_t reg) {
    return static_cast<uint8_t>(reg & 0xFF);
}
inline uint8_t highByte(uint16_t reg) {
    return static_cast<uint8_t>(reg >> 8);
}
inline uint16_t makeRegister(uint8_t low, uint8_t high) {
    return static_cast<uint16_t>(low | (high << 8));
}

inline float decodeFloat(const uint16_t* regs) {
    const uint32_t bits = (static_cast<uint32_t>(regs[1]) << 16) | regs[0];
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

inline void encodeFloat(float value, uint16_t* regs) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    regs[0] = static_cast<uint16_t>(bits & 0xFFFF);
    regs[1] = static_cast<uint16_t>(bits >> 16);
}

inline uint32_t decodeU32(const uint16_t* regs) {
    return static_cast<uint32_t>(regs[1]) * 65536u + regs[0];
}

inline void encodeU32(uint32_t value, uint16_t* regs) {
    regs[0] = static_cast<uint16_t>(value & 0xFFFF);
    regs[1] = static_cast<uint16_t>(value >> 16);
}

// Settings block, holding registers 2..5.
struct Settings {
    uint8_t measuringMode = 0;  // low half of holding 2
    uint8_t unit = 0;           // high half of holding 2
    uint8_t upperLimit = 0;     // low half of holding 3, percent x 10
    uint8_t lowerLimit = 0;     // high half of holding 3, percent x 10
    uint32_t target = 0;        // holding 4..5, N.m x 10^d

    static Settings decode(const uint16_t* regs) {
        Settings s;
        s.measuringMode = lowByte(regs[0]);
        s.unit = highByte(regs[0]);
        s.upperLimit = lowByte(regs[1]);
        s.lowerLimit = highByte(regs[1]);
        s.target = decodeU32(regs + 2);
        return s;
    }

    void encode(uint16_t* regs) const {
        regs[0] = makeRegister(measuringMode, unit);
        regs[1] = makeRegister(upperLimit, lowerLimit);
        encodeU32(target, regs + 2);
    }
};

// Stored record, input registers 1013..1020.
struct StoredRecord {
    uint8_t deletedMark = 0;  // 1: deleted
    uint8_t verdict = 0;      // 2: passed
    uint8_t unit = 0;
    uint8_t decimals = 0;
    int32_t rawTorque = 0;
    uint8_t second = 0, minute = 0, hour = 0, day = 0, month = 0, year = 0;

    bool deleted() const { return deletedMark == 1; }
    bool passed() const { return verdict == 2; }

    static StoredRecord decode(const uint16_t* regs) {
        StoredRecord r;
        r.deletedMark = lowByte(regs[0]);
        r.verdict = highByte(regs[0]);
        r.unit = lowByte(regs[1]);
        r.decimals = highByte(regs[1]);
        r.rawTorque = static_cast<int32_t>(decodeU32(regs + 2));
        r.second = lowByte(regs[4]);
        r.minute = highByte(regs[4]);
        r.hour = lowByte(regs[5]);
        r.day = highByte(regs[5]);
        r.month = highByte(regs[6]);
        r.year = lowByte(regs[7]);
        return r;
    }

    void encode(uint16_t* regs) const {
        regs[0] = makeRegister(deletedMark, verdict);
        regs[1] = makeRegister(unit, decimals);
        encodeU32(static_cast<uint32_t>(rawTorque), regs + 2);
        regs[4] = makeRegister(second, minute);
        regs[5] = makeRegister(hour, day);
        regs[6] = makeRegister(0, month);
        regs[7] = makeRegister(year, 0);
    }
};

// Shown for a table index that has no name, so a table is never read past its end.
constexpr std::string_view kUnknownName = "---";

constexpr std::string_view kUnitNames[] = {"None", "N.m", "kgf.cm", "ft.lbf", "in.lfb"};
constexpr int kUnitCount = 5;
constexpr std::string_view kMeasuringModeNames[] = {"none", "T", "P", "1P"};
constexpr int kMeasuringModeCount = 4;
// Codes of the measuring-mode table that hold a peak: the largest, the first.
constexpr unsigned kMeasurePeak = 2;
constexpr unsigned kMeasureFirstPeak = 3;

inline std::string_view unitName(unsigned index) {
    return index < static_cast<unsigned>(kUnitCount) ? kUnitNames[index] : kUnknownName;
}

inline std::string_view measuringModeName(unsigned index) {
    return index < static_cast<unsigned>(kMeasuringModeCount) ? kMeasuringModeNames[index]
                                                              : kUnknownName;
}

// Decimal places d of the target value, from the instrument's range.
inline int decimalsForRange(float range) {
    if (!(range > 0.0f))
        return 0;
    if (range <= 10.0f)
        return 4;
    if (range <= 100.0f)
        return 3;
    if (range <= 1000.0f)
        return 2;
    return 1;
}

}  // namespace vornex::regmap
