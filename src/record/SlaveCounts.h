#pragma once

#include <array>
#include <cstdint>

#include "record/CurvePoint.h"

namespace vornex {

// Records of a test file per slave address 1..30, and those of any other slave byte, which no
// reader draws or judges.
struct SlaveCounts {
    std::array<uint64_t, kCurveSlots> perSlave{};
    uint64_t other = 0;

    uint64_t of(int slave) const { return perSlave[static_cast<size_t>(slave - 1)]; }
    // Every record, other ones included.
    uint64_t total() const {
        uint64_t sum = other;
        for (uint64_t n : perSlave)
            sum += n;
        return sum;
    }
};

}  // namespace vornex
