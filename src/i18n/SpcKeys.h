#pragma once

// The keys of the control chart's texts: the view of an instrument's pulls in subgroups, their
// limits, the run rules that broke and the capability.
namespace vornex::langkey {

// The results panel's button and the view's frame and settings.
inline constexpr const char* kSpcButton = "IDS_SPC_BUTTON";
inline constexpr const char* kSpcTitle = "IDS_SPC_TITLE";
inline constexpr const char* kSpcInstrument = "IDS_SPC_INSTRUMENT";
inline constexpr const char* kSpcSubgroup = "IDS_SPC_SUBGROUP";
inline constexpr const char* kSpcChart = "IDS_SPC_CHART";
inline constexpr const char* kSpcChartRange = "IDS_SPC_CHART_RANGE";
inline constexpr const char* kSpcChartSd = "IDS_SPC_CHART_SD";
inline constexpr const char* kSpcRules = "IDS_SPC_RULES";
// What is charted, or why nothing is: "%1" the subgroup size, "%2" the pulls left out.
inline constexpr const char* kSpcTooFew = "IDS_SPC_TOOFEW";
inline constexpr const char* kSpcLeftOut = "IDS_SPC_LEFTOUT";
inline constexpr const char* kSpcNoBreaks = "IDS_SPC_NOBREAKS";
// A break: "%1" the subgroup, "%2" the rule's number, "%3" what the rule says.
inline constexpr const char* kSpcBreakRule = "IDS_SPC_BREAK_RULE";
// The R or s chart: "%1" the subgroup, "%2" its range or sd.
inline constexpr const char* kSpcBreakSpread = "IDS_SPC_BREAK_SPREAD";
inline constexpr const char* kSpcRange = "IDS_SPC_RANGE";
inline constexpr const char* kSpcSd = "IDS_SPC_SD";
inline constexpr const char* kSpcCapability = "IDS_SPC_CAPABILITY";
// The report's page: "%1" the instrument; the limits of both charts; how it was charted; the
// breaks not listed.
inline constexpr const char* kSpcReportHeading = "IDS_SPC_REPORT_HEADING";
inline constexpr const char* kSpcReportLimits = "IDS_SPC_REPORT_LIMITS";
inline constexpr const char* kSpcReportSettings = "IDS_SPC_REPORT_SETTINGS";
inline constexpr const char* kSpcReportMore = "IDS_SPC_REPORT_MORE";
// What each run rule says, 1 to 8.
inline constexpr const char* kSpcRule1 = "IDS_SPC_RULE1";
inline constexpr const char* kSpcRule2 = "IDS_SPC_RULE2";
inline constexpr const char* kSpcRule3 = "IDS_SPC_RULE3";
inline constexpr const char* kSpcRule4 = "IDS_SPC_RULE4";
inline constexpr const char* kSpcRule5 = "IDS_SPC_RULE5";
inline constexpr const char* kSpcRule6 = "IDS_SPC_RULE6";
inline constexpr const char* kSpcRule7 = "IDS_SPC_RULE7";
inline constexpr const char* kSpcRule8 = "IDS_SPC_RULE8";

inline constexpr const char* kSpcLanguageKeys[] = {
    kSpcButton,       kSpcTitle,          kSpcInstrument,  kSpcSubgroup, kSpcChart,
    kSpcChartRange,   kSpcChartSd,        kSpcRules,       kSpcTooFew,   kSpcLeftOut,
    kSpcNoBreaks,     kSpcBreakRule,      kSpcBreakSpread, kSpcRange,    kSpcSd,
    kSpcCapability,   kSpcRule1,          kSpcRule2,       kSpcRule3,    kSpcRule4,
    kSpcRule5,        kSpcRule6,          kSpcRule7,       kSpcRule8,    kSpcReportHeading,
    kSpcReportLimits, kSpcReportSettings, kSpcReportMore,
};

}  // namespace vornex::langkey
