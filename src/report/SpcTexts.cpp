#include "report/SpcTexts.h"

#include "i18n/Language.h"
#include "i18n/SpcKeys.h"

namespace vornex {

SpcTexts spcTexts(const QString& languageFile) {
    namespace k = langkey;
    const auto text = [&languageFile](const char* key, const char* english) {
        const QString fallback = QString::fromUtf8(english);
        return languageFile.isEmpty()
                   ? fallback
                   : langStringOr(languageFile, QString::fromLatin1(key), fallback);
    };
    SpcTexts t;
    t.button = text(k::kSpcButton, "Control chart...");
    t.title = text(k::kSpcTitle, "Control chart");
    t.instrument = text(k::kSpcInstrument, "Instrument:");
    t.subgroup = text(k::kSpcSubgroup, "Subgroup size:");
    t.chart = text(k::kSpcChart, "Chart:");
    t.chartRange = text(k::kSpcChartRange, "X̄ and R");
    t.chartSd = text(k::kSpcChartSd, "X̄ and s");
    t.rules = text(k::kSpcRules, "Rules:");
    t.tooFew = text(k::kSpcTooFew, "Too few complete pulls for two subgroups of %1.");
    t.leftOut = text(k::kSpcLeftOut, "The last %1 pulls make no whole subgroup and are left out.");
    t.noBreaks = text(k::kSpcNoBreaks, "No rule broke.");
    t.breakRule = text(k::kSpcBreakRule, "Subgroup %1: rule %2, %3");
    t.breakSpread = text(k::kSpcBreakSpread, "Subgroup %1: its %2 lies beyond its limits");
    t.range = text(k::kSpcRange, "range");
    t.sd = text(k::kSpcSd, "standard deviation");
    t.capability = text(k::kSpcCapability, "Capability: Cp %1   Cpk %2   Pp %3   Ppk %4");
    const char* const keys[] = {k::kSpcRule1, k::kSpcRule2, k::kSpcRule3, k::kSpcRule4,
                                k::kSpcRule5, k::kSpcRule6, k::kSpcRule7, k::kSpcRule8};
    const char* const english[] = {"a point beyond 3σ",
                                   "9 in a row on one side",
                                   "6 in a row rising or falling",
                                   "14 in a row alternating",
                                   "2 of 3 beyond 2σ on one side",
                                   "4 of 5 beyond 1σ on one side",
                                   "15 in a row within 1σ",
                                   "8 in a row beyond 1σ on both sides"};
    for (size_t i = 0; i < t.rule.size(); ++i)
        t.rule[i] = text(keys[i], english[i]);
    return t;
}

}  // namespace vornex
