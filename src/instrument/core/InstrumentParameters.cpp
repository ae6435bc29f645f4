#include "instrument/core/InstrumentParameters.h"

#include <cmath>

#include "text/NumberText.h"

namespace vornex {

OpenResult InstrumentParameters::connect(const std::string& port, int slave) {
    linkFailure_ = LinkResult::success();
    settingsKnown_ = false;
    if (const OpenResult opened = link_.open(port); opened != OpenResult::Opened)
        return opened;
    uint16_t regs[regmap::kInRangeCount] = {};
    if (!succeeded(link_.setSlave(slave)) ||
        !succeeded(link_.readInputRegisters(regmap::kInRange, regmap::kInRangeCount, regs))) {
        link_.close();
        return OpenResult::NoAnswer;
    }
    range_ = regmap::decodeFloat(regs);
    if (!readParameterSet()) {
        link_.close();
        return OpenResult::NoAnswer;
    }
    return OpenResult::Opened;
}

void InstrumentParameters::disconnect() {
    link_.close();
    settingsKnown_ = false;
}

bool InstrumentParameters::succeeded(const LinkResult& result) {
    if (!result)
        linkFailure_ = result;
    return result.ok();
}

// A failed read forgets the block: what was held before belongs to another parameter set or
// another instrument.
bool InstrumentParameters::readParameterSet() {
    uint16_t mode = 0;
    uint16_t regs[regmap::kHoldSettingsCount] = {};
    settingsKnown_ = succeeded(link_.readHoldingRegisters(regmap::kHoldModeNumber, 1, &mode)) &&
                     succeeded(link_.readHoldingRegisters(regmap::kHoldSettings,
                                                          regmap::kHoldSettingsCount, regs));
    if (settingsKnown_) {
        modeNumber_ = mode;
        settings_ = regmap::Settings::decode(regs);
    }
    return settingsKnown_;
}

bool InstrumentParameters::ensureSettings() {
    return settingsKnown_ || readParameterSet();
}

InstrumentParameters::WriteResult InstrumentParameters::changeMode(int modeNumber) {
    if (!connected())
        return WriteResult::NotConnected;
    if (modeNumber < 0 || modeNumber >= regmap::kModeNumberCount)
        return WriteResult::Refused;
    const auto mode = static_cast<uint16_t>(modeNumber);
    if (!succeeded(link_.writeRegister(regmap::kHoldModeNumber, mode)) ||
        !succeeded(link_.writeRegister(regmap::kHoldStatus, regmap::kStatusModeWritten)))
        return WriteResult::WriteFailed;
    if (!readParameterSet())
        return WriteResult::Unconfirmed;
    return modeNumber_ == mode ? WriteResult::Written : WriteResult::Differs;
}

InstrumentParameters::WriteResult InstrumentParameters::writeSettings(
    const regmap::Settings& settings) {
    uint16_t regs[regmap::kHoldSettingsCount];
    settings.encode(regs);
    if (!succeeded(link_.writeRegisters(regmap::kHoldSettings, regmap::kHoldSettingsCount, regs)) ||
        !succeeded(link_.writeRegister(regmap::kHoldStatus, regmap::kStatusSettingsWritten))) {
        // Whatever reached the instrument is unknown now: it is read again before the next write.
        settingsKnown_ = false;
        return WriteResult::WriteFailed;
    }
    uint16_t held[regmap::kHoldSettingsCount] = {};
    if (!succeeded(
            link_.readHoldingRegisters(regmap::kHoldSettings, regmap::kHoldSettingsCount, held))) {
        settingsKnown_ = false;
        return WriteResult::Unconfirmed;
    }
    settings_ = regmap::Settings::decode(held);
    for (int i = 0; i < regmap::kHoldSettingsCount; ++i) {
        if (held[i] != regs[i])
            return WriteResult::Differs;
    }
    return WriteResult::Written;
}

InstrumentParameters::WriteResult InstrumentParameters::changeUnit(unsigned unit) {
    if (!connected())
        return WriteResult::NotConnected;
    if (unit < params::kFirstUnit || unit > params::kLastUnit)
        return WriteResult::Refused;
    if (!ensureSettings())
        return WriteResult::NotRead;
    regmap::Settings changed = settings_;
    changed.unit = static_cast<uint8_t>(unit);
    return writeSettings(changed);
}

InstrumentParameters::WriteResult InstrumentParameters::changeMeasuringMode(unsigned code) {
    if (!connected())
        return WriteResult::NotConnected;
    if (code < params::kFirstMeasuringMode || code > params::kLastMeasuringMode)
        return WriteResult::Refused;
    if (!ensureSettings())
        return WriteResult::NotRead;
    regmap::Settings changed = settings_;
    changed.measuringMode = static_cast<uint8_t>(code);
    return writeSettings(changed);
}

InstrumentParameters::WriteResult InstrumentParameters::set(const TypedSettings& typed,
                                                            params::SetPlan* plan) {
    if (!connected())
        return WriteResult::NotConnected;
    // Fields are compared with what this block shows, so the block must be the instrument's.
    if (!settingsKnown_)
        return WriteResult::NotRead;
    const params::SetPlan verdict = planSet(typed, settings_.unit);
    if (plan != nullptr)
        *plan = verdict;
    if (verdict.check != params::SetCheck::Accepted)
        return WriteResult::Refused;
    regmap::Settings changed = settings_;
    changed.target = verdict.target;
    changed.upperLimit = verdict.upper;
    changed.lowerLimit = verdict.lower;
    return writeSettings(changed);
}

params::SetPlan InstrumentParameters::planSet(const TypedSettings& typed, unsigned unit) const {
    const ParameterFields shown = fields();
    const bool asShown = settingsKnown_ && unit == settings_.unit;
    auto field = [asShown](const std::string& text, const std::string& shownText, uint32_t raw) {
        params::SetField f;
        f.typed = parseNumber(text).value_or(std::nan(""));
        if (asShown && text == shownText)
            f.unchangedRaw = raw;
        return f;
    };
    return params::planSet(range_, field(typed.target, shown.target, settings_.target),
                           field(typed.upper, shown.upper, settings_.upperLimit),
                           field(typed.lower, shown.lower, settings_.lowerLimit), unit);
}

ParameterFields InstrumentParameters::fields() const {
    return parameterFields(range_, modeNumber_,
                           settingsKnown_ ? std::optional(settings_) : std::nullopt);
}

ParameterFields parameterFields(float range, uint16_t modeNumber,
                                const std::optional<regmap::Settings>& settings) {
    ParameterFields f;
    f.range = formatFixed(static_cast<double>(range), 1);
    auto indexOf = [](unsigned code, unsigned first, unsigned last) {
        return code >= first && code <= last ? static_cast<int>(code - first) : -1;
    };
    f.modeIndex = indexOf(modeNumber, 0, regmap::kModeNumberCount - 1);
    if (!settings)
        return f;
    f.measureIndex =
        indexOf(settings->measuringMode, params::kFirstMeasuringMode, params::kLastMeasuringMode);
    f.unitIndex = indexOf(settings->unit, params::kFirstUnit, params::kLastUnit);
    const int d = regmap::decimalsForRange(range);
    f.target = formatFixed(params::rawToShown(settings->target, d, settings->unit),
                           params::displayPrecision(d, settings->unit));
    f.upper = formatFixed(params::limitPercent(settings->upperLimit), 1);
    f.lower = formatFixed(params::limitPercent(settings->lowerLimit), 1);
    return f;
}

}  // namespace vornex
