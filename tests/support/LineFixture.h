#pragma once

#include <gtest/gtest.h>
#include <modbus/modbus.h>

#include <cerrno>
#include <chrono>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "TempDir.h"
#include "link/RegisterMap.h"
#include "sim/SimulatedLine.h"

namespace vornex::test {

// A libmodbus RTU master on a port, set up as the program sets its links up.
class ModbusClient {
public:
    explicit ModbusClient(const std::string& port, int slave = 1)
        : ctx_(modbus_new_rtu(port.c_str(), 19200, 'E', 8, 1)) {
        if (ctx_ != nullptr && modbus_connect(ctx_) != 0) {
            modbus_free(ctx_);
            ctx_ = nullptr;
        }
        if (ctx_ != nullptr)
            modbus_set_slave(ctx_, slave);
    }
    ModbusClient(const ModbusClient&) = delete;
    ModbusClient& operator=(const ModbusClient&) = delete;
    ~ModbusClient() {
        if (ctx_ == nullptr)
            return;
        modbus_close(ctx_);
        modbus_free(ctx_);
    }

    bool connected() const { return ctx_ != nullptr; }
    modbus_t* get() const { return ctx_; }
    void setSlave(int slave) { modbus_set_slave(ctx_, slave); }

private:
    modbus_t* ctx_;
};

// An instrument at `address`, its live value held at `value` when one is given.
inline sim::InstrumentConfig instrument(int address, std::optional<float> value = std::nullopt,
                                        int decimals = -1) {
    sim::InstrumentConfig c;
    c.address = address;
    c.fixedValue = value;
    c.decimals = decimals;
    return c;
}

// A change of unit (and of the raw target, when one is given) made on an instrument's keypad.
inline sim::KeypadChange unitChange(uint8_t unit, std::optional<uint32_t> target = std::nullopt) {
    sim::KeypadChange change;
    change.unit = unit;
    change.target = target;
    return change;
}

// A line serving `instruments`.
inline sim::SimConfig lineOf(std::initializer_list<sim::InstrumentConfig> instruments) {
    sim::SimConfig config;
    config.instruments = instruments;
    return config;
}

// The live value, or nothing when the read fails (errno says why).
inline std::optional<float> liveValue(modbus_t* ctx) {
    uint16_t regs[2] = {0xAAAA, 0xAAAA};
    if (modbus_read_input_registers(ctx, regmap::kInLiveValue, 2, regs) != 2)
        return std::nullopt;
    return regmap::decodeFloat(regs);
}

inline uint16_t holding(modbus_t* ctx, int address) {
    uint16_t value = 0xDEAD;
    EXPECT_EQ(modbus_read_registers(ctx, address, 1, &value), 1) << modbus_strerror(errno);
    return value;
}

// Unplugs the line between two exchanges. A reply sent as the pty closes may die with it, as one
// on a pulled cable does; so the addresses go silent until the line has taken a request after
// their last reply (the master sent it once that reply was in), and answer again on the next pty.
// False when no request came.
inline bool unplugBetweenExchanges(sim::SimulatedLine& line, std::initializer_list<int> addresses) {
    for (int address : addresses)
        line.faults().setSilent(address, true);
    const uint64_t ignored = line.counters().ignored;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (line.counters().ignored == ignored && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    const bool quiet = line.counters().ignored != ignored;
    line.unplug();
    for (int address : addresses)
        line.faults().setSilent(address, false);
    return quiet;
}

// The live values the line answered to `slave`, in order, alone or at the head of a merged read.
inline std::vector<float> answeredLiveValues(sim::SimulatedLine& line, int slave) {
    std::vector<float> values;
    for (const sim::Transaction& t : line.log().entries()) {
        if (t.slave == slave && t.function == 4 && t.first == regmap::kInLiveValue &&
            t.count >= regmap::kInLiveValueCount && t.fate == sim::ReplyFate::Answered)
            values.push_back(regmap::decodeFloat(t.answered.data()));
    }
    return values;
}

// A simulated line served on a pty linked at <temporary folder>/ttySIM.
class LineFixture : public ::testing::Test {
protected:
    void startLine(const sim::SimConfig& config) {
        line = std::make_unique<sim::SimulatedLine>(config);
        std::string error;
        ASSERT_TRUE(line->startPty(linkPath, error)) << error;
    }
    void startLine(std::initializer_list<sim::InstrumentConfig> instruments) {
        startLine(lineOf(instruments));
    }

    TempDir dir;
    const std::string linkPath = dir.file("ttySIM");
    std::unique_ptr<sim::SimulatedLine> line;
};

}  // namespace vornex::test
