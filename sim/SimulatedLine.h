#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "FaultPlan.h"
#include "Instrument.h"
#include "InstrumentConfig.h"
#include "SerialEndpoint.h"
#include "TransactionLog.h"
#include "link/RegisterMap.h"

namespace vornex::sim {

struct SimConfig {
    std::vector<InstrumentConfig> instruments;
    // Pace the line at 19200 baud 8E1 so that transactions take as long as on a real wire.
    bool baudEmulate = false;
    // Seed of the dice that decide which replies the fault plan drops or corrupts.
    uint64_t faultSeed = 1;
};

struct LineCounters {
    uint64_t frames = 0;      // well-formed request frames seen, for any address
    uint64_t answered = 0;    // replies sent, counted once out (exception replies included)
    uint64_t exceptions = 0;  // of which exception replies
    uint64_t dropped = 0;     // replies withheld by the fault plan
    uint64_t badCrc = 0;      // replies sent with a wrong CRC
    uint64_t ignored = 0;     // frames for addresses not served or silent
    uint64_t noiseBytes = 0;  // bytes that formed no frame
    uint64_t portEvents = 0;  // opens and closes of the pty by clients
};

// A serial line with torque instruments on it, served by a thread of its own: a Modbus RTU slave
// answering every configured address with the instruments' register map, on a new pty or on a
// real serial device. Every public function may be called from any thread.
class SimulatedLine {
public:
    explicit SimulatedLine(SimConfig config);
    SimulatedLine(const SimulatedLine&) = delete;
    SimulatedLine& operator=(const SimulatedLine&) = delete;
    ~SimulatedLine();

    // Serves a new pty; with a link path, that path is made a symlink to it. False with a message
    // in error if the pty cannot be made or the line is already open.
    bool startPty(const std::string& linkPath, std::string& error);
    bool startDevice(const std::string& path, std::string& error);

    // Stops serving; the line stays open but nothing answers any more.
    void stop();
    // Stops serving and closes the line: a pty and its symlink disappear, and a client's next
    // read fails with EIO, as when a USB adapter is pulled.
    void unplug();

    bool serving() const { return serving_.load(); }
    // Why serving ended on its own (the device failed or went away); empty otherwise.
    std::string failure() const;
    // The path a client opens (the symlink when there is one), empty while no line is open.
    std::string portPath() const;
    // The pty slave (/dev/pts/N) or the device, empty while no line is open.
    std::string devicePath() const;

    // False when no instrument has this address.
    bool changeOnKeypad(int slave, const KeypadChange& change);
    // Holds the live value at a number, or lets it follow the torque profile again (nullopt).
    bool setLiveValue(int slave, std::optional<float> value);
    // A triangular pull of `peak` lasting `length`, starting now, on top of the live torque.
    bool spike(int slave, float peak, std::chrono::milliseconds length);
    // A setting tool's pull, starting now: up to `peak` in `rise`, a click (a fall of 2 % at once)
    // when `click`, and back to 0 in `rise`.
    bool pull(int slave, float peak, std::chrono::milliseconds rise, bool click);
    // Lets a held peak go, as the instrument's reset key does.
    bool resetHold(int slave);
    // Another full scale at input registers 1002..1003 from now on.
    bool setRange(int slave, float range);
    std::optional<std::array<uint16_t, regmap::kHoldingRegisterCount>> holdingRegisters(
        int slave) const;
    std::optional<regmap::Settings> parameterSet(int slave, int modeNumber) const;

    // For a network gateway in front of the line: the instruments' reply to an RTU request frame
    // (CRC checked), with the line's faults, or nothing when none comes. With baud emulation it
    // returns once the request and the reply have crossed the serial side. A delay the fault plan
    // asks for ends early when stopFd becomes readable. Gateways take turns on the one line.
    std::optional<std::vector<uint8_t>> exchangeThroughGateway(const std::vector<uint8_t>& request,
                                                               int stopFd);

    FaultPlan& faults() { return faults_; }
    TransactionLog& log() { return log_; }
    LineCounters counters() const;

private:
    bool startServing(std::unique_ptr<SerialEndpoint> endpoint, std::string& error);
    void stopServing();
    void serve();
    struct ServingState;
    void handleFrame(ServingState& state, const std::vector<uint8_t>& request);
    // The reply to a request received at `received`, faults applied, logged and counted.
    std::optional<std::vector<uint8_t>> answer(const std::vector<uint8_t>& request,
                                               Instrument::Clock::time_point received,
                                               std::mt19937_64& dice, int stopFd);
    static bool waitForStop(int stopFd, std::chrono::milliseconds timeout);

    const SimConfig config_;

    mutable std::mutex lifecycleMutex_;
    std::unique_ptr<SerialEndpoint> endpoint_;
    std::thread thread_;
    int wakeFd_ = -1;
    std::atomic<bool> serving_{false};
    std::string failure_;  // guarded by lifecycleMutex_

    mutable std::mutex modelMutex_;
    std::map<int, Instrument> instruments_;

    FaultPlan faults_;
    TransactionLog log_;

    // The serial side behind the gateways.
    std::mutex gatewayMutex_;
    std::mt19937_64 gatewayDice_;
    Instrument::Clock::time_point gatewayLineFree_{};

    struct Counters {
        std::atomic<uint64_t> frames{0}, answered{0}, exceptions{0}, dropped{0}, badCrc{0},
            ignored{0}, noiseBytes{0}, portEvents{0};
    } counters_;
};

}  // namespace vornex::sim
