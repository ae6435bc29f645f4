#include "instrument/core/InstrumentParameters.h"

#include "link/NumberText.h"

namespace vornex {

InstrumentParameters::ConnectResult InstrumentParameters::connect(const std::string& port,
                                                                  int slave) {
    linkFailure_ = LinkResult::success();
    if (link_.open(port) != OpenResult::Opened)
        return ConnectResult::PortError;
    uint16_t regs[regmap::kInRangeCount] = {};
    if (!succeeded(link_.setSlave(slave)) ||
        !succeeded(link_.readInputRegisters(regmap::kInRange, regmap::kInRangeCount, regs))) {
        link_.close();
        return ConnectResult::ReadError;
    }
    range_ = regmap::decodeFloat(regs);
    readParameterSet();
    return ConnectResult::Connected;
}

void InstrumentParameters::disconnect() {
    link_.close();
}

bool InstrumentParameters::succeeded(const LinkResult& result) {
    if (!result)
        linkFailure_ = result;
    return result.ok();
}

// A failed read keeps what was held before: the fields then show the last block known.
void InstrumentParameters::readParameterSet() {
    uint16_t mode = 0;
    if (link_.readHoldingRegisters(regmap::kHoldModeNumber, 1, &mode))
        modeNumber_ = mode;
    uint16_t regs[regmap::kHoldSettingsCount] = {};
    if (link_.readHoldingRegisters(regmap::kHoldSettings, regmap::kHoldSettingsCount, regs))
        settings_ = regmap::Settings::decode(regs);
}

InstrumentParameters::WriteResult InstrumentParameters::changeMode(int modeNumber) {
    if (!connected())
        return WriteResult::NotConnected;
    if (modeNumber < 0 || modeNumber >= regmap::kModeNumberCount)
        return WriteResult::Refused;
    modeNumber_ = static_cast<uint16_t>(modeNumber);
    if (!succeeded(link_.writeRegister(regmap::kHoldModeNumber, modeNumber_)) ||
        !succeeded(link_.writeRegister(regmap::kHoldStatus, regmap::kStatusModeWritten)))
        return WriteResult::WriteFailed;
    readParameterSet();
    return WriteResult::Written;
}

InstrumentParameters::WriteResult InstrumentParameters::writeSettings(
    const regmap::Settings& settings) {
    uint16_t regs[regmap::kHoldSettingsCount];
    settings.encode(regs);
    if (!succeeded(link_.writeRegisters(regmap::kHoldSettings, regmap::kHoldSettingsCount, regs)))
        return WriteResult::WriteFailed;
    // The block is ours once it is in the instrument's registers, even if the commit is lost.
    settings_ = settings;
    if (!succeeded(link_.writeRegister(regmap::kHoldStatus, regmap::kStatusSettingsWritten)))
        return WriteResult::WriteFailed;
    return WriteResult::Written;
}

InstrumentParameters::WriteResult InstrumentParameters::changeUnit(unsigned unit) {
    if (!connected())
        return WriteResult::NotConnected;
    if (unit < params::kFirstUnit || unit > params::kLastUnit)
        return WriteResult::Refused;
    regmap::Settings changed = settings_;
    changed.unit = static_cast<uint8_t>(unit);
    return writeSettings(changed);
}

InstrumentParameters::WriteResult InstrumentParameters::changeMeasuringMode(unsigned code) {
    if (!connected())
        return WriteResult::NotConnected;
    if (code < params::kFirstMeasuringMode || code > params::kLastMeasuringMode)
        return WriteResult::Refused;
    regmap::Settings changed = settings_;
    changed.measuringMode = static_cast<uint8_t>(code);
    return writeSettings(changed);
}

InstrumentParameters::WriteResult InstrumentParameters::set(float target, float upper, float lower,
                                                            params::SetCheck* check) {
    if (!connected())
        return WriteResult::NotConnected;
    const params::SetCheck verdict =
        params::checkSetValues(range_, target, upper, lower, settings_.unit);
    if (check != nullptr)
        *check = verdict;
    if (verdict != params::SetCheck::Accepted)
        return WriteResult::Refused;
    regmap::Settings changed = settings_;
    const int d = regmap::decimalsForRange(range_);
    changed.target = params::shownToRaw(target, d, settings_.unit);
    changed.upperLimit = params::limitByte(upper);
    changed.lowerLimit = params::limitByte(lower);
    return writeSettings(changed);
}

ParameterFields InstrumentParameters::fields() const {
    ParameterFields f;
    f.range = formatFixed(range_, 1);
    auto indexOf = [](unsigned code, unsigned first, unsigned last) {
        return code >= first && code <= last ? static_cast<int>(code - first) : -1;
    };
    f.modeIndex = indexOf(modeNumber_, 0, regmap::kModeNumberCount - 1);
    f.measureIndex =
        indexOf(settings_.measuringMode, params::kFirstMeasuringMode, params::kLastMeasuringMode);
    f.unitIndex = indexOf(settings_.unit, params::kFirstUnit, params::kLastUnit);
    const int d = regmap::decimalsForRange(range_);
    const float shown = params::rawToShown(settings_.target, d, settings_.unit);
    f.target = formatFixed(shown, params::displayPrecision(d, settings_.unit));
    f.upper = formatFixed(params::limitPercent(settings_.upperLimit), 1);
    f.lower = formatFixed(params::limitPercent(settings_.lowerLimit), 1);
    return f;
}

}  // namespace vornex
