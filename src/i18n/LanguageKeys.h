#pragma once

#include <QString>
#include <array>

namespace vornex {

// The keys of section "String" that the program looks up. Code names a key through these constants
// only, and kLanguageKeys lists every one of them, so a check over the language files can tell
// that each file translates every text the program shows.
namespace langkey {

inline constexpr const char* kMenuFile = "IDS_MENU_FILE";
inline constexpr const char* kMenuTestNew = "IDS_MENU_TEST_NEW";
inline constexpr const char* kMenuTestClose = "IDS_MENU_TEST_CLOSE";
inline constexpr const char* kMenuFilePrint = "IDS_MENU_FILE_PRINT";
inline constexpr const char* kMenuFilePrintPreview = "IDS_MENU_FILE_PRINT_PREVIEW";
inline constexpr const char* kMenuFilePrintSetup = "IDS_MENU_FILE_PRINT_SETUP";
inline constexpr const char* kMenuFileExit = "IDS_MENU_FILE_EXIT";
inline constexpr const char* kMenuCheck = "IDS_MENU_CHECK";
inline constexpr const char* kMenuCheckTestData = "IDS_MENU_CHECK_TSTDAT";
inline constexpr const char* kMenuCheckParam = "IDS_MENU_CHECK_PARAM";
inline constexpr const char* kMenuCheckUpload = "IDS_MENU_CHECK_UPDATA";
inline constexpr const char* kMenuLanguage = "IDS_MENU_LANG";
inline constexpr const char* kMenuHelp = "IDS_MENU_HELP";
inline constexpr const char* kMenuHelpAbout = "IDS_MENU_HELP_ABOUT";

// Caption of every message box.
inline constexpr const char* kMessageTip = "IDS_MESSAGE_TIP";
// The serial link of a dialog cannot be opened.
inline constexpr const char* kMessageComError = "IDS_MESSAGE_COMERR";
// The instrument does not answer a read or refuses a write.
inline constexpr const char* kMessageModbusError = "IDS_MESSAGE_MDBERR";
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

// Captions of the Connect buttons while connected (the plain control keys hold them otherwise).
inline constexpr const char* kParamConnected = "IDD328_1042U";
inline constexpr const char* kUploadConnected = "IDD327_1033U";

// The instrument parameters window's message line after a write: the instrument holds what was
// written; it holds something else; its settings could not be read back. Then the targets a
// refused Set allows: %1 lowest, %2 highest, %3 unit.
inline constexpr const char* kMessageParamsWritten = "IDS_MESSAGE_PARAMOK";
inline constexpr const char* kMessageParamsDiffer = "IDS_MESSAGE_PARAMDIFF";
inline constexpr const char* kMessageParamsUnread = "IDS_MESSAGE_PARAMUNREAD";
inline constexpr const char* kMessageSetAllowed = "IDS_MESSAGE_SETALLOWED";

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
inline constexpr std::array kLanguageKeys = {
    langkey::kMenuFile, langkey::kMenuTestNew, langkey::kMenuTestClose, langkey::kMenuFilePrint,
    langkey::kMenuFilePrintPreview, langkey::kMenuFilePrintSetup, langkey::kMenuFileExit,
    langkey::kMenuCheck, langkey::kMenuCheckTestData, langkey::kMenuCheckParam,
    langkey::kMenuCheckUpload, langkey::kMenuLanguage, langkey::kMenuHelp, langkey::kMenuHelpAbout,
    langkey::kMessageTip, langkey::kMessageComError, langkey::kMessageModbusError,
    langkey::kMessageNoCom, langkey::kMessageUploadLinkOpen, langkey::kMessageUploadBusy,
    langkey::kMessageNoUploadData, langkey::kMessageCheckDataTestOpen,
    langkey::kMessageCheckDataRefused, langkey::kMessageWriteError,
    langkey::kMessageUploadReadError, langkey::kMessagePortLost, langkey::kMessageAddressError,
    langkey::kMessageAddressExists, langkey::kMessageExportError, langkey::kParamConnected,
    langkey::kUploadConnected,
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
    "IDD327_1037", "IDD327_1039",
    // Instrument parameters dialog.
    "IDD328_Title", "IDD328_1057", "IDD328_2", "IDD328_1040", "IDD328_1042", "IDD328_1043",
    "IDD328_1045", "IDD328_1047", "IDD328_1049", "IDD328_1051", "IDD328_1053", "IDD328_1055",
    "IDD328_1060",
    // Instrument parameters: read-back and refusal texts.
    langkey::kMessageParamsWritten, langkey::kMessageParamsDiffer, langkey::kMessageParamsUnread,
    langkey::kMessageSetAllowed};

}  // namespace vornex
