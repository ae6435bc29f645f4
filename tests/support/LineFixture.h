#pragma once

#include <gtest/gtest.h>
#include <modbus/modbus.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "ModbusClient.h"
#include "sim/SimulatedLine.h"

namespace vornex::sim::test {

// A temporary folder, removed with everything in it.
class TempDir {
public:
    TempDir() {
        char pattern[] = "/tmp/vornex-sim-test-XXXXXX";
        path_ = mkdtemp(pattern);
    }
    ~TempDir() { std::system(("rm -rf '" + path_ + "'").c_str()); }
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

inline InstrumentConfig fixedInstrument(int address, float value) {
    InstrumentConfig c;
    c.address = address;
    c.fixedValue = value;
    return c;
}

// A simulated line served on a pty linked at <temp>/ttySIM.
class LineFixture : public ::testing::Test {
protected:
    void startLine(const SimConfig& config) {
        line = std::make_unique<SimulatedLine>(config);
        std::string error;
        ASSERT_TRUE(line->startPty(linkPath, error)) << error;
    }
    void startLine(std::initializer_list<InstrumentConfig> instruments) {
        SimConfig config;
        config.instruments = instruments;
        startLine(config);
    }

    TempDir dir;
    const std::string linkPath = dir.path() + "/ttySIM";
    std::unique_ptr<SimulatedLine> line;
};

inline uint16_t holding(modbus_t* ctx, int address) {
    uint16_t value = 0xDEAD;
    EXPECT_EQ(modbus_read_registers(ctx, address, 1, &value), 1) << modbus_strerror(errno);
    return value;
}

}  // namespace vornex::sim::test
