#include "Instrument.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>

#include "StoredRecords.h"

namespace vornex::sim {

namespace {

constexpr int kMaxReadCount = 125;
constexpr int kMaxWriteCount = 123;
// Fine enough that the smooth profile's top is held within a hair; a spike's corners are seen
// exactly, whatever the step.
constexpr std::chrono::milliseconds kObserveStep{1};
// What a click wrench's torque loses at once when it clicks.
constexpr double kClickShare = 0.02;
// Where the register groups begin, after the first of each kind of register.
constexpr int kInputGroups[] = {regmap::kInRange, regmap::kInUnused1004, regmap::kInDecimals,
                                regmap::kInInfo1011, regmap::kInStoredRecord};
constexpr int kHoldingGroups[] = {regmap::kHoldModeNumber, regmap::kHoldSettings,
                                  regmap::kHoldSettings + regmap::kHoldSettingsCount,
                                  regmap::kHoldRecordSelector};

template <std::size_t N>
bool crossesGroup(const int (&starts)[N], int first, int count) {
    return std::any_of(std::begin(starts), std::end(starts),
                       [&](int start) { return first < start && start < first + count; });
}

// Factor from N.m to the unit of the unit table's index.
double unitFactor(unsigned unit) {
    switch (unit) {
        case 2:
            return 10.19716;  // kgf.cm
        case 3:
            return 0.7375621;  // ft.lbf
        case 4:
            return 8.850746;  // in.lbf
        default:
            return 1.0;
    }
}

regmap::Settings defaultSet(int modeNumber, float range) {
    regmap::Settings s;
    s.measuringMode = static_cast<uint8_t>(1 + modeNumber % 3);
    s.unit = static_cast<uint8_t>(1 + modeNumber % 4);
    s.upperLimit = static_cast<uint8_t>(50 + 10 * modeNumber);
    s.lowerLimit = static_cast<uint8_t>(30 + 5 * modeNumber);
    const double scale = std::pow(10.0, regmap::decimalsForRange(range));
    s.target = static_cast<uint32_t>(range * (0.5 + 0.04 * modeNumber) * scale);
    return s;
}

}  // namespace

Instrument::Instrument(const InstrumentConfig& config, Clock::time_point start)
    : config_(config),
      start_(start),
      nextKeypad_(start + std::chrono::milliseconds(config.keypadEveryMs)),
      profile_(config.range, config.seed * 31 + static_cast<uint64_t>(config.address)),
      records_(makeStoredRecords(config.recordCount,
                                 config.seed * 131 + static_cast<uint64_t>(config.address))) {
    observed_ = start;
    for (int m = 0; m < regmap::kModeNumberCount; ++m)
        sets_[m] = defaultSet(m, config.range);
    holding_[regmap::kHoldStatus] = 0;
    holding_[regmap::kHoldModeNumber] = 0;
    loadActiveSet();
}

void Instrument::setRange(float range) {
    config_.range = range;
    settingsChanged();
}

void Instrument::loadActiveSet() {
    sets_[active_].encode(&holding_[regmap::kHoldSettings]);
    settingsChanged();
}

void Instrument::settingsChanged() {
    const regmap::Settings& s = sets_[active_];
    PeakHold::Rules rules;
    rules.threshold = config_.peakThresholdPercent / 100.0 * config_.range * unitFactor(s.unit);
    // Twice the noise's span, so that the noise on a steady pull never looks like a click.
    rules.leastDrop = 2.0 * TorqueProfile::kNoiseShare * config_.range * unitFactor(s.unit);
    rules.holdSeconds = config_.holdSeconds;
    hold_.setMode(s.measuringMode, rules);
}

double Instrument::torqueAt(Clock::time_point t) const {
    double value = 0.0;
    if (config_.fixedValue) {
        value = *config_.fixedValue;
    } else {
        const double seconds = std::chrono::duration<double>(t - start_).count();
        const unsigned unit = regmap::highByte(holding_[regmap::kHoldSettings]);
        value = static_cast<float>(profile_.valueAt(seconds) * unitFactor(unit));
    }
    for (const Spike& spike : spikes_)
        value += spike.at(t);
    return value;
}

// In whole clock ticks, so that the top is the peak exactly.
double Instrument::Spike::at(Clock::time_point t) const {
    if (t < start || t > end())
        return 0.0;
    const auto since = (t - start).count();
    if (since <= rise.count())
        return peak * static_cast<double>(since) / static_cast<double>(rise.count());
    const double top = peak * (1.0 - dropShare);
    return top *
           (1.0 - static_cast<double>(since - rise.count()) / static_cast<double>(fall.count()));
}

void Instrument::advance(Clock::time_point now) {
    if (now <= observed_)
        return;
    if (hold_.holds()) {
        for (Clock::time_point t = observed_; t < now;) {
            Clock::time_point next = std::min<Clock::time_point>(t + kObserveStep, now);
            for (const Spike& spike : spikes_) {
                for (const Clock::time_point corner :
                     {spike.start, spike.start + spike.rise, spike.end()}) {
                    if (corner > t && corner < next)
                        next = corner;
                }
            }
            hold_.observe(std::chrono::duration<double>(next - start_).count(), torqueAt(next));
            t = next;
        }
    }
    observed_ = now;
    spikes_.erase(std::remove_if(spikes_.begin(), spikes_.end(),
                                 [now](const Spike& s) { return s.end() < now; }),
                  spikes_.end());
}

void Instrument::setFixedValue(std::optional<float> value, Clock::time_point now) {
    advance(now);
    config_.fixedValue = value;
    hold_.observe(std::chrono::duration<double>(now - start_).count(), torqueAt(now));
}

void Instrument::spike(float peak, Clock::duration length, Clock::time_point now) {
    advance(now);
    spikes_.push_back({now, length / 2, length - length / 2, peak, 0.0});
}

void Instrument::pull(float peak, Clock::duration rise, bool click, Clock::time_point now) {
    advance(now);
    spikes_.push_back({now, rise, rise, peak, click ? kClickShare : 0.0});
}

void Instrument::resetHold(Clock::time_point now) {
    advance(now);
    hold_.reset();
}

void Instrument::applyScheduledKeypad(Clock::time_point now) {
    if (config_.keypadEveryMs <= 0 || now < nextKeypad_)
        return;
    KeypadChange change;
    change.unit = static_cast<uint8_t>(sets_[active_].unit % 4 + 1);
    changeOnKeypad(change, now);
    nextKeypad_ = now + std::chrono::milliseconds(config_.keypadEveryMs);
}

void Instrument::changeOnKeypad(const KeypadChange& change, Clock::time_point now) {
    advance(now);
    if (change.modeNumber && *change.modeNumber < regmap::kModeNumberCount) {
        active_ = *change.modeNumber;
        holding_[regmap::kHoldModeNumber] = *change.modeNumber;
    }
    regmap::Settings& s = sets_[active_];
    if (change.measuringMode)
        s.measuringMode = *change.measuringMode;
    if (change.unit)
        s.unit = *change.unit;
    if (change.upperLimit)
        s.upperLimit = *change.upperLimit;
    if (change.lowerLimit)
        s.lowerLimit = *change.lowerLimit;
    if (change.target)
        s.target = *change.target;
    loadActiveSet();
    holding_[regmap::kHoldStatus] = regmap::kStatusSettingsChanged;
}

float Instrument::liveValue(Clock::time_point now) const {
    return static_cast<float>(hold_.shown(torqueAt(now)));
}

uint16_t Instrument::liveDecimals() const {
    if (config_.decimals >= 0)
        return static_cast<uint16_t>(config_.decimals);
    int d = regmap::decimalsForRange(config_.range);
    switch (regmap::highByte(holding_[regmap::kHoldSettings])) {
        case 2:
            d -= 1;
            break;
        case 3:
            d += 1;
            break;
        case 4:
            d -= 2;
            break;
        default:
            break;
    }
    return static_cast<uint16_t>(std::max(d, 0));
}

ModbusException Instrument::readHolding(int first, int count, uint16_t* out,
                                        Clock::time_point now) {
    if (count < 1 || count > kMaxReadCount)
        return ModbusException::IllegalDataValue;
    if (first < 0 || first + count > regmap::kHoldingRegisterCount ||
        (mergeRefused_ && crossesGroup(kHoldingGroups, first, count))) {
        return ModbusException::IllegalDataAddress;
    }
    advance(now);
    applyScheduledKeypad(now);
    std::copy_n(holding_.begin() + first, count, out);
    return ModbusException::None;
}

ModbusException Instrument::readInput(int first, int count, uint16_t* out, Clock::time_point now) {
    if (count < 1 || count > kMaxReadCount)
        return ModbusException::IllegalDataValue;
    if (first < kInputFirst || first + count > kInputEnd ||
        (mergeRefused_ && crossesGroup(kInputGroups, first, count))) {
        return ModbusException::IllegalDataAddress;
    }
    advance(now);
    applyScheduledKeypad(now);
    // 32-bit values are encoded whole, so a read that starts on their second register still
    // sees the matching half.
    uint16_t regs[kInputEnd - kInputFirst] = {};
    regmap::encodeFloat(liveValue(now), &regs[regmap::kInLiveValue - kInputFirst]);
    regmap::encodeFloat(config_.range, &regs[regmap::kInRange - kInputFirst]);
    regs[regmap::kInDecimals - kInputFirst] = liveDecimals();
    regs[regmap::kInRecordCount - kInputFirst] = static_cast<uint16_t>(records_.size());
    const unsigned selected = holding_[regmap::kHoldRecordSelector];
    if (selected >= 1 && selected <= records_.size()) {
        records_[selected - 1].encode(&regs[regmap::kInStoredRecord - kInputFirst]);
    }
    std::copy_n(regs + (first - kInputFirst), count, out);
    return ModbusException::None;
}

ModbusException Instrument::writeHolding(int first, const uint16_t* values, int count,
                                         Clock::time_point now) {
    if (count < 1 || count > kMaxWriteCount)
        return ModbusException::IllegalDataValue;
    if (first < 0 || first + count > regmap::kHoldingRegisterCount) {
        return ModbusException::IllegalDataAddress;
    }
    for (int i = 0; i < count; ++i) {
        if (first + i == regmap::kHoldModeNumber && values[i] >= regmap::kModeNumberCount) {
            return ModbusException::IllegalDataValue;
        }
    }
    advance(now);
    applyScheduledKeypad(now);
    for (int i = 0; i < count; ++i) {
        const int reg = first + i;
        const bool settings = reg >= regmap::kHoldSettings &&
                              reg < regmap::kHoldSettings + regmap::kHoldSettingsCount;
        if (!(settingsLocked_ && settings))
            holding_[static_cast<size_t>(reg)] = values[i];
    }
    // The status register is a command: it acts on what the same write left in the others.
    if (first != regmap::kHoldStatus)
        return ModbusException::None;
    switch (holding_[regmap::kHoldStatus]) {
        case regmap::kStatusModeWritten:
            active_ = holding_[regmap::kHoldModeNumber];
            loadActiveSet();
            break;
        case regmap::kStatusSettingsWritten:
            sets_[active_] = regmap::Settings::decode(&holding_[regmap::kHoldSettings]);
            settingsChanged();
            break;
        default:
            break;
    }
    return ModbusException::None;
}

std::vector<uint8_t> Instrument::reportSlaveId() const {
    // Identification byte, run indicator (0xFF: running), then the model text.
    return {config_.identification, 0xFF, 'V', 'X', 'T', '-', '5', '0', '0', ' ', 'v', '1'};
}

}  // namespace vornex::sim
