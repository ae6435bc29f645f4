#include "link/Poller.h"

#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstring>

#include <modbus/modbus.h>

#include "link/RegisterMap.h"
#include "text/NumberText.h"

namespace vornex {

namespace {

constexpr auto kPausePerPass = std::chrono::milliseconds(100);
// Reads of the decimals after one that differs from those known, until two in a row agree.
constexpr int kMostDecimalsRereads = 2;

// The acquisition thread yields to the interface: a slow poll is better than a stuck window.
void lowerThreadPriority() {
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    errno = 0;
    const int current = ::getpriority(PRIO_PROCESS, tid);
    if (errno == 0)
        ::setpriority(PRIO_PROCESS, tid, std::min(current + 5, 19));
}

}  // namespace

Poller::Poller(TickClock clock, PollObserver& observer)
    : clock_(std::move(clock)), observer_(observer) {}

Poller::~Poller() {
    running_.store(false, std::memory_order_release);
    if (thread_.joinable()) {
        stopped_.wait();
        thread_.join();
    }
}

void Poller::joinEndedThread() {
    if (thread_.joinable() && stopped_.isSet())
        thread_.join();
}

OpenResult Poller::connect(const std::string& port) {
    const OpenResult result = open(port);
    if (result == OpenResult::Opened)
        startPolling();
    return result;
}

OpenResult Poller::open(const std::string& port) {
    if (active())
        return OpenResult::StillStopping;
    joinEndedThread();
    return link_.open(port);
}

void Poller::startPolling() {
    // What the last link found is not current: every instrument's state is reported afresh by
    // the first pass, and the display by the first reading. An identified instrument keeps its
    // identification, but its settings may have changed while nobody asked: they are read again.
    for (size_t i = 0; i < table_.size(); ++i) {
        if (table_[i].absent())
            continue;
        table_[i].setPresence(PresenceState::Unidentified);
        if (table_[i].identified())
            table_[i].settingsPending = true;
    }
    displayShown_ = false;
    running_.store(true, std::memory_order_release);
    stopped_.reset();
    thread_ = std::thread(&Poller::run, this);
}

void Poller::disconnect() {
    running_.store(false, std::memory_order_release);
}

void Poller::subscribe(ReadingSink& sink) {
    const std::lock_guard<std::mutex> lock(sinksMutex_);
    if (std::find(sinks_.begin(), sinks_.end(), &sink) == sinks_.end())
        sinks_.push_back(&sink);
}

void Poller::unsubscribe(ReadingSink& sink) {
    const std::lock_guard<std::mutex> lock(sinksMutex_);
    sinks_.erase(std::remove(sinks_.begin(), sinks_.end(), &sink), sinks_.end());
}

TableEdit Poller::addDevice(uint8_t address) {
    if (active())
        return TableEdit::RefusedWhilePolling;
    joinEndedThread();
    table_.add(address);
    return TableEdit::Done;
}

TableEdit Poller::removeDevice(size_t index) {
    if (active())
        return TableEdit::RefusedWhilePolling;
    joinEndedThread();
    if (index >= table_.size())
        return TableEdit::NoSuchRecord;
    table_.remove(index);
    return TableEdit::Done;
}

TableEdit Poller::changeAddress(size_t index, uint8_t address) {
    const bool threadRunning = active();
    if (!threadRunning)
        joinEndedThread();
    if (index >= table_.size())
        return TableEdit::NoSuchRecord;
    table_[index].changeAddress(address, threadRunning);
    return TableEdit::Done;
}

void Poller::run() {
    lowerThreadPriority();
    LinkResult lost;
    unsigned pass = 0;
    if (running_.load(std::memory_order_acquire) && !table_.empty()) {
        do {
            for (size_t i = 0; i < table_.size() && lost.ok(); ++i)
                lost = pollRecord(i);
            if (!lost.ok())
                break;
            observer_.passEnded(++pass, snapshot());
            std::this_thread::sleep_for(kPausePerPass);
        } while (running_.load(std::memory_order_acquire));
    }
    link_.close();
    if (!lost.ok()) {
        running_.store(false, std::memory_order_release);
        observer_.portLost(std::strerror(lost.error()));
    } else if (running_.exchange(false, std::memory_order_acq_rel)) {
        observer_.stoppedOnEmptyTable();
    }
    observer_.pollingEnded();
    stopped_.set();
}

LinkResult Poller::pollRecord(size_t index) {
    DeviceRecord& record = table_[index];
    const uint8_t address = record.takeAddress();
    const LinkResult selected = link_.setSlave(address);
    LinkResult result;
    if (record.identified()) {
        // An instrument that failed may have been reset or set anew meanwhile: once it answers
        // again its settings are read again, by the handshake if it announces a change.
        if (record.presence() == PresenceState::CommunicationError)
            record.settingsPending = true;
        result = selected ? readLive(index, record, address) : selected;
        if (result && record.settingsPending)
            result = readSettings(record);
        // A vanished port says nothing about the instrument.
        if (!result.isLineGone()) {
            setPresence(
                index, record,
                result.ok() ? PresenceState::Identified : PresenceState::CommunicationError);
        }
        if (!record.absent() && address == displayedAddress_.load(std::memory_order_acquire)) {
            updateDisplay(record);
        }
    } else if (!record.absent()) {
        result = identify(record);
        if (!result.isLineGone()) {
            setPresence(index, record,
                        record.absent()       ? PresenceState::Absent
                        : record.identified() ? PresenceState::Identified
                                              : PresenceState::Unidentified);
        }
    }
    return result.isLineGone() ? result : LinkResult::success();
}

// The presence check decides absence. After it, the first failed read ends the identification:
// an instrument that stopped answering costs one response timeout, not one per read. Settings
// not read then are read on a later pass.
LinkResult Poller::identify(DeviceRecord& record) {
    uint8_t reply[regmap::kIdentificationSize];
    int n = 0;
    const LinkResult presence = link_.reportSlaveId(regmap::kIdentificationSize, reply, n);
    if (!presence) {
        // A vanished port says nothing about the instrument.
        if (!presence.isLineGone())
            record.absentFlag = 1;
        return presence;
    }
    std::memcpy(record.identification.data(), reply,
                static_cast<size_t>(std::min(n, regmap::kIdentificationSize)));
    record.settingsPending = true;
    LinkResult result =
        link_.readInputRegisters(regmap::kInRange, regmap::kInRangeCount, record.rangeRegs.data());
    record.rangeKnown = result.ok();
    if (result)
        result = link_.readInputRegisters(regmap::kInDecimals, regmap::kInIdentBlock1005Count,
                                          record.identBlockRegs.data());
    // Known from the identification, so that the first value is not shown or judged with none.
    if (result) {
        record.decimalsReg = record.identBlockRegs[0];
        record.decimalsKnown = true;
        record.publishDecimals(record.decimalsReg);
    }
    if (result)
        result = link_.readInputRegisters(regmap::kInInfo1011, regmap::kInInfo1011Count,
                                          record.infoRegs.data());
    if (result)
        result = readSettings(record);
    return result;
}

// A unit other than the one known is believed only when the settings read again agree, as the
// decimals are.
LinkResult Poller::readSettings(DeviceRecord& record) {
    uint16_t modeNumber = 0;
    std::array<uint16_t, regmap::kHoldSettingsCount> settings{};
    LinkResult result = link_.readHoldingRegisters(regmap::kHoldModeNumber, 1, &modeNumber);
    if (result)
        result = link_.readHoldingRegisters(regmap::kHoldSettings, regmap::kHoldSettingsCount,
                                            settings.data());
    if (result && record.publishedSettings().known &&
        regmap::highByte(settings[0]) != record.unitIndex()) {
        std::array<uint16_t, regmap::kHoldSettingsCount> again{};
        result = link_.readHoldingRegisters(regmap::kHoldSettings, regmap::kHoldSettingsCount,
                                            again.data());
        if (result && again != settings)
            result = LinkResult::fromModbusError(EMBBADDATA);
    }
    if (result) {
        record.modeNumber = modeNumber;
        record.settings = settings;
        record.publishSettings();
        record.settingsPending = false;
    }
    return result;
}

// Ok when every read of the pass succeeded. The first failure ends the instrument's reads for
// this pass: a switched-off instrument costs one response timeout per pass, not one per read. The
// value is published only once the decimals it is shown with were read in the same pass.
LinkResult Poller::readLive(size_t index, DeviceRecord& record, uint8_t address) {
    LiveBlock block;
    LinkResult result = readLiveBlock(index, record, address, block);
    if (result)
        result = confirmDecimals(record, block.decimals);
    if (!result)
        return result;
    record.register1004 = block.register1004;
    record.liveValueRegs = block.value;
    record.publishValue(regmap::decodeFloat(record.liveValueRegs.data()));

    result = link_.readHoldingRegisters(regmap::kHoldStatus, 1, &record.status);
    if (!result || record.status != regmap::kStatusSettingsChanged)
        return result;

    // Acknowledge only settings that were really read; otherwise the instrument keeps announcing
    // the change and the next pass reads it again.
    result = readSettings(record);
    if (!result)
        return result;
    record.status = regmap::kStatusAcknowledged;
    // A lost acknowledgement costs the instrument nothing but another announcement; only a
    // vanished port counts.
    const LinkResult ack = link_.writeRegister(regmap::kHoldStatus, regmap::kStatusAcknowledged);
    return ack.isLineGone() ? ack : LinkResult::success();
}

// An instrument that refuses the merged read is read with the four requests in the same pass, so
// that no reading is lost to the refusal.
LinkResult Poller::readLiveBlock(size_t index, DeviceRecord& record, uint8_t address,
                                 LiveBlock& block) {
    if (fastPass_.load(std::memory_order_acquire) && !record.fastPassRefused()) {
        bool refused = false;
        const LinkResult merged = readMergedBlock(record, block, refused);
        if (merged)
            handOut(regmap::decodeFloat(block.value.data()), address);
        if (!refused)
            return merged;
        record.refuseFastPass();
        observer_.fastPassRefused(index, address);
    }
    LinkResult result = link_.readInputRegisters(regmap::kInLiveValue, regmap::kInLiveValueCount,
                                                 block.value.data());
    if (!result)
        return result;
    // A reading that arrived is handed out even when the reads after it fail: the file holds every
    // value the instrument gave, and only what is shown waits for its decimals.
    handOut(regmap::decodeFloat(block.value.data()), address);
    result = link_.readInputRegisters(regmap::kInUnused1004, 1, &block.register1004);
    if (result)
        result = link_.readInputRegisters(regmap::kInDecimals, 1, &block.decimals);
    return result;
}

// The range inside the block tells that the instrument laid the block out as its separate
// registers: a reply whose range is not the one identified may hold anything where the value is.
// A timeout, a bad checksum or another slave's reply says nothing about the merged read itself.
LinkResult Poller::readMergedBlock(const DeviceRecord& record, LiveBlock& block, bool& refused) {
    std::array<uint16_t, regmap::kInLiveBlockCount> regs{};
    const LinkResult result =
        link_.readInputRegisters(regmap::kInLiveValue, regmap::kInLiveBlockCount, regs.data());
    const auto at = [&regs](int reg) { return regs.begin() + (reg - regmap::kInLiveValue); };
    if (!result) {
        refused = result.kind() == LinkResult::Kind::Exception ||
                  (result.kind() == LinkResult::Kind::BadFrame && result.error() == EMBBADDATA);
        return result;
    }
    if (record.rangeKnown &&
        !std::equal(record.rangeRegs.begin(), record.rangeRegs.end(), at(regmap::kInRange))) {
        refused = true;
        return LinkResult::fromModbusError(EMBBADDATA);
    }
    std::copy_n(at(regmap::kInLiveValue), regmap::kInLiveValueCount, block.value.begin());
    block.register1004 = *at(regmap::kInUnused1004);
    block.decimals = *at(regmap::kInDecimals);
    return result;
}

// A gateway that sends a reply twice puts the copy of the last reply in the place of the next
// one of the same shape, and the decimals register is read right after register 1004 of that
// very shape: decimals other than those known are believed only when the next read agrees.
LinkResult Poller::confirmDecimals(DeviceRecord& record, uint16_t decimals) {
    if (record.decimalsKnown && decimals == record.decimalsReg)
        return LinkResult::success();
    for (int read = 0; read < kMostDecimalsRereads; ++read) {
        uint16_t again = 0;
        const LinkResult result = link_.readInputRegisters(regmap::kInDecimals, 1, &again);
        if (!result)
            return result;
        if (again == decimals) {
            record.decimalsReg = decimals;
            record.decimalsKnown = true;
            record.publishDecimals(decimals);
            return result;
        }
        decimals = again;
    }
    return LinkResult::fromModbusError(EMBBADDATA);
}

void Poller::handOut(float value, uint8_t address) {
    // Held while the sinks are called, so that an unsubscribed sink is never called again.
    const std::lock_guard<std::mutex> lock(sinksMutex_);
    taking_.clear();
    for (ReadingSink* sink : sinks_) {
        if (sink->takes(address))
            taking_.push_back(sink);
    }
    if (taking_.empty())
        return;
    const LiveReading reading{value, clock_.now(), address};
    for (ReadingSink* sink : taking_)
        sink->reading(reading);
}

void Poller::updateDisplay(const DeviceRecord& record) {
    const std::string value =
        formatValueText(regmap::decodeFloat(record.liveValueRegs.data()), record.decimalsReg);
    const std::string unit(regmap::unitName(regmap::highByte(record.settings[0])));
    if (displayShown_ && value == shownValue_ && unit == shownUnit_)
        return;
    displayShown_ = true;
    shownValue_ = value;
    shownUnit_ = unit;
    observer_.displayChanged(value, unit);
}

void Poller::setPresence(size_t index, DeviceRecord& record, PresenceState state) {
    if (record.presence() == state)
        return;
    record.setPresence(state);
    observer_.presenceChanged(index, record.address(), state);
}

std::vector<RecordSnapshot> Poller::snapshot() const {
    std::vector<RecordSnapshot> records;
    records.reserve(table_.size());
    for (size_t i = 0; i < table_.size(); ++i) {
        const DeviceRecord& record = table_[i];
        RecordSnapshot s;
        s.address = record.address();
        s.presence = record.presence();
        s.hasValue = record.hasValue();
        if (s.hasValue)
            s.valueText = formatValueText(record.value(), record.decimals());
        s.unitText = std::string(regmap::unitName(record.unitIndex()));
        records.push_back(std::move(s));
    }
    return records;
}

}  // namespace vornex
