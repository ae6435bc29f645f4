#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "link/DeviceRecord.h"

namespace vornex {

// The instruments to poll, in the order they were added. Records keep their place in memory, so
// a reference to one stays valid until it is removed.
class DeviceTable {
public:
    size_t size() const { return records_.size(); }
    bool empty() const { return records_.empty(); }
    DeviceRecord& operator[](size_t i) { return *records_[i]; }
    const DeviceRecord& operator[](size_t i) const { return *records_[i]; }

    void add(uint8_t address) { records_.push_back(std::make_unique<DeviceRecord>(address)); }
    void remove(size_t i) { records_.erase(records_.begin() + static_cast<std::ptrdiff_t>(i)); }

private:
    std::vector<std::unique_ptr<DeviceRecord>> records_;
};

}  // namespace vornex
