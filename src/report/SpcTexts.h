#pragma once

#include <QString>
#include <array>

namespace vornex {

// The control chart's words in the language chosen.
struct SpcTexts {
    QString button, title, instrument, subgroup, chart, chartRange, chartSd, rules;
    QString tooFew, leftOut, noBreaks, breakRule, breakSpread, range, sd, capability;
    std::array<QString, 8> rule;  // what rule 1 to 8 says
    QString reportHeading, reportLimits, reportSettings, reportMore;
};

// From the language file (English where it has no text, or without one).
SpcTexts spcTexts(const QString& languageFile);
// From the built-in language pack ("zh_CN", "zh_TW", "en_US").
SpcTexts builtInSpcTexts(const QString& language);

}  // namespace vornex
