#pragma once

// The keys of the documents a verification run issues: a declaration of conformance, a
// verification record that is no declaration, and a calibration certificate with its uncertainty.
namespace vornex::langkey {

// What each document is called.
inline constexpr const char* kDocDeclarationTitle = "IDS_DOC_DECLARATION_TITLE";
inline constexpr const char* kDocRecordTitle = "IDS_DOC_RECORD_TITLE";
inline constexpr const char* kDocCalibrationTitle = "IDS_DOC_CALIBRATION_TITLE";
// The decision rule a declaration (or a calibration that states one) is made by.
inline constexpr const char* kDocDecisionRule = "IDS_DOC_DECISIONRULE";
inline constexpr const char* kDocReadingRule = "IDS_DOC_READINGRULE";
inline constexpr const char* kDocUncertaintyRule = "IDS_DOC_UNCERTAINTYRULE";
// The tool as the register names it, its marked torques, unit and directions, the preloads.
inline constexpr const char* kDocMaker = "IDS_DOC_MAKER";
inline constexpr const char* kDocModel = "IDS_DOC_MODEL";
inline constexpr const char* kDocSerial = "IDS_DOC_SERIAL";
inline constexpr const char* kDocNotGiven = "IDS_DOC_NOTGIVEN";
inline constexpr const char* kDocLowest = "IDS_DOC_LOWEST";
inline constexpr const char* kDocMaximum = "IDS_DOC_MAXIMUM";
inline constexpr const char* kDocNotMarked = "IDS_DOC_NOTMARKED";
inline constexpr const char* kDocUnit = "IDS_DOC_UNIT";
inline constexpr const char* kDocDirections = "IDS_DOC_DIRECTIONS";
inline constexpr const char* kDocClockwise = "IDS_DOC_CLOCKWISE";
inline constexpr const char* kDocCounterclockwise = "IDS_DOC_COUNTERCLOCKWISE";
inline constexpr const char* kDocBothDirections = "IDS_DOC_BOTHDIRECTIONS";
inline constexpr const char* kDocPreloads = "IDS_DOC_PRELOADS";
inline constexpr const char* kDocReadingsIn = "IDS_DOC_READINGSIN";
inline constexpr const char* kDocSummaryIn = "IDS_DOC_SUMMARYIN";
// A record: why it is no declaration.
inline constexpr const char* kDocNoDeclaration = "IDS_DOC_NODECLARATION";
inline constexpr const char* kDocNoStandard = "IDS_DOC_NOSTANDARD";
inline constexpr const char* kDocShortfall = "IDS_DOC_SHORTFALL";
inline constexpr const char* kDocRecordWithin = "IDS_DOC_RECORDWITHIN";
inline constexpr const char* kDocRecordExceeds = "IDS_DOC_RECORDEXCEEDS";
// A calibration: its result, the outcome of its decision rule, its uncertainty budget.
inline constexpr const char* kDocCalibrationResult = "IDS_DOC_CALIBRATIONRESULT";
inline constexpr const char* kDocRuleMet = "IDS_DOC_RULEMET";
inline constexpr const char* kDocRuleFailed = "IDS_DOC_RULEFAILED";
inline constexpr const char* kDocRuleOpen = "IDS_DOC_RULEOPEN";
inline constexpr const char* kDocBudget = "IDS_DOC_BUDGET";
inline constexpr const char* kDocBudgetTarget = "IDS_DOC_BUDGETTARGET";
inline constexpr const char* kDocBudgetNote = "IDS_DOC_BUDGETNOTE";
inline constexpr const char* kDocNotMeasured = "IDS_DOC_NOTMEASURED";
inline constexpr const char* kDocTermResolution = "IDS_DOC_TERMRESOLUTION";
inline constexpr const char* kDocTermReproducibility = "IDS_DOC_TERMREPRODUCIBILITY";
inline constexpr const char* kDocTermOutputDrive = "IDS_DOC_TERMOUTPUTDRIVE";
inline constexpr const char* kDocTermInterface = "IDS_DOC_TERMINTERFACE";
inline constexpr const char* kDocTermLoadingPoint = "IDS_DOC_TERMLOADINGPOINT";
inline constexpr const char* kDocTermReference = "IDS_DOC_TERMREFERENCE";
inline constexpr const char* kDocTraceability = "IDS_DOC_TRACEABILITY";
inline constexpr const char* kDocQuarterReference = "IDS_DOC_QUARTERREFERENCE";
inline constexpr const char* kDocQuarterReferenceFails = "IDS_DOC_QUARTERREFERENCEFAILS";
inline constexpr const char* kDocQuarterResolution = "IDS_DOC_QUARTERRESOLUTION";
inline constexpr const char* kDocQuarterResolutionFails = "IDS_DOC_QUARTERRESOLUTIONFAILS";
inline constexpr const char* kDocQuarterUnknown = "IDS_DOC_QUARTERUNKNOWN";

inline constexpr const char* kCertificateLanguageKeys[] = {
    kDocDeclarationTitle,
    kDocRecordTitle,
    kDocCalibrationTitle,
    kDocDecisionRule,
    kDocReadingRule,
    kDocUncertaintyRule,
    kDocMaker,
    kDocModel,
    kDocSerial,
    kDocNotGiven,
    kDocLowest,
    kDocMaximum,
    kDocNotMarked,
    kDocUnit,
    kDocDirections,
    kDocClockwise,
    kDocCounterclockwise,
    kDocBothDirections,
    kDocPreloads,
    kDocReadingsIn,
    kDocSummaryIn,
    kDocNoDeclaration,
    kDocNoStandard,
    kDocShortfall,
    kDocRecordWithin,
    kDocRecordExceeds,
    kDocCalibrationResult,
    kDocRuleMet,
    kDocRuleFailed,
    kDocRuleOpen,
    kDocBudget,
    kDocBudgetTarget,
    kDocBudgetNote,
    kDocNotMeasured,
    kDocTermResolution,
    kDocTermReproducibility,
    kDocTermOutputDrive,
    kDocTermInterface,
    kDocTermLoadingPoint,
    kDocTermReference,
    kDocTraceability,
    kDocQuarterReference,
    kDocQuarterReferenceFails,
    kDocQuarterResolution,
    kDocQuarterResolutionFails,
    kDocQuarterUnknown,
};

}  // namespace vornex::langkey
