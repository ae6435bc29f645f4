#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <mutex>

#include "link/PresenceState.h"
#include "link/RegisterMap.h"

namespace vornex {

// One instrument of the device table. The register images are written by the acquisition thread
// only and read by others only while no thread runs. What the interface thread reads or writes
// while polling runs (address, presence, the live value and its decimals and unit) is atomic.
class DeviceRecord {
public:
    // The settings as last read, with the range and decimals they go with, for other threads.
    struct PublishedSettings {
        bool known = false;
        uint16_t modeNumber = 0;
        std::array<uint16_t, regmap::kHoldSettingsCount> settings{};
        float range = 0.0f;
        uint16_t decimals = 0;
        // The instrument's answer to the presence check, zero-filled.
        std::array<uint8_t, regmap::kIdentificationSize> identification{};
    };

    explicit DeviceRecord(uint8_t address) : addressWord_(address) {}

    uint8_t address() const { return addressOf(addressWord_.load(std::memory_order_acquire)); }

    // A new address makes the record a new instrument: its presence is checked again. While the
    // acquisition thread runs the reset is left to the thread, which applies it before it next
    // talks to the record, so the record never mixes the old instrument's state with the new.
    void changeAddress(uint8_t address, bool threadRunning);
    // Acquisition thread: the address to talk to now, after applying a pending address change.
    uint8_t takeAddress();

    PresenceState presence() const { return presence_.load(std::memory_order_acquire); }
    void setPresence(PresenceState state) { presence_.store(state, std::memory_order_release); }
    bool identified() const { return identification[0] != 0; }
    bool absent() const { return absentFlag != 0; }

    // Published after a successful read of the live value.
    bool hasValue() const { return hasValue_.load(std::memory_order_acquire); }
    float value() const { return value_.load(std::memory_order_acquire); }
    uint16_t decimals() const { return decimals_.load(std::memory_order_acquire); }
    uint8_t unitIndex() const { return unitIndex_.load(std::memory_order_acquire); }
    void publishValue(float value);
    void publishDecimals(uint16_t decimals) {
        decimals_.store(decimals, std::memory_order_release);
    }
    void publishSettings();
    PublishedSettings publishedSettings() const;
    // The instrument refused the merged live read: it is read with four requests until it is
    // another instrument (a new address).
    bool fastPassRefused() const { return fastPassRefused_.load(std::memory_order_acquire); }
    void refuseFastPass() { fastPassRefused_.store(true, std::memory_order_release); }
    // Grows with every publication and reset of the settings, so a reader can tell a change.
    uint32_t settingsGeneration() const {
        return settingsGeneration_.load(std::memory_order_acquire);
    }

    // Register images as last read; a failed read leaves them as they were.
    std::array<uint16_t, 2> liveValueRegs{};
    uint16_t register1004 = 0;
    uint16_t decimalsReg = 0;
    uint16_t modeNumber = 0;
    std::array<uint16_t, regmap::kHoldSettingsCount> settings{};
    std::array<uint8_t, regmap::kIdentificationSize> identification{};
    int32_t absentFlag = 0;
    // The settings read at identification failed: they are read on a later pass.
    bool settingsPending = false;
    // decimalsReg holds decimals read twice alike, or with the identification.
    bool decimalsKnown = false;
    uint16_t status = 0;
    std::array<uint16_t, regmap::kInRangeCount> rangeRegs{};
    // rangeRegs were read at identification: what a merged live read must agree with.
    bool rangeKnown = false;
    std::array<uint16_t, regmap::kInIdentBlock1005Count> identBlockRegs{};
    std::array<uint16_t, regmap::kInInfo1011Count> infoRegs{};

private:
    // The address and a count of its edits share one word, so the thread sees both together.
    static uint8_t addressOf(uint32_t word) { return static_cast<uint8_t>(word & 0xFF); }
    static uint32_t generationOf(uint32_t word) { return word >> 8; }
    void resetPresence();

    std::atomic<uint32_t> addressWord_;
    uint32_t seenGeneration_ = 0;
    std::atomic<PresenceState> presence_{PresenceState::Unidentified};
    std::atomic<bool> hasValue_{false};
    std::atomic<float> value_{0.0f};
    std::atomic<uint16_t> decimals_{0};
    std::atomic<uint8_t> unitIndex_{0};
    std::atomic<bool> fastPassRefused_{false};
    mutable std::mutex publishedMutex_;
    PublishedSettings published_;
    std::atomic<uint32_t> settingsGeneration_{0};
};

}  // namespace vornex
