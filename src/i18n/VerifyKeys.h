#pragma once

// The keys of the verification window's, the verification run's and the certificate's texts.
namespace vornex::langkey {

// Tool verification: the window's texts.
inline constexpr const char* kVerifyMenu = "IDS_MENU_VERIFY";
inline constexpr const char* kVerifyTitle = "IDS_VERIFY_TITLE";
inline constexpr const char* kVerifyInstruments = "IDS_VERIFY_INSTRUMENTS";
inline constexpr const char* kVerifyNoInstrument = "IDS_VERIFY_NOINSTRUMENT";
inline constexpr const char* kVerifyToolId = "IDS_VERIFY_TOOL";
inline constexpr const char* kVerifyDescription = "IDS_VERIFY_DESCRIPTION";
inline constexpr const char* kVerifyClass = "IDS_VERIFY_CLASS";
inline constexpr const char* kVerifyLowest = "IDS_VERIFY_LOWEST";
inline constexpr const char* kVerifyMaximum = "IDS_VERIFY_MAXIMUM";
inline constexpr const char* kVerifyUnit = "IDS_VERIFY_UNIT";
inline constexpr const char* kVerifyDirection = "IDS_VERIFY_DIRECTION";
inline constexpr const char* kVerifyClockwise = "IDS_VERIFY_CLOCKWISE";
inline constexpr const char* kVerifyCounter = "IDS_VERIFY_COUNTER";
inline constexpr const char* kVerifyBoth = "IDS_VERIFY_BOTH";
inline constexpr const char* kVerifyProfile = "IDS_VERIFY_PROFILE";
inline constexpr const char* kVerifyOperator = "IDS_VERIFY_OPERATOR";
inline constexpr const char* kVerifyTemperature = "IDS_VERIFY_TEMPERATURE";
inline constexpr const char* kVerifyHumidity = "IDS_VERIFY_HUMIDITY";
inline constexpr const char* kVerifyDue = "IDS_VERIFY_DUE";
inline constexpr const char* kVerifyReferenceDue = "IDS_VERIFY_REFDUE";
inline constexpr const char* kVerifyStart = "IDS_VERIFY_START";
inline constexpr const char* kVerifyConfirmStart = "IDS_VERIFY_CONFIRMSTART";
inline constexpr const char* kVerifyAmbient = "IDS_VERIFY_AMBIENT";
inline constexpr const char* kVerifyPolled = "IDS_VERIFY_POLLED";
inline constexpr const char* kVerifyNeedTool = "IDS_VERIFY_NEEDTOOL";
inline constexpr const char* kVerifyNeedNumbers = "IDS_VERIFY_NEEDNUMBERS";
inline constexpr const char* kVerifyNotReady = "IDS_VERIFY_NOTREADY";
inline constexpr const char* kVerifyCannot = "IDS_VERIFY_CANNOT";
inline constexpr const char* kVerifyPromptPreload = "IDS_VERIFY_PROMPTPRELOAD";
inline constexpr const char* kVerifyPromptReading = "IDS_VERIFY_PROMPTREADING";
inline constexpr const char* kVerifyPromptRelease = "IDS_VERIFY_PROMPTRELEASE";
inline constexpr const char* kVerifyLineLost = "IDS_VERIFY_LINELOST";
inline constexpr const char* kVerifyLastReading = "IDS_VERIFY_LASTREADING";
inline constexpr const char* kVerifyLastPreload = "IDS_VERIFY_LASTPRELOAD";
inline constexpr const char* kVerifySlip = "IDS_VERIFY_SLIP";
inline constexpr const char* kVerifySlipCount = "IDS_VERIFY_SLIPCOUNT";
inline constexpr const char* kVerifySlipRepeat = "IDS_VERIFY_SLIPREPEAT";
inline constexpr const char* kVerifyIndicationAsked = "IDS_VERIFY_INDICATIONASKED";
inline constexpr const char* kVerifyIndicate = "IDS_VERIFY_INDICATE";
inline constexpr const char* kVerifyIndicationNoNumber = "IDS_VERIFY_INDICATIONNONUMBER";
inline constexpr const char* kVerifyTooFast = "IDS_VERIFY_TOOFAST";
inline constexpr const char* kVerifyWrongWay = "IDS_VERIFY_WRONGWAY";
inline constexpr const char* kVerifyCounterclockwise = "IDS_VERIFY_COUNTERCLOCKWISE";
inline constexpr const char* kVerifyReason = "IDS_VERIFY_REASON";
inline constexpr const char* kVerifyAbort = "IDS_VERIFY_ABORT";
inline constexpr const char* kVerifyAbandoned = "IDS_VERIFY_ABANDONED";
inline constexpr const char* kVerifyConforms = "IDS_VERIFY_CONFORMS";
inline constexpr const char* kVerifyNotConforms = "IDS_VERIFY_NOTCONFORMS";
inline constexpr const char* kVerifyFailed = "IDS_VERIFY_FAILED";
inline constexpr const char* kVerifyCertificate = "IDS_VERIFY_CERTIFICATE";
inline constexpr const char* kVerifyCertSaved = "IDS_VERIFY_CERTSAVED";
inline constexpr const char* kVerifyCertFailed = "IDS_VERIFY_CERTFAILED";
inline constexpr const char* kVerifyUnfinished = "IDS_VERIFY_UNFINISHED";
inline constexpr const char* kVerifyResume = "IDS_VERIFY_RESUME";
inline constexpr const char* kVerifyRunFile = "IDS_VERIFY_RUNFILE";

// The certificate: what the run file and the certificate itself remark on.
inline constexpr const char* kCertMean = "IDS_CERT_COL_MEAN";
inline constexpr const char* kCertRemarks = "IDS_CERT_REMARKS";
inline constexpr const char* kCertNoRemarks = "IDS_CERT_NOREMARKS";
inline constexpr const char* kCertRemarkTime = "IDS_CERT_COL_TIME";
inline constexpr const char* kCertRemarkText = "IDS_CERT_COL_REMARK";
inline constexpr const char* kCertAmbientNone = "IDS_CERT_AMBIENT_NONE";
inline constexpr const char* kCertAmbientNoHumidity = "IDS_CERT_AMBIENT_NOHUMIDITY";
inline constexpr const char* kCertAmbientNoTemperature = "IDS_CERT_AMBIENT_NOTEMPERATURE";
inline constexpr const char* kCertRemarkAmbient = "IDS_CERT_REMARK_AMBIENT";
inline constexpr const char* kCertRemarkOverdue = "IDS_CERT_REMARK_OVERDUE";
inline constexpr const char* kCertConformsRemarks = "IDS_CERT_CONFORMS_REMARKS";
inline constexpr const char* kCertNotConformsRemarks = "IDS_CERT_NOTCONFORMS_REMARKS";
// The reference as the lab's asset, and the tool as found or as left.
inline constexpr const char* kCertAsset = "IDS_CERT_ASSET";
inline constexpr const char* kCertCondition = "IDS_CERT_CONDITION";
inline constexpr const char* kCertAsFound = "IDS_CERT_ASFOUND";
inline constexpr const char* kCertAsLeft = "IDS_CERT_ASLEFT";
inline constexpr const char* kVerifyCondition = "IDS_VERIFY_CONDITION";
inline constexpr const char* kVerifyUncovered = "IDS_VERIFY_UNCOVERED";
// A remembered tool whose record cannot be read.
inline constexpr const char* kVerifyToolUnreadable = "IDS_VERIFY_TOOLUNREADABLE";

// The verification run's instrument: its conditions, due date, changes and silences.
inline constexpr const char* kVerifyOverdueReason = "IDS_VERIFY_OVERDUEREASON";
inline constexpr const char* kVerifyNeedConditions = "IDS_VERIFY_NEEDCONDITIONS";
inline constexpr const char* kVerifyNeedDueDate = "IDS_VERIFY_NEEDDUEDATE";
inline constexpr const char* kVerifyOverdue = "IDS_VERIFY_OVERDUE";
// A reference too coarse or too uncertain for the tool: a quarter of its permissible deviation.
inline constexpr const char* kVerifyQuarterStep = "IDS_VERIFY_QUARTERSTEP";
inline constexpr const char* kVerifyQuarterUncertainty = "IDS_VERIFY_QUARTERUNCERTAINTY";
inline constexpr const char* kVerifyNotAnswering = "IDS_VERIFY_NOTANSWERING";
inline constexpr const char* kVerifyChanged = "IDS_VERIFY_CHANGED";
inline constexpr const char* kVerifyNotHeld = "IDS_VERIFY_NOTHELD";
inline constexpr const char* kVerifyBelowThreshold = "IDS_VERIFY_BELOWTHRESHOLD";
// A calibration's sub-tests: the prompt, each series' instruction, the contributions kept.
inline constexpr const char* kVerifyPromptSubtest = "IDS_VERIFY_PROMPTSUBTEST";
inline constexpr const char* kVerifySubtestFit = "IDS_VERIFY_SUBTESTFIT";
inline constexpr const char* kVerifySubtestRefit = "IDS_VERIFY_SUBTESTREFIT";
inline constexpr const char* kVerifySubtestDrive = "IDS_VERIFY_SUBTESTDRIVE";
inline constexpr const char* kVerifySubtestFirstInterface = "IDS_VERIFY_SUBTESTFIRSTINTERFACE";
inline constexpr const char* kVerifySubtestInterface = "IDS_VERIFY_SUBTESTINTERFACE";
inline constexpr const char* kVerifySubtestBefore = "IDS_VERIFY_SUBTESTBEFORE";
inline constexpr const char* kVerifySubtestBehind = "IDS_VERIFY_SUBTESTBEHIND";
inline constexpr const char* kVerifyLastSubtest = "IDS_VERIFY_LASTSUBTEST";
inline constexpr const char* kVerifyContributionsTaken = "IDS_VERIFY_CONTRIBUTIONSTAKEN";
inline constexpr const char* kVerifyContributionsNotKept = "IDS_VERIFY_CONTRIBUTIONSNOTKEPT";

// The verification window: a new run, ended runs' certificates, closing while runs are under way.
inline constexpr const char* kVerifyNewRun = "IDS_VERIFY_NEWRUN";
inline constexpr const char* kVerifyEnded = "IDS_VERIFY_ENDED";
inline constexpr const char* kVerifySearching = "IDS_VERIFY_SEARCHING";
inline constexpr const char* kVerifyCertTitle = "IDS_VERIFY_CERTTITLE";
inline constexpr const char* kVerifyCloseOne = "IDS_VERIFY_CLOSEONE";
inline constexpr const char* kVerifyCloseMany = "IDS_VERIFY_CLOSEMANY";
inline constexpr const char* kVerifyCloseWindow = "IDS_VERIFY_CLOSEWINDOW";
inline constexpr const char* kVerifyKeepWindow = "IDS_VERIFY_KEEPWINDOW";

}  // namespace vornex::langkey
