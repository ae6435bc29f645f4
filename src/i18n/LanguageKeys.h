#pragma once

#include <QString>

#include "i18n/StoreKeys.h"
#include "i18n/VerifyKeys.h"

namespace vornex {

// The keys of section "String" that the program looks up, with those of the verification and the
// store in headers of their own. Code names a key through these constants only, and kLanguageKeys
// lists every one of them, so a check over the language files can tell
// that each file translates every text the program shows.
namespace langkey {

inline constexpr const char* kMenuFile = "IDS_MENU_FILE";
inline constexpr const char* kMenuTestNew = "IDS_MENU_TEST_NEW";
inline constexpr const char* kMenuTestClose = "IDS_MENU_TEST_CLOSE";
inline constexpr const char* kMenuFilePrint = "IDS_MENU_FILE_PRINT";
inline constexpr const char* kMenuFilePrintPreview = "IDS_MENU_FILE_PRINT_PREVIEW";
inline constexpr const char* kMenuFilePrintSetup = "IDS_MENU_FILE_PRINT_SETUP";
inline constexpr const char* kMenuFileExit = "IDS_MENU_FILE_EXIT";
inline constexpr const char* kMenuExportView = "IDS_MENU_FILE_EXPORT_VIEW";
inline constexpr const char* kMenuExportWholeTest = "IDS_MENU_FILE_EXPORT_WHOLE";
inline constexpr const char* kMenuExportViewPoints = "IDS_MENU_FILE_EXPORT_CSV";
inline constexpr const char* kMenuCheck = "IDS_MENU_CHECK";
inline constexpr const char* kMenuCheckTestData = "IDS_MENU_CHECK_TSTDAT";
inline constexpr const char* kMenuCheckParam = "IDS_MENU_CHECK_PARAM";
inline constexpr const char* kMenuCheckUpload = "IDS_MENU_CHECK_UPDATA";
inline constexpr const char* kMenuLanguage = "IDS_MENU_LANG";
inline constexpr const char* kMenuHelp = "IDS_MENU_HELP";
inline constexpr const char* kMenuHelpAbout = "IDS_MENU_HELP_ABOUT";

// The Simulate menu of the demo mode and its pull dialog.
inline constexpr const char* kSimMenu = "IDS_MENU_SIMULATE";
inline constexpr const char* kSimPull = "IDS_SIM_PULL";
inline constexpr const char* kSimCycles = "IDS_SIM_CYCLES";
inline constexpr const char* kSimRelease = "IDS_SIM_RELEASE";
inline constexpr const char* kSimUnplug = "IDS_SIM_UNPLUG";
// The simulated line could not be plugged in again; the reason follows.
inline constexpr const char* kSimCannotPlug = "IDS_SIM_CANNOTPLUG";
inline constexpr const char* kSimPullTitle = "IDS_SIM_PULL_TITLE";
inline constexpr const char* kSimInstrument = "IDS_SIM_INSTRUMENT";
inline constexpr const char* kSimPeak = "IDS_SIM_PEAK";
inline constexpr const char* kSimRise = "IDS_SIM_RISE";
inline constexpr const char* kSimClick = "IDS_SIM_CLICK";
inline constexpr const char* kSimPullButton = "IDS_SIM_PULL_BUTTON";

// Caption of every message box.
inline constexpr const char* kMessageTip = "IDS_MESSAGE_TIP";
// The serial link of a dialog cannot be opened.
inline constexpr const char* kMessageComError = "IDS_MESSAGE_COMERR";
// The instrument does not answer a read or refuses a write.
inline constexpr const char* kMessageModbusError = "IDS_MESSAGE_MDBERR";
// A serial port that the user may not open: not in the group that owns it.
inline constexpr const char* kMessagePortDenied = "IDS_MESSAGE_COMDENIED";
// A test file named on the command line or chosen in the browser cannot be read.
inline constexpr const char* kMessageLoadError = "IDS_MESSAGE_LOADERR";
// No serial port is chosen on the control panel.
inline constexpr const char* kMessageNoCom = "IDS_MESSAGE_NOCOMERR";
// The upload needs the control panel's link closed.
inline constexpr const char* kMessageUploadLinkOpen = "IDS_MESSAGE_DATAUPDATIN";
// Confirm pressed while an upload runs.
inline constexpr const char* kMessageUploadBusy = "IDS_MESSAGE_DATAUPDATINGWAIT";
// Export of an empty upload list.
inline constexpr const char* kMessageNoUploadData = "IDS_MESSAGE_DATAUPERR";
// The saved-data browser opened while a test is open.
inline constexpr const char* kMessageCheckDataTestOpen = "IDS_MESSAGE_CHECKDATAFAIL";
// The saved-data browser confirmed without a file or while recording.
inline constexpr const char* kMessageCheckDataRefused = "IDS_MESSAGE_CHECKDATAFAIL1";
// Appending points to the test file failed; they stay queued and are retried.
inline constexpr const char* kMessageWriteError = "IDS_MESSAGE_WRITEERR";
// A stored record could not be read during an upload.
inline constexpr const char* kMessageUploadReadError = "IDS_MESSAGE_UPREADERR";
// The serial port went away while the control panel was connected.
inline constexpr const char* kMessagePortLost = "IDS_MESSAGE_PORTLOST";
// A device address outside 1..30.
inline constexpr const char* kMessageAddressError = "IDS_MESSAGE_ADDRERR";
// A device address that is already in the device table.
inline constexpr const char* kMessageAddressExists = "IDS_MESSAGE_ADDREXIST";
// The spreadsheet file of an export could not be written.
inline constexpr const char* kMessageExportError = "IDS_MESSAGE_EXPORTERR";
// A dialog's link refused because this window's own polling holds the port: %1 the port.
inline constexpr const char* kMessagePortPolled = "IDS_MESSAGE_PORTPOLLED";
// A network port whose host name does not resolve, and one where nothing answers the connection;
// the port follows the text.
inline constexpr const char* kMessageHostUnknown = "IDS_MESSAGE_HOSTUNKNOWN";
inline constexpr const char* kMessageConnectRefused = "IDS_MESSAGE_CONNREFUSED";
// Exit asked while a recording runs, and the two answers.
inline constexpr const char* kMessageExitRecording = "IDS_MESSAGE_EXITRECORDING";
inline constexpr const char* kButtonStopAndExit = "IDS_BUTTON_STOPEXIT";
inline constexpr const char* kButtonCancel = "IDS_BUTTON_CANCEL";

// Captions of the Connect buttons while connected (the plain control keys hold them otherwise).
inline constexpr const char* kParamConnected = "IDD328_1042U";
inline constexpr const char* kUploadConnected = "IDD327_1033U";

// Texts of the graph, the status bar, the upload list, the exports, the new-test dialog's
// messages and the About box.
inline constexpr const char* kGraphTime = "IDS_GRAPH_TIME";
inline constexpr const char* kGraphTorque = "IDS_GRAPH_TORQUE";
inline constexpr const char* kGraphSlave = "IDS_GRAPH_SLAVE";
inline constexpr const char* kMeasurePoint = "IDS_MEASURE_POINT";
inline constexpr const char* kMeasureDelta = "IDS_MEASURE_DELTA";
inline constexpr const char* kMeasureHintFirst = "IDS_MEASURE_HINT_FIRST";
inline constexpr const char* kMeasureHintSecond = "IDS_MEASURE_HINT_SECOND";
inline constexpr const char* kMeasureHintMove = "IDS_MEASURE_HINT_MOVE";
inline constexpr const char* kHintZoom = "IDS_HINT_ZOOM";
inline constexpr const char* kHintPan = "IDS_HINT_PAN";
inline constexpr const char* kUploadColOrder = "IDS_UPLOAD_COL_ORDER";
inline constexpr const char* kUploadColTorque = "IDS_UPLOAD_COL_TORQUE";
inline constexpr const char* kUploadColUnit = "IDS_UPLOAD_COL_UNIT";
inline constexpr const char* kUploadColTime = "IDS_UPLOAD_COL_TIME";
inline constexpr const char* kUploadColPass = "IDS_UPLOAD_COL_PASS";
inline constexpr const char* kUploadPass = "IDS_UPLOAD_PASS";
inline constexpr const char* kUploadDeny = "IDS_UPLOAD_DENY";
inline constexpr const char* kUploadDeleted = "IDS_UPLOAD_DELETED";
inline constexpr const char* kUploadFailed = "IDS_UPLOAD_FAILED";
inline constexpr const char* kMessageNoExcel = "IDS_MESSAGE_NOEXCEL";
inline constexpr const char* kMessageExportSaved = "IDS_MESSAGE_EXPORTSAVED";
inline constexpr const char* kFilterWorkbook = "IDS_FILTER_WORKBOOK";
inline constexpr const char* kFilterCsv = "IDS_FILTER_CSV";
inline constexpr const char* kFilterTest = "IDS_FILTER_TEST";
inline constexpr const char* kMessageNumbersOnly = "IDS_MESSAGE_NUMBERSONLY";
inline constexpr const char* kMessageNoTest = "IDS_MESSAGE_NOTEST";
inline constexpr const char* kMessageTestExists = "IDS_MESSAGE_TESTEXISTS";
inline constexpr const char* kMessageTestBadName = "IDS_MESSAGE_TESTBADNAME";
inline constexpr const char* kMessageTestBlank = "IDS_MESSAGE_TESTBLANK";
inline constexpr const char* kMessageTestControlChar = "IDS_MESSAGE_TESTCONTROLCHAR";
inline constexpr const char* kMessageTestTooLong = "IDS_MESSAGE_TESTTOOLONG";
inline constexpr const char* kMessageTestCannotCreate = "IDS_MESSAGE_TESTCANNOTCREATE";
inline constexpr const char* kMessageUnwritten = "IDS_MESSAGE_UNWRITTEN";
inline constexpr const char* kMessageUnwrittenSaveFail = "IDS_MESSAGE_UNWRITTENSAVEFAIL";
inline constexpr const char* kAboutTitle = "IDS_ABOUT_TITLE";
inline constexpr const char* kAboutText = "IDS_ABOUT_TEXT";
inline constexpr const char* kAboutOk = "IDS_ABOUT_OK";
inline constexpr const char* kStatusPort = "IDS_STATUS_PORT";
inline constexpr const char* kStatusNoPort = "IDS_STATUS_NOPORT";
inline constexpr const char* kStatusConnected = "IDS_STATUS_CONNECTED";
inline constexpr const char* kStatusDisconnected = "IDS_STATUS_DISCONNECTED";
inline constexpr const char* kStatusAnswering = "IDS_STATUS_ANSWERING";
inline constexpr const char* kStatusPassRate = "IDS_STATUS_PASSRATE";
inline constexpr const char* kStatusRecording = "IDS_STATUS_RECORDING";
inline constexpr const char* kStatusStopped = "IDS_STATUS_STOPPED";
inline constexpr const char* kStatusNoTest = "IDS_STATUS_NOTEST";
inline constexpr const char* kStatusPoints = "IDS_STATUS_POINTS";
inline constexpr const char* kStatusLineLost = "IDS_STATUS_LINELOST";
inline constexpr const char* kStatusLineBack = "IDS_STATUS_LINEBACK";
inline constexpr const char* kStatusWaiting = "IDS_STATUS_WAITING";
inline constexpr const char* kStatusWriteFailed = "IDS_STATUS_WRITEFAILED";
inline constexpr const char* kPrintTest = "IDS_PRINT_TEST";
inline constexpr const char* kPrintFile = "IDS_PRINT_FILE";
inline constexpr const char* kPrintDate = "IDS_PRINT_DATE";
inline constexpr const char* kPrintInstruments = "IDS_PRINT_INSTRUMENTS";
inline constexpr const char* kPrintPage = "IDS_PRINT_PAGE";
inline constexpr const char* kPanelColId = "IDS_PANEL_COL_ID";
inline constexpr const char* kPanelColDev = "IDS_PANEL_COL_DEV";
inline constexpr const char* kPanelColState = "IDS_PANEL_COL_STATE";
// Column S of the control panel: an instrument answering, and one whose reads fail.
inline constexpr const char* kStateOk = "IDS_STATE_OK";
inline constexpr const char* kStateError = "IDS_STATE_ERR";
// A name given to an address in the device list that config.ini did not take.
inline constexpr const char* kMessageNameNotSaved = "IDS_MESSAGE_NAMENOTSAVED";
// New test made the test, but config.ini did not take what it is to propose for the next one.
inline constexpr const char* kMessageTraceNotSaved = "IDS_MESSAGE_TRACENOTSAVED";
// A gateway's address connected to after being typed into the port list that config.ini did not
// take.
inline constexpr const char* kMessagePortNotSaved = "IDS_MESSAGE_PORTNOTSAVED";

// The instrument parameters window's message line after a write: the instrument holds what was
// written; it holds something else; its settings could not be read back. Then the targets a
// refused Set allows: %1 lowest, %2 highest, %3 unit.
inline constexpr const char* kMessageParamsWritten = "IDS_MESSAGE_PARAMOK";
inline constexpr const char* kMessageParamsDiffer = "IDS_MESSAGE_PARAMDIFF";
inline constexpr const char* kMessageParamsUnread = "IDS_MESSAGE_PARAMUNREAD";
inline constexpr const char* kMessageSetAllowed = "IDS_MESSAGE_SETALLOWED";
// The headline of a refused Set; Set while not connected; Set found the settings unknown after a
// failed write and read them again instead of writing.
inline constexpr const char* kMessageSetRefused = "IDS_MESSAGE_SETREFUSED";
inline constexpr const char* kMessageParamsNotLinked = "IDS_MESSAGE_PARAMNOTLINKED";
inline constexpr const char* kMessageParamsReread = "IDS_MESSAGE_PARAMREREAD";

// The results panel, verdict words, Test > Report and the report's texts.
inline constexpr const char* kMenuTestReport = "IDS_MENU_TEST_REPORT";
inline constexpr const char* kResultsTitle = "IDS_RESULTS_TITLE";
inline constexpr const char* kResultsSlave = "IDS_RESULTS_COL_SLAVE";
inline constexpr const char* kResultsEvents = "IDS_RESULTS_COL_EVENTS";
inline constexpr const char* kResultsLastPeak = "IDS_RESULTS_COL_LAST";
inline constexpr const char* kResultsPass = "IDS_RESULTS_COL_PASS";
inline constexpr const char* kResultsLow = "IDS_RESULTS_COL_LOW";
inline constexpr const char* kResultsHigh = "IDS_RESULTS_COL_HIGH";
inline constexpr const char* kResultsIncomplete = "IDS_RESULTS_COL_INCOMPLETE";
inline constexpr const char* kResultsMean = "IDS_RESULTS_COL_MEAN";
inline constexpr const char* kResultsSd = "IDS_RESULTS_COL_SD";
inline constexpr const char* kResultsMin = "IDS_RESULTS_COL_MIN";
inline constexpr const char* kResultsMax = "IDS_RESULTS_COL_MAX";
inline constexpr const char* kResultsThreshold = "IDS_RESULTS_THRESHOLD";
inline constexpr const char* kResultsAuto = "IDS_RESULTS_AUTO";
inline constexpr const char* kVerdictPass = "IDS_VERDICT_PASS";
inline constexpr const char* kVerdictLow = "IDS_VERDICT_LOW";
inline constexpr const char* kVerdictHigh = "IDS_VERDICT_HIGH";
inline constexpr const char* kVerdictNone = "IDS_VERDICT_NONE";
inline constexpr const char* kVerdictIncomplete = "IDS_VERDICT_INCOMPLETE";
inline constexpr const char* kVerdictOpen = "IDS_VERDICT_OPEN";
inline constexpr const char* kReportTitle = "IDS_REPORT_TITLE";
inline constexpr const char* kReportStarted = "IDS_REPORT_STARTED";
inline constexpr const char* kReportMade = "IDS_REPORT_MADE";
inline constexpr const char* kReportInstruments = "IDS_REPORT_INSTRUMENTS";
inline constexpr const char* kReportGraph = "IDS_REPORT_GRAPH";
inline constexpr const char* kReportEvents = "IDS_REPORT_EVENTS";
inline constexpr const char* kReportMeasure = "IDS_REPORT_COL_MEASURE";
inline constexpr const char* kReportSet = "IDS_REPORT_COL_SET";
inline constexpr const char* kReportRange = "IDS_REPORT_COL_RANGE";
inline constexpr const char* kReportTarget = "IDS_REPORT_COL_TARGET";
inline constexpr const char* kReportUpper = "IDS_REPORT_COL_UPPER";
inline constexpr const char* kReportLower = "IDS_REPORT_COL_LOWER";
inline constexpr const char* kReportSince = "IDS_REPORT_COL_SINCE";
inline constexpr const char* kReportEvent = "IDS_REPORT_COL_EVENT";
inline constexpr const char* kReportPeak = "IDS_REPORT_COL_PEAK";
inline constexpr const char* kReportPeaks = "IDS_REPORT_PEAKS";
inline constexpr const char* kReportPeaksHeld = "IDS_REPORT_PEAKS_HELD";
inline constexpr const char* kReportPeaksPolled = "IDS_REPORT_PEAKS_POLLED";
inline constexpr const char* kReportVerdict = "IDS_REPORT_COL_VERDICT";
inline constexpr const char* kReportNoSettings = "IDS_REPORT_NOSETTINGS";
inline constexpr const char* kReportRefusedSettings = "IDS_REPORT_REFUSEDSETTINGS";
inline constexpr const char* kMessageCompanionRefused = "IDS_MESSAGE_COMPANIONREFUSED";
inline constexpr const char* kReportBench = "IDS_REPORT_BENCH";
inline constexpr const char* kReportOperator = "IDS_REPORT_OPERATOR";
inline constexpr const char* kReportTool = "IDS_REPORT_TOOL";
inline constexpr const char* kReportHash = "IDS_REPORT_SHA256";
inline constexpr const char* kReportHashChanged = "IDS_REPORT_SHA256_CHANGED";
inline constexpr const char* kReportNote = "IDS_REPORT_NOTE";
inline constexpr const char* kReportVersion = "IDS_REPORT_VERSION";
inline constexpr const char* kReportPage = "IDS_REPORT_PAGE";
inline constexpr const char* kReportIdentification = "IDS_REPORT_COL_IDENT";
inline constexpr const char* kReportSettings = "IDS_REPORT_SETTINGS";
inline constexpr const char* kReportLeftOut = "IDS_REPORT_LEFTOUT";
// The same, when no file beside the report lists every event.
inline constexpr const char* kReportLeftOutHere = "IDS_REPORT_LEFTOUT_HERE";
inline constexpr const char* kReportTestedBy = "IDS_REPORT_TESTEDBY";
inline constexpr const char* kReportReviewedBy = "IDS_REPORT_REVIEWEDBY";
inline constexpr const char* kReportDate = "IDS_REPORT_DATE";
inline constexpr const char* kReportSignature = "IDS_REPORT_SIGNATURE";
inline constexpr const char* kCertTitle = "IDS_CERT_TITLE";
inline constexpr const char* kCertAmbient = "IDS_CERT_AMBIENT";
inline constexpr const char* kCertDescription = "IDS_CERT_DESCRIPTION";
inline constexpr const char* kCertTypeClass = "IDS_CERT_TYPECLASS";
inline constexpr const char* kCertMarked = "IDS_CERT_MARKED";
inline constexpr const char* kCertReference = "IDS_CERT_REFERENCE";
inline constexpr const char* kCertIdentification = "IDS_CERT_IDENT";
inline constexpr const char* kCertRange = "IDS_CERT_RANGE";
inline constexpr const char* kCertProfile = "IDS_CERT_PROFILE";
inline constexpr const char* kCertPermissible = "IDS_CERT_PERMISSIBLE";
inline constexpr const char* kCertRunFile = "IDS_CERT_RUNFILE";
inline constexpr const char* kCertReadings = "IDS_CERT_READINGS";
inline constexpr const char* kCertSummary = "IDS_CERT_SUMMARY";
inline constexpr const char* kCertPoint = "IDS_CERT_COL_POINT";
inline constexpr const char* kCertSetting = "IDS_CERT_COL_SETTING";
// An indicating tool's readings are set against what it indicated.
inline constexpr const char* kCertIndication = "IDS_CERT_COL_INDICATION";
inline constexpr const char* kCertReading = "IDS_CERT_COL_READING";
inline constexpr const char* kCertDeviation = "IDS_CERT_COL_DEVIATION";
inline constexpr const char* kCertMeanDeviation = "IDS_CERT_COL_MEANDEV";
inline constexpr const char* kCertSpread = "IDS_CERT_COL_SPREAD";
inline constexpr const char* kCertShare = "IDS_CERT_COL_SHARE";
inline constexpr const char* kCertConformsShort = "IDS_CERT_VERDICT_OK";
inline constexpr const char* kCertExceeds = "IDS_CERT_VERDICT_EXCEEDS";
inline constexpr const char* kCertConforms = "IDS_CERT_CONFORMS";
inline constexpr const char* kCertNotConforms = "IDS_CERT_NOTCONFORMS";
inline constexpr const char* kReportNoTest = "IDS_MESSAGE_NOREPORT";
inline constexpr const char* kReportFailed = "IDS_MESSAGE_REPORTERR";
inline constexpr const char* kReportSaved = "IDS_MESSAGE_REPORTSAVED";
inline constexpr const char* kFilterPdf = "IDS_FILTER_PDF";
// The control panel's device list, changed, that config.ini did not take.
inline constexpr const char* kMessageDevicesNotSaved = "IDS_MESSAGE_DEVICESNOTSAVED";
// The control panel's check box for the merged live read, what an instrument's row of the device
// list says once it refused that read (%1 its address), and the choice config.ini did not take.
inline constexpr const char* kPanelFastPass = "IDS_PANEL_FASTPASS";
inline constexpr const char* kPanelFastRefused = "IDS_PANEL_FASTREFUSED";
inline constexpr const char* kMessageFastPassNotSaved = "IDS_MESSAGE_FASTPASSNOTSAVED";

}  // namespace langkey

inline QString dialogTitleKey(int dialog) {
    return QStringLiteral("IDD%1_Title").arg(dialog);
}

inline QString dialogControlKey(int dialog, int control) {
    return QStringLiteral("IDD%1_%2").arg(dialog).arg(control);
}

// Every key looked up by name, then the dialog keys that the dialogs' texts need: the caption of
// each captioned dialog and each control that shows a label. The LED displays of the control panel
// show readings, not labels, and have no key.
inline constexpr const char* kLanguageKeys[] = {
    // Network ports.
    langkey::kMessageHostUnknown, langkey::kMessageConnectRefused,
    // Every other key.
    langkey::kMenuFile, langkey::kMenuTestNew, langkey::kMenuTestClose, langkey::kMenuFilePrint,
    langkey::kMenuFilePrintPreview, langkey::kMenuFilePrintSetup, langkey::kMenuFileExit,
    langkey::kMenuCheck, langkey::kMenuCheckTestData, langkey::kMenuCheckParam,
    langkey::kMenuCheckUpload, langkey::kMenuLanguage, langkey::kMenuHelp, langkey::kMenuHelpAbout,
    langkey::kSimMenu, langkey::kSimPull, langkey::kSimCycles, langkey::kSimRelease,
    langkey::kSimUnplug, langkey::kSimCannotPlug, langkey::kSimPullTitle, langkey::kSimInstrument,
    langkey::kSimPeak, langkey::kSimRise, langkey::kSimClick, langkey::kSimPullButton,
    langkey::kMenuExportView, langkey::kMenuExportWholeTest, langkey::kMenuExportViewPoints,
    langkey::kMessageTip, langkey::kMessageComError, langkey::kMessageModbusError,
    langkey::kMessageNoCom, langkey::kMessageUploadLinkOpen, langkey::kMessageUploadBusy,
    langkey::kMessageNoUploadData, langkey::kMessageCheckDataTestOpen,
    langkey::kMessageCheckDataRefused, langkey::kMessageWriteError,
    langkey::kMessageUploadReadError, langkey::kMessagePortLost, langkey::kMessageAddressError,
    langkey::kMessageAddressExists, langkey::kMessageExportError, langkey::kMessagePortPolled,
    langkey::kMessageExitRecording, langkey::kButtonStopAndExit, langkey::kButtonCancel,
    langkey::kParamConnected, langkey::kUploadConnected,
    // Header toolbar.
    "IDD312_1001", "IDD312_1002", "IDD312_1003", "IDD312_1005", "IDD312_1006", "IDD312_1008",
    // Control panel.
    "IDD320_1063", "IDD320_1009", "IDD320_1010", "IDD320_1061", "IDD320_1012", "IDD320_1014",
    "IDD320_1062",
    // Add-device dialog.
    "IDD323_Title", "IDD323_1", "IDD323_2", "IDD323_-1",
    // Saved-data browser.
    "IDD326_Title", "IDD326_1026", "IDD326_2", "IDD326_1023", "IDD326_1024", "IDD326_1027",
    "IDD326_1029",
    // Upload dialog.
    "IDD327_Title", "IDD327_1031", "IDD327_1033", "IDD327_1035", "IDD327_1036", "IDD327_1041",
    "IDD327_1037", "IDD327_1039", "IDD327_2",
    // Instrument parameters dialog.
    "IDD328_Title", "IDD328_1057", "IDD328_2", "IDD328_1040", "IDD328_1042", "IDD328_1043",
    "IDD328_1045", "IDD328_1047", "IDD328_1049", "IDD328_1051", "IDD328_1053", "IDD328_1055",
    "IDD328_1060",
    // Added texts; the new-test dialog's keys have its built-in Chinese texts as defaults.
    langkey::kGraphTime, langkey::kGraphTorque, langkey::kGraphSlave, langkey::kMeasurePoint,
    langkey::kMeasureDelta, langkey::kMeasureHintFirst, langkey::kMeasureHintSecond,
    langkey::kMeasureHintMove, langkey::kHintZoom, langkey::kHintPan, langkey::kUploadColOrder,
    langkey::kUploadColTorque, langkey::kUploadColUnit, langkey::kUploadColTime,
    langkey::kUploadColPass, langkey::kUploadPass, langkey::kUploadDeny, langkey::kUploadDeleted,
    langkey::kUploadFailed, langkey::kMessageNoExcel, langkey::kMessageExportSaved,
    langkey::kFilterWorkbook, langkey::kFilterCsv, langkey::kFilterTest,
    langkey::kMessageNumbersOnly, langkey::kMessageNoTest, langkey::kMessageTestExists,
    langkey::kMessageTestBadName, langkey::kMessageTestBlank, langkey::kMessageTestControlChar,
    langkey::kMessageTestTooLong, langkey::kMessageTestCannotCreate, langkey::kMessageUnwritten,
    langkey::kMessageUnwrittenSaveFail, "IDD325_Title", "IDD325_1017", "IDD325_1", "IDD325_2",
    "IDD325_1018", "IDD325_1019", "IDD325_1020", "IDD325_1021", langkey::kMessageNameNotSaved,
    langkey::kMessageTraceNotSaved, langkey::kMessagePortNotSaved, langkey::kAboutTitle,
    langkey::kAboutText, langkey::kAboutOk, langkey::kStatusPort, langkey::kStatusNoPort,
    langkey::kStatusConnected, langkey::kStatusDisconnected, langkey::kStatusAnswering,
    langkey::kStatusPassRate, langkey::kStatusRecording, langkey::kStatusStopped,
    langkey::kStatusNoTest, langkey::kStatusPoints, langkey::kStatusLineLost,
    langkey::kStatusLineBack, langkey::kStatusWriteFailed, langkey::kPrintTest, langkey::kPrintFile,
    langkey::kPrintDate, langkey::kPrintInstruments, langkey::kPrintPage, langkey::kPanelColId,
    langkey::kPanelColDev, langkey::kPanelColState, langkey::kStateOk, langkey::kStateError,
    // Instrument parameters: read-back and refusal texts.
    langkey::kMessageParamsWritten, langkey::kMessageParamsDiffer, langkey::kMessageParamsUnread,
    langkey::kMessageSetAllowed, langkey::kMessageSetRefused, langkey::kMessageParamsNotLinked,
    langkey::kMessageParamsReread,
    // Results panel and report.
    langkey::kMenuTestReport, langkey::kResultsTitle, langkey::kResultsSlave,
    langkey::kResultsEvents, langkey::kResultsLastPeak, langkey::kResultsPass, langkey::kResultsLow,
    langkey::kResultsHigh, langkey::kResultsMean, langkey::kResultsSd, langkey::kResultsMin,
    langkey::kResultsMax, langkey::kResultsThreshold, langkey::kResultsAuto, langkey::kVerdictPass,
    langkey::kVerdictLow, langkey::kVerdictHigh, langkey::kVerdictNone, langkey::kResultsIncomplete,
    langkey::kVerdictIncomplete, langkey::kVerdictOpen, langkey::kReportTitle,
    langkey::kReportStarted, langkey::kReportMade, langkey::kReportInstruments,
    langkey::kReportGraph, langkey::kReportEvents, langkey::kReportMeasure, langkey::kReportSet,
    langkey::kReportRange, langkey::kReportTarget, langkey::kReportUpper, langkey::kReportLower,
    langkey::kReportSince, langkey::kReportEvent, langkey::kReportPeak, langkey::kReportPeaks,
    langkey::kReportPeaksHeld, langkey::kReportPeaksPolled, langkey::kReportVerdict,
    langkey::kReportNoSettings, langkey::kReportRefusedSettings, langkey::kMessageCompanionRefused,
    langkey::kReportNoTest, langkey::kReportFailed, langkey::kReportSaved, langkey::kFilterPdf,
    langkey::kReportBench, langkey::kReportOperator, langkey::kReportTool, langkey::kReportHash,
    langkey::kReportHashChanged, langkey::kReportNote, langkey::kReportVersion,
    langkey::kReportPage, langkey::kReportIdentification, langkey::kReportSettings,
    langkey::kReportLeftOut, langkey::kReportLeftOutHere, langkey::kReportTestedBy,
    langkey::kReportReviewedBy, langkey::kReportDate, langkey::kReportSignature,
    langkey::kCertTitle, langkey::kCertAmbient, langkey::kCertDescription, langkey::kCertTypeClass,
    langkey::kCertMarked, langkey::kCertReference, langkey::kCertIdentification,
    langkey::kCertRange, langkey::kCertProfile, langkey::kCertPermissible, langkey::kCertRunFile,
    langkey::kCertReadings, langkey::kCertSummary, langkey::kCertPoint, langkey::kCertSetting,
    langkey::kCertIndication, langkey::kCertReading, langkey::kCertDeviation,
    langkey::kCertMeanDeviation, langkey::kCertSpread, langkey::kCertShare,
    langkey::kCertConformsShort, langkey::kCertExceeds, langkey::kCertConforms,
    langkey::kCertNotConforms,
    // Tool verification.
    langkey::kVerifyMenu, langkey::kVerifyTitle, langkey::kVerifyInstruments,
    langkey::kVerifyNoInstrument, langkey::kVerifyToolId, langkey::kVerifyDescription,
    langkey::kVerifyClass, langkey::kVerifyLowest, langkey::kVerifyMaximum, langkey::kVerifyUnit,
    langkey::kVerifyDirection, langkey::kVerifyClockwise, langkey::kVerifyCounter,
    langkey::kVerifyBoth, langkey::kVerifyProfile, langkey::kVerifyOperator,
    langkey::kVerifyTemperature, langkey::kVerifyHumidity, langkey::kVerifyDue,
    langkey::kVerifyReferenceDue, langkey::kVerifyStart, langkey::kVerifyConfirmStart,
    langkey::kVerifyAmbient, langkey::kVerifyPolled, langkey::kVerifyNeedTool,
    langkey::kVerifyNeedNumbers, langkey::kVerifyNotReady, langkey::kVerifyCannot,
    langkey::kVerifyPromptPreload, langkey::kVerifyPromptReading, langkey::kVerifyPromptRelease,
    langkey::kVerifyLineLost, langkey::kVerifyLastReading, langkey::kVerifyLastPreload,
    langkey::kVerifySlip, langkey::kVerifySlipCount, langkey::kVerifySlipRepeat,
    langkey::kVerifyIndicationAsked, langkey::kVerifyIndicate, langkey::kVerifyIndicationNoNumber,
    langkey::kVerifyTooFast, langkey::kVerifyWrongWay, langkey::kVerifyCounterclockwise,
    langkey::kVerifyReason, langkey::kVerifyAbort, langkey::kVerifyAbandoned,
    langkey::kVerifyConforms, langkey::kVerifyNotConforms, langkey::kVerifyFailed,
    langkey::kVerifyCertificate, langkey::kVerifyCertSaved, langkey::kVerifyCertFailed,
    langkey::kVerifyUnfinished, langkey::kVerifyResume, langkey::kVerifyRunFile,
    // The results store.
    langkey::kStoreWaiting, langkey::kStoreUpToDate, langkey::kStoreError, langkey::kStoreTabFiles,
    langkey::kStoreTab, langkey::kStoreTool, langkey::kStoreBench, langkey::kStoreOperator,
    langkey::kStoreSince, langkey::kStoreUntil, langkey::kStoreVerdict, langkey::kStoreAny,
    langkey::kStoreSearch, langkey::kStoreOpen, langkey::kStoreReport, langkey::kStoreColStart,
    langkey::kStoreColBench, langkey::kStoreColTool, langkey::kStoreColKind,
    langkey::kStoreColResult, langkey::kStoreNotConfigured, langkey::kStoreFound,
    langkey::kStoreBadDate, langkey::kStoreFailed, langkey::kStoreKindTest, langkey::kStoreKindRun,
    langkey::kStoreResultFail, langkey::kStoreResultAbandoned, langkey::kStoreColOperator,
    langkey::kStoreColName, langkey::kStoreSearching, langkey::kStoreUnreachable,
    langkey::kStoreExposed,
    // The Store tab's review of a record and its amended rows.
    langkey::kStoreAmended, langkey::kStoreAmendment, langkey::kStoreNoReview,
    langkey::kStoreReviewFailed, langkey::kStoreChart, langkey::kStoreChartNeedsTool,
    langkey::kStoreChartReading, langkey::kStoreChartNone, langkey::kStoreChartWhat,
    langkey::kStoreChartOtherUnits,
    // The certificate's remarks and the tool record refused.
    langkey::kCertMean, langkey::kCertRemarks, langkey::kCertNoRemarks, langkey::kCertRemarkTime,
    langkey::kCertRemarkText, langkey::kCertAmbientNone, langkey::kCertAmbientNoHumidity,
    langkey::kCertAmbientNoTemperature, langkey::kCertRemarkAmbient, langkey::kCertRemarkOverdue,
    langkey::kCertConformsRemarks, langkey::kCertNotConformsRemarks, langkey::kVerifyToolUnreadable,
    langkey::kCertAsset, langkey::kCertCondition, langkey::kCertAsFound, langkey::kCertAsLeft,
    langkey::kVerifyCondition, langkey::kVerifyUncovered,
    // The verification window's new run, ended runs and closing.
    langkey::kVerifyNewRun, langkey::kVerifyEnded, langkey::kVerifySearching,
    langkey::kVerifyCertTitle, langkey::kVerifyCloseOne, langkey::kVerifyCloseMany,
    langkey::kVerifyCloseWindow, langkey::kVerifyKeepWindow,
    // The verification run's instrument.
    langkey::kVerifyOverdueReason, langkey::kVerifyNeedConditions, langkey::kVerifyNeedDueDate,
    langkey::kVerifyOverdue, langkey::kVerifyNotAnswering, langkey::kVerifyChanged,
    langkey::kVerifyQuarterStep, langkey::kVerifyQuarterUncertainty, langkey::kVerifyNotHeld,
    langkey::kVerifyBelowThreshold,
    // A calibration's sub-tests.
    langkey::kVerifyPromptSubtest, langkey::kVerifySubtestFit, langkey::kVerifySubtestRefit,
    langkey::kVerifySubtestDrive, langkey::kVerifySubtestFirstInterface,
    langkey::kVerifySubtestInterface, langkey::kVerifySubtestBefore, langkey::kVerifySubtestBehind,
    langkey::kVerifyLastSubtest, langkey::kVerifyContributionsTaken,
    langkey::kVerifyContributionsNotKept,
    // The outbox files that cannot be read.
    langkey::kStoreDamaged, langkey::kStoreDamageUnreadable, langkey::kStoreDamageEmpty,
    langkey::kStoreDamageCutShort, langkey::kStoreDamageKind, langkey::kStoreDamageNoUuid,
    langkey::kMessageDevicesNotSaved, langkey::kPanelFastPass, langkey::kPanelFastRefused,
    langkey::kMessageFastPassNotSaved};

}  // namespace vornex
