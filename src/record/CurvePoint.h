#pragma once

#include <cstddef>
#include <cstdint>
#include <type_traits>

namespace vornex {

// One point of an in-memory curve and, byte for byte, one record of a test file: the file is
// nothing but these records laid end to end, so they are written and read as raw memory.
struct CurvePoint {
    double time = 0.0;  // seconds since the recording's time base
    double value = 0.0;
    uint8_t slave = 0;  // Modbus address 1..30; curve slot slave - 1
    uint8_t tail[7] = {};
};

static_assert(sizeof(CurvePoint) == 24, "a record is 24 bytes");
static_assert(offsetof(CurvePoint, time) == 0);
static_assert(offsetof(CurvePoint, value) == 8);
static_assert(offsetof(CurvePoint, slave) == 16);
static_assert(offsetof(CurvePoint, tail) == 17);
static_assert(std::is_trivially_copyable_v<CurvePoint>);
static_assert(std::is_standard_layout_v<CurvePoint>);
static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__,
              "records are little-endian and copied as raw memory");

constexpr size_t kRecordSize = sizeof(CurvePoint);

// Slave addresses that own a curve slot.
constexpr int kCurveSlots = 30;
inline bool hasCurveSlot(uint8_t slave) {
    return slave >= 1 && slave <= kCurveSlots;
}

}  // namespace vornex
