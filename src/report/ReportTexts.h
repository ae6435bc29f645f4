#pragma once

#include <QString>
#include <map>
#include <string>

#include "judge/JudgeRules.h"

namespace vornex {

// The texts of the results panel and of the report in the user's language.
struct ReportTexts {
    QString title, test, file, started, made, instruments, graph, results, events;
    QString slave, unit, measure, set, range, target, upper, lower, threshold, since;
    QString count, lastPeak, pass, low, high, incomplete, mean, sd, min, max;
    QString event, time, peak, verdict, noSettings, automatic;
    QString refusedSettings;  // %1: what of the companion file was refused
    QString peaks, peaksHeld, peaksPolled;
    QString verdictPass, verdictLow, verdictHigh, verdictNone, verdictIncomplete;
    QString open;  // a pull still on while recording
    QString bench, operatorName, tool, hash, hashChanged, note, version, page, identification,
        settings, leftOut, testedBy, reviewedBy, date, signature;
    // A document's issue and its signatures (name, time, the SHA-256 signed).
    QString docNumber, docIssued, docLab, docLabAddress, signedPerformed, signedReviewed,
        signedApproved, signedChanged;
    // A copy of an amended record: "Amendment N to NUMBER", and each change of a field, named
    // in `amendedFields` by the store's name for it.
    QString docAmendment, docChanges, docChange;
    QString toolOverdue;  // the register held the test's tool overdue as it began
    std::map<std::string, QString> amendedFields;
    QString leftOutHere;        // leftOut when no events file goes with the report
    QString slaveName, torque;  // as the window names a slave and the torque axis
    // The certificate of a tool's verification run.
    QString certAmbient, certDescription, certTypeClass, certReference, certIdentification,
        certRange, certProfile, certPermissible, certRunFile, certReadings, certSummary, certPoint,
        certSetting, certIndication, certReading, certDeviation, certMeanDeviation, certSpread,
        certShare, certConformsShort, certExceeds, certConforms, certNotConforms, certReferenceDue,
        certMean, certAsset, certCondition, certAsFound, certAsLeft;
    // What the certificate remarks on: every confirmation and warning of the run file, and what
    // the certificate finds itself (conditions not recorded, a reference overdue).
    QString certRemarks, certNoRemarks, certRemarkTime, certRemarkText, certAmbientNone,
        certAmbientNoHumidity, certAmbientNoTemperature, certRemarkAmbient, certRemarkOverdue,
        certConformsRemarks, certNotConformsRemarks;
    // The documents a run issues (see DocumentKind): their titles and what each states beside
    // the certificate's fields.
    QString docDeclarationTitle, docRecordTitle, docCalibrationTitle, docDecisionRule,
        docReadingRule, docUncertaintyRule, docMaker, docModel, docSerial, docNotGiven, docLowest,
        docMaximum, docNotMarked, docUnit, docDirections, docClockwise, docCounterclockwise,
        docBothDirections, docPreloads, docReadingsIn, docSummaryIn, docNoDeclaration,
        docNoStandard, docShortfall, docRecordWithin, docRecordExceeds, docCalibrationResult,
        docRuleMet, docRuleFailed, docRuleOpen, docBudget, docBudgetTarget, docBudgetNote,
        docNotMeasured, docTermResolution, docTermReproducibility, docTermOutputDrive,
        docTermInterface, docTermLoadingPoint, docTermReference, docTraceability,
        docQuarterReference, docQuarterReferenceFails, docQuarterResolution,
        docQuarterResolutionFails, docQuarterUnknown;

    QString verdictText(judge::Verdict v) const;
};

// A slave as the window names it ("Slave 3"), followed by the user's name for its address when
// there is one ("Slave 3 Station 3 / SN 4711").
QString slaveText(const ReportTexts& texts, int slave, const std::string& userName = {});

// From a language file; an empty name or a missing key gives the English text.
ReportTexts reportTexts(const QString& languageFile);
// From the built-in file of a language ("en_US", "zh_CN", "zh_TW"); English for any other.
ReportTexts builtInReportTexts(const QString& language);

}  // namespace vornex
