#pragma once

#include <array>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link/DeviceTable.h"
#include "link/ManualResetEvent.h"
#include "link/PollObserver.h"
#include "link/PortLink.h"
#include "link/ReadingSink.h"
#include "link/RegisterMap.h"
#include "link/TickClock.h"

namespace vornex {

enum class TableEdit {
    Done,
    RefusedWhilePolling,  // the acquisition thread still runs
    NoSuchRecord,
};

// Owns the polling link: the Modbus link, the device table, the running flag, the stop event, the
// displayed address and the acquisition thread that polls every instrument of the table in
// passes and hands every live value to the sinks that take it. All public calls belong to one
// controlling thread.
class Poller {
public:
    Poller(TickClock clock, PollObserver& observer);
    ~Poller();
    Poller(const Poller&) = delete;
    Poller& operator=(const Poller&) = delete;

    // What the link's open() says, or StillStopping.
    OpenResult connect(const std::string& port);
    // connect() in two steps, for a caller that must act between the port opening and the first
    // request: open() takes the port, startPolling() starts the acquisition thread on it.
    OpenResult open(const std::string& port);
    void startPolling();
    // Asks the thread to end after its current pass; does not wait.
    void disconnect();
    bool running() const { return running_.load(std::memory_order_acquire); }
    // True while an acquisition thread exists that has not ended.
    bool active() const { return thread_.joinable() && !stopped_.isSet(); }
    bool waitStopped(std::chrono::milliseconds timeout) const { return stopped_.waitFor(timeout); }
    void waitStopped() const { stopped_.wait(); }

    TableEdit addDevice(uint8_t address);
    TableEdit removeDevice(size_t index);
    // Allowed while polling: the record becomes a new instrument to identify.
    TableEdit changeAddress(size_t index, uint8_t address);
    size_t deviceCount() const { return table_.size(); }
    const DeviceRecord& device(size_t index) const { return table_[index]; }

    // Reads each instrument's live block with one request instead of three, where it takes it.
    // Takes effect from the next pass.
    void setFastPass(bool on) { fastPass_.store(on, std::memory_order_release); }
    bool fastPass() const { return fastPass_.load(std::memory_order_acquire); }

    void setDisplayedAddress(int address) {
        displayedAddress_.store(address, std::memory_order_release);
    }
    int displayedAddress() const { return displayedAddress_.load(std::memory_order_acquire); }

    // Also while polling: once unsubscribe() returns, the sink is not called again. A sink must
    // outlive the poller or be unsubscribed first.
    void subscribe(ReadingSink& sink);
    void unsubscribe(ReadingSink& sink);

private:
    void run();
    // LineGone when the port vanished while polling the record, else Ok.
    LinkResult pollRecord(size_t index);
    LinkResult identify(DeviceRecord& record);
    // The live value, register 1004 and the decimals as one road or the other read them.
    struct LiveBlock {
        std::array<uint16_t, regmap::kInLiveValueCount> value{};
        uint16_t register1004 = 0;
        uint16_t decimals = 0;
    };
    LinkResult readLive(size_t index, DeviceRecord& record, uint8_t address);
    // The live block by the merged read where the instrument takes it, else by three requests;
    // the value is handed out as soon as it arrived.
    LinkResult readLiveBlock(size_t index, DeviceRecord& record, uint8_t address, LiveBlock& block);
    // The merged read; `refused` tells a reply that makes the instrument one for three requests.
    LinkResult readMergedBlock(const DeviceRecord& record, LiveBlock& block, bool& refused);
    // Mode number and settings block; publishes the unit when both were read.
    LinkResult readSettings(DeviceRecord& record);
    // Decimals just read, believed when they are the ones known or the register read again agrees.
    LinkResult confirmDecimals(DeviceRecord& record, uint16_t decimals);
    // Times the value once and hands it to every sink that takes it.
    void handOut(float value, uint8_t address);
    void updateDisplay(const DeviceRecord& record);
    void setPresence(size_t index, DeviceRecord& record, PresenceState state);
    std::vector<RecordSnapshot> snapshot() const;
    void joinEndedThread();

    TickClock clock_;
    PollObserver& observer_;

    PortLink link_;
    DeviceTable table_;
    std::mutex sinksMutex_;
    std::vector<ReadingSink*> sinks_;
    std::atomic<bool> running_{false};
    ManualResetEvent stopped_{true};
    std::atomic<int> displayedAddress_{0};
    std::atomic<bool> fastPass_{false};
    std::thread thread_;

    // Acquisition thread only.
    std::vector<ReadingSink*> taking_;  // the sinks that take the reading being handed out
    std::string shownValue_;
    std::string shownUnit_;
    bool displayShown_ = false;
};

}  // namespace vornex
