#include "link/InstrumentFacts.h"

#include <algorithm>

#include "link/RegisterMap.h"
#include "text/NumberText.h"

namespace vornex {

std::optional<InstrumentFacts> instrumentFacts(const DeviceRecord& record) {
    const DeviceRecord::PublishedSettings published = record.publishedSettings();
    if (record.presence() != PresenceState::Identified || !record.hasValue() || !published.known)
        return std::nullopt;
    const regmap::Settings settings = regmap::Settings::decode(published.settings.data());
    InstrumentFacts facts;
    facts.unit = std::string(regmap::unitName(settings.unit));
    facts.measuringMode = settings.measuringMode;
    facts.decimals = std::min<int>(record.decimals(), kMaxShownDecimals);
    facts.range = published.range;
    static const char kHex[] = "0123456789abcdef";
    for (uint8_t byte : published.identification) {
        facts.identification += kHex[byte >> 4];
        facts.identification += kHex[byte & 0x0f];
    }
    return facts;
}

}  // namespace vornex
