#pragma once

#include <modbus/modbus.h>

#include <cerrno>
#include <string>

namespace vornex::sim::test {

// A libmodbus RTU master on a port, set up as the program sets its links up.
class ModbusClient {
public:
    explicit ModbusClient(const std::string& port, int slave = 1)
        : ctx_(modbus_new_rtu(port.c_str(), 19200, 'E', 8, 1)) {
        if (!ctx_)
            return;
        if (modbus_connect(ctx_) != 0) {
            modbus_free(ctx_);
            ctx_ = nullptr;
            return;
        }
        modbus_set_slave(ctx_, slave);
    }
    ModbusClient(const ModbusClient&) = delete;
    ModbusClient& operator=(const ModbusClient&) = delete;
    ~ModbusClient() {
        if (!ctx_)
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

}  // namespace vornex::sim::test
