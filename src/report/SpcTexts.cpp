#include "report/SpcTexts.h"

#include <QFile>

#include "i18n/Language.h"
#include "i18n/LanguageTexts.h"
#include "i18n/SpcKeys.h"

namespace vornex {

namespace {

// Every text through `text(key, English text)`.
template <typename Lookup>
SpcTexts textsFrom(Lookup text) {
    namespace k = langkey;
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
    t.reportHeading = text(k::kSpcReportHeading, "Control chart: %1");
    t.reportLimits = text(k::kSpcReportLimits,
                          "X̄ chart: LCL %1, CL %2, UCL %3. %4 chart: LCL %5, CL %6, UCL %7.");
    t.reportSettings = text(k::kSpcReportSettings,
                            "Subgroups of %1, %2 in all; limits from the data; rules on: %3.");
    t.reportMore = text(k::kSpcReportMore, "and %1 more breaks.");
    return t;
}

}  // namespace

SpcTexts spcTexts(const QString& languageFile) {
    return textsFrom([&languageFile](const char* key, const char* english) {
        const QString fallback = QString::fromUtf8(english);
        return languageFile.isEmpty()
                   ? fallback
                   : langStringOr(languageFile, QString::fromLatin1(key), fallback);
    });
}

SpcTexts builtInSpcTexts(const QString& language) {
    QFile file(QStringLiteral(":/lang/%1.ini").arg(language));
    const LanguageTexts texts(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    return textsFrom([&texts](const char* key, const char* english) {
        return texts.value(QStringLiteral("String"), QString::fromLatin1(key),
                           QString::fromUtf8(english), kLanguageBufferSize);
    });
}

}  // namespace vornex
