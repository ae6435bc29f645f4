#include "link/DeviceRecord.h"

namespace vornex {

void DeviceRecord::changeAddress(uint8_t address, bool threadRunning) {
    const uint32_t generation = generationOf(addressWord_.load(std::memory_order_acquire)) + 1;
    addressWord_.store((generation << 8) | address, std::memory_order_release);
    presence_.store(PresenceState::Unidentified, std::memory_order_release);
    if (!threadRunning) {
        resetPresence();
        seenGeneration_ = generation;
    }
}

uint8_t DeviceRecord::takeAddress() {
    const uint32_t word = addressWord_.load(std::memory_order_acquire);
    if (generationOf(word) != seenGeneration_) {
        resetPresence();
        seenGeneration_ = generationOf(word);
    }
    return addressOf(word);
}

void DeviceRecord::resetPresence() {
    liveValueRegs.fill(0);
    register1004 = 0;
    decimalsReg = 0;
    modeNumber = 0;
    settings.fill(0);
    identification.fill(0);
    absentFlag = 0;
    settingsPending = false;
    decimalsKnown = false;
    status = 0;
    rangeRegs.fill(0);
    rangeKnown = false;
    fastPassRefused_.store(false, std::memory_order_release);
    identBlockRegs.fill(0);
    infoRegs.fill(0);
    hasValue_.store(false, std::memory_order_release);
    value_.store(0.0f, std::memory_order_release);
    decimals_.store(0, std::memory_order_release);
    unitIndex_.store(0, std::memory_order_release);
    presence_.store(PresenceState::Unidentified, std::memory_order_release);
    {
        const std::lock_guard<std::mutex> lock(publishedMutex_);
        published_ = PublishedSettings();
    }
    settingsGeneration_.fetch_add(1, std::memory_order_acq_rel);
}

void DeviceRecord::publishValue(float value) {
    value_.store(value, std::memory_order_release);
    hasValue_.store(true, std::memory_order_release);
}

void DeviceRecord::publishSettings() {
    unitIndex_.store(regmap::highByte(settings[0]), std::memory_order_release);
    {
        const std::lock_guard<std::mutex> lock(publishedMutex_);
        published_.known = true;
        published_.modeNumber = modeNumber;
        published_.settings = settings;
        published_.range = regmap::decodeFloat(rangeRegs.data());
        // At identification the decimals come with the identification block; later passes read
        // them before the settings.
        published_.decimals = hasValue() ? decimalsReg : identBlockRegs[0];
        published_.identification = identification;
    }
    settingsGeneration_.fetch_add(1, std::memory_order_acq_rel);
}

DeviceRecord::PublishedSettings DeviceRecord::publishedSettings() const {
    const std::lock_guard<std::mutex> lock(publishedMutex_);
    return published_;
}

}  // namespace vornex
