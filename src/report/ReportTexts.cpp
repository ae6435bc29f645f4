#include "report/ReportTexts.h"

#include <QFile>

#include "i18n/CertificateKeys.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/LanguageTexts.h"
#include "i18n/RegisterKeys.h"
#include "i18n/SignKeys.h"

namespace vornex {

QString ReportTexts::verdictText(judge::Verdict v) const {
    switch (v) {
        case judge::Verdict::Pass:
            return verdictPass;
        case judge::Verdict::Low:
            return verdictLow;
        case judge::Verdict::High:
            return verdictHigh;
        case judge::Verdict::Incomplete:
            return verdictIncomplete;
        case judge::Verdict::None:
            break;
    }
    return verdictNone;
}

QString slaveText(const ReportTexts& texts, int slave, const std::string& userName) {
    const QString text = texts.slaveName.arg(slave);
    return userName.empty() ? text : text + QLatin1Char(' ') + QString::fromStdString(userName);
}

namespace {

// Every text through `text(key, English text)`.
template <typename Lookup>
ReportTexts textsFrom(Lookup text) {
    namespace k = langkey;
    ReportTexts t;
    t.title = text(k::kReportTitle, "Test report");
    t.test = text(k::kPrintTest, "Test: %1");
    t.file = text(k::kPrintFile, "File: %1");
    t.started = text(k::kReportStarted, "Started: %1");
    t.made = text(k::kReportMade, "Report made: %1");
    t.instruments = text(k::kReportInstruments, "Instruments");
    t.graph = text(k::kReportGraph, "Graph");
    t.results = text(k::kResultsTitle, "Results");
    t.events = text(k::kReportEvents, "Events");
    t.slave = text(k::kResultsSlave, "Slave");
    t.unit = text(k::kUploadColUnit, "Unit");
    t.measure = text(k::kReportMeasure, "Measure");
    t.set = text(k::kReportSet, "Parameter set");
    t.range = text(k::kReportRange, "Range (N.m)");
    t.target = text(k::kReportTarget, "Target");
    t.upper = text(k::kReportUpper, "Upper %");
    t.lower = text(k::kReportLower, "Lower %");
    t.threshold = text(k::kResultsThreshold, "Threshold");
    t.since = text(k::kReportSince, "From (s)");
    t.count = text(k::kResultsEvents, "Events");
    t.lastPeak = text(k::kResultsLastPeak, "Last peak");
    t.pass = text(k::kResultsPass, "Pass");
    t.low = text(k::kResultsLow, "Low");
    t.high = text(k::kResultsHigh, "High");
    t.incomplete = text(k::kResultsIncomplete, "Incomplete");
    t.mean = text(k::kResultsMean, "Mean");
    t.sd = text(k::kResultsSd, "SD");
    t.min = text(k::kResultsMin, "Min");
    t.max = text(k::kResultsMax, "Max");
    t.event = text(k::kReportEvent, "No.");
    t.time = text(k::kGraphTime, "Time (s)");
    t.peak = text(k::kReportPeak, "Peak");
    t.peaks = text(k::kReportPeaks, "Source of peaks");
    t.peaksHeld = text(k::kReportPeaksHeld, "peak held by the instrument (%1)");
    t.peaksPolled = text(k::kReportPeaksPolled, "peak from the polled curve, %1 readings/s");
    t.verdict = text(k::kReportVerdict, "Verdict");
    t.noSettings = text(k::kReportNoSettings, "settings not recorded");
    t.refusedSettings =
        text(k::kReportRefusedSettings, "settings refused, judged without settings: %1");
    t.automatic = text(k::kResultsAuto, "5 % of range");
    t.verdictPass = text(k::kVerdictPass, "pass");
    t.verdictLow = text(k::kVerdictLow, "low");
    t.verdictHigh = text(k::kVerdictHigh, "high");
    t.verdictNone = text(k::kVerdictNone, "none");
    t.verdictIncomplete = text(k::kVerdictIncomplete, "incomplete");
    t.open = text(k::kVerdictOpen, "open");
    t.bench = text(k::kReportBench, "Bench: %1");
    t.operatorName = text(k::kReportOperator, "Operator: %1");
    t.tool = text(k::kReportTool, "Tool under test: %1");
    t.hash = text(k::kReportHash, "SHA-256: %1");
    t.hashChanged = text(k::kReportHashChanged,
                         "The file changed after it was closed; its SHA-256 then was %1");
    t.note = text(k::kReportNote, "Note: %1");
    t.version = text(k::kReportVersion, "Recorded with: %1");
    t.page = text(k::kReportPage, "Page %1 of %2");
    t.identification = text(k::kReportIdentification, "Identification");
    t.settings = text(k::kReportSettings, "Settings");
    t.leftOut = text(k::kReportLeftOut,
                     "%1: %2 events, of which only the %3 judged low or high are listed here; the "
                     "CSV file lists every event.");
    t.leftOutHere = text(k::kReportLeftOutHere,
                         "%1: %2 events, of which only the %3 judged low or high are listed here.");
    t.testedBy = text(k::kReportTestedBy, "Tested by:");
    t.reviewedBy = text(k::kReportReviewedBy, "Reviewed by:");
    t.date = text(k::kReportDate, "Date:");
    t.signature = text(k::kReportSignature, "Signature:");
    t.docNumber = text(k::kDocNumber, "Document No.: %1");
    t.docIssued = text(k::kDocIssued, "Issued: %1");
    t.docLab = text(k::kDocLab, "Issued by: %1");
    t.docLabAddress = text(k::kDocLabAddress, "%1, %2");
    t.signedPerformed = text(k::kSignedPerformed, "Performed by %1, %2 (SHA-256 %3)");
    t.signedReviewed = text(k::kSignedReviewed, "Reviewed by %1, %2 (SHA-256 %3)");
    t.signedApproved = text(k::kSignedApproved, "Approved by %1, %2 (SHA-256 %3)");
    t.signedChanged = text(k::kSignedChanged, "changed after it was signed");
    t.docAmendment = text(k::kDocAmendment, "Amendment %1 to %2");
    t.toolOverdue = text(k::kReportToolOverdue, "Tool overdue:");
    t.docChanges = text(k::kDocChanges, "Changes made by amendment");
    t.docChange =
        text(k::kDocChange, "Amendment %1, %2: \"%3\" changed to \"%4\" by %5, %6. Reason: %7");
    for (const k::AmendableField& field : k::kAmendableFields)
        t.amendedFields[field.field] = text(field.key, field.fallback);
    t.slaveName = text(k::kGraphSlave, "Slave %1");
    t.torque = text(k::kGraphTorque, "Torque");
    t.certAmbient = text(k::kCertAmbient, "Ambient conditions: %1 °C, %2 % relative humidity");
    t.certDescription = text(k::kCertDescription, "Description: %1");
    t.certTypeClass = text(k::kCertTypeClass, "Type and class: type %1, class %2");
    t.certReference = text(k::kCertReference, "Reference instrument: %1");
    t.certIdentification = text(k::kCertIdentification, "Identification: %1");
    t.certRange = text(k::kCertRange, "Range: %1");
    t.certProfile = text(k::kCertProfile, "Procedure: %1");
    t.certPermissible = text(k::kCertPermissible, "Permissible deviation: ±%1 %");
    t.certRunFile = text(k::kCertRunFile, "Run file: %1");
    t.certReadings = text(k::kCertReadings, "Readings");
    t.certSummary = text(k::kCertSummary, "Per test point");
    t.certPoint = text(k::kCertPoint, "Point (% of max.)");
    t.certSetting = text(k::kCertSetting, "Setting (%1)");
    t.certIndication = text(k::kCertIndication, "Indication (%1)");
    t.certReading = text(k::kCertReading, "Reading (%1)");
    t.certDeviation = text(k::kCertDeviation, "Deviation (%)");
    t.certMeanDeviation = text(k::kCertMeanDeviation, "Deviation of mean (%)");
    t.certSpread = text(k::kCertSpread, "Spread (%1)");
    t.certShare = text(k::kCertShare, "Spread (%)");
    t.certConformsShort = text(k::kCertConformsShort, "conforms");
    t.certExceeds = text(k::kCertExceeds, "exceeds");
    t.certConforms = text(k::kCertConforms, "Result: the tool conforms to %1");
    t.certNotConforms = text(k::kCertNotConforms, "Result: the tool does not conform to %1");
    t.certReferenceDue = text(k::kVerifyReferenceDue, "Calibration due: %1");
    t.certMean = text(k::kCertMean, "Mean (%1)");
    t.certAsset = text(k::kCertAsset,
                       "Reference asset: %1, certificate %2, relative expanded "
                       "uncertainty %3 % (k = 2)");
    t.certCondition = text(k::kCertCondition, "Condition of the tool: %1");
    t.certAsFound = text(k::kCertAsFound, "as found (as it came in)");
    t.certAsLeft = text(k::kCertAsLeft, "as left (after adjustment)");
    t.certRemarks = text(k::kCertRemarks, "Remarks");
    t.certNoRemarks = text(k::kCertNoRemarks, "No remarks.");
    t.certRemarkTime = text(k::kCertRemarkTime, "Time");
    t.certRemarkText = text(k::kCertRemarkText, "Remark");
    t.certAmbientNone = text(k::kCertAmbientNone, "Ambient conditions: not recorded");
    t.certAmbientNoHumidity = text(k::kCertAmbientNoHumidity,
                                   "Ambient conditions: %1 °C, relative humidity not recorded");
    t.certAmbientNoTemperature =
        text(k::kCertAmbientNoTemperature,
             "Ambient conditions: temperature not recorded, %1 % relative humidity");
    t.certRemarkAmbient =
        text(k::kCertRemarkAmbient,
             "The ambient conditions were not recorded in full when the run started.");
    t.certRemarkOverdue =
        text(k::kCertRemarkOverdue,
             "The reference instrument's calibration was due on %1, before the run started on %2.");
    t.certConformsRemarks =
        text(k::kCertConformsRemarks, "Result: the tool conforms to %1; see the remarks");
    t.certNotConformsRemarks = text(k::kCertNotConformsRemarks,
                                    "Result: the tool does not conform to %1; see the remarks");
    t.docDeclarationTitle =
        text(k::kDocDeclarationTitle, "Declaration of conformance of a torque tool");
    t.docRecordTitle = text(k::kDocRecordTitle, "Verification record of a torque tool");
    t.docCalibrationTitle =
        text(k::kDocCalibrationTitle, "Calibration certificate of a torque tool");
    t.docDecisionRule = text(k::kDocDecisionRule, "Decision rule: %1");
    t.docReadingRule = text(k::kDocReadingRule,
                            "a reading conforms when its deviation, rounded to 0.01 %, is at most "
                            "the permissible deviation");
    t.docUncertaintyRule =
        text(k::kDocUncertaintyRule,
             "a target value conforms when its relative uncertainty interval W′ (the deviation of "
             "its mean plus W) is at most the permissible deviation");
    t.docMaker = text(k::kDocMaker, "Maker: %1");
    t.docModel = text(k::kDocModel, "Model: %1");
    t.docSerial = text(k::kDocSerial, "Serial number: %1");
    t.docNotGiven = text(k::kDocNotGiven, "not given");
    t.docLowest = text(k::kDocLowest, "Lowest marked torque: %1");
    t.docMaximum = text(k::kDocMaximum, "Maximum marked torque: %1");
    t.docNotMarked = text(k::kDocNotMarked, "not marked");
    t.docUnit = text(k::kDocUnit, "Unit: %1");
    t.docDirections = text(k::kDocDirections, "Directions: %1");
    t.docClockwise = text(k::kDocClockwise, "clockwise");
    t.docCounterclockwise = text(k::kDocCounterclockwise, "counterclockwise");
    t.docBothDirections = text(k::kDocBothDirections, "clockwise, then counterclockwise");
    t.docPreloads =
        text(k::kDocPreloads, "Preloads: %1, at the maximum marked torque before the first point");
    t.docReadingsIn = text(k::kDocReadingsIn, "Readings, %1");
    t.docSummaryIn = text(k::kDocSummaryIn, "Per test point, %1");
    t.docNoDeclaration = text(k::kDocNoDeclaration,
                              "This record is neither a declaration of conformance nor a "
                              "calibration certificate: %1 asks more than the run took (%2).");
    t.docNoStandard = text(k::kDocNoStandard,
                           "This record is neither a declaration of conformance nor a calibration "
                           "certificate: its procedure follows neither ISO 6789-1 nor ISO 6789-2.");
    t.docShortfall = text(k::kDocShortfall,
                          "%1 test points asked, %2 taken; %3 readings per point asked, %4 taken; "
                          "%5 preloads asked, %6 taken");
    t.docRecordWithin = text(
        k::kDocRecordWithin,
        "Result: every reading lies within the permissible deviation; no conformance is declared");
    t.docRecordExceeds = text(
        k::kDocRecordExceeds,
        "Result: %1 of %2 readings exceed the permissible deviation; no conformance is declared");
    t.docCalibrationResult = text(k::kDocCalibrationResult,
                                  "Result: each target value is stated with its measurement "
                                  "uncertainty; this certificate states no conformance");
    t.docRuleMet = text(k::kDocRuleMet,
                        "Outcome of the decision rule: W′ is at most the permissible deviation at "
                        "every target value");
    t.docRuleFailed =
        text(k::kDocRuleFailed,
             "Outcome of the decision rule: W′ exceeds the permissible deviation at %1");
    t.docRuleOpen =
        text(k::kDocRuleOpen,
             "Outcome of the decision rule: not stated, as contributions to W were not measured");
    t.docBudget = text(k::kDocBudget, "Measurement uncertainty per target value (k = 2)");
    t.docBudgetTarget = text(k::kDocBudgetTarget, "Target value X (%1)");
    t.docBudgetNote = text(k::kDocBudgetNote,
                           "Each term is a relative standard uncertainty in % of X; w is their "
                           "root sum of squares, W = 2 w, W′ = |deviation of the mean| + W.");
    t.docNotMeasured = text(k::kDocNotMeasured, "Not measured, and not in w, W or W′: %1.");
    t.docTermResolution = text(k::kDocTermResolution, "resolution of the tool (w_r)");
    t.docTermReproducibility = text(k::kDocTermReproducibility, "reproducibility (w_rep)");
    t.docTermOutputDrive = text(k::kDocTermOutputDrive, "output drive (w_od)");
    t.docTermInterface = text(k::kDocTermInterface, "interface (w_int)");
    t.docTermLoadingPoint = text(k::kDocTermLoadingPoint, "loading point (w_l)");
    t.docTermReference = text(k::kDocTermReference, "the reference's own uncertainty (w_ref)");
    t.docTraceability =
        text(k::kDocTraceability, "Traceability: reference %1, certificate %2, calibration due %3");
    t.docQuarterReference =
        text(k::kDocQuarterReference,
             "¼ rule met: the reference's relative expanded uncertainty, %1\u00a0%, "
             "is at most ¼ of the permissible deviation (%2\u00a0%).");
    t.docQuarterReferenceFails = text(
        k::kDocQuarterReferenceFails,
        "¼ rule not met: the reference's relative expanded uncertainty, %1\u00a0%, exceeds ¼ of "
        "the permissible deviation (%2\u00a0%).");
    t.docQuarterResolution = text(k::kDocQuarterResolution,
                                  "¼ rule met: the display resolution, %1, is at most ¼ of the "
                                  "permissible deviation at every target value.");
    t.docQuarterResolutionFails = text(k::kDocQuarterResolutionFails,
                                       "¼ rule not met: the display resolution, %1, exceeds ¼ of "
                                       "the permissible deviation at %2.");
    t.docQuarterUnknown =
        text(k::kDocQuarterUnknown,
             "¼ rule not checked for the reference's uncertainty: the run file does not hold it.");
    return t;
}

}  // namespace

ReportTexts reportTexts(const QString& languageFile) {
    return textsFrom([&languageFile](const char* key, const char* english) {
        const QString fallback = QString::fromUtf8(english);
        return languageFile.isEmpty()
                   ? fallback
                   : langStringOr(languageFile, QString::fromLatin1(key), fallback);
    });
}

ReportTexts builtInReportTexts(const QString& language) {
    QFile file(QStringLiteral(":/lang/%1.ini").arg(language));
    const LanguageTexts texts(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    return textsFrom([&texts](const char* key, const char* english) {
        return texts
            .value(QStringLiteral("String"), QString::fromLatin1(key), QString::fromUtf8(english),
                   kLanguageBufferSize)
            .replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    });
}

}  // namespace vornex
