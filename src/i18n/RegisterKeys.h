#pragma once

// The keys of the register window's texts: the lab's tools and reference instruments, and what of
// them is due.
namespace vornex::langkey {

// Test > Register... and the window's frame.
inline constexpr const char* kRegisterCommand = "IDS_REGISTER_COMMAND";
inline constexpr const char* kRegisterTitle = "IDS_REGISTER_TITLE";
inline constexpr const char* kRegisterTools = "IDS_REGISTER_TOOLS";
inline constexpr const char* kRegisterReferences = "IDS_REGISTER_REFERENCES";
inline constexpr const char* kRegisterFind = "IDS_REGISTER_FIND";
inline constexpr const char* kRegisterFindHint = "IDS_REGISTER_FINDHINT";
inline constexpr const char* kRegisterList = "IDS_REGISTER_LIST";
inline constexpr const char* kRegisterListAll = "IDS_REGISTER_LIST_ALL";
inline constexpr const char* kRegisterListOverdue = "IDS_REGISTER_LIST_OVERDUE";
inline constexpr const char* kRegisterListDueSoon = "IDS_REGISTER_LIST_DUESOON";
inline constexpr const char* kRegisterListNextMonth = "IDS_REGISTER_LIST_NEXTMONTH";
inline constexpr const char* kRegisterRefresh = "IDS_REGISTER_REFRESH";
// "%1 of %2 shown".
inline constexpr const char* kRegisterShown = "IDS_REGISTER_SHOWN";
// A register file that cannot be read, with the reason; the lines of it that could not be.
inline constexpr const char* kRegisterUnreadable = "IDS_REGISTER_UNREADABLE";
inline constexpr const char* kRegisterBadLines = "IDS_REGISTER_BADLINES";
// One of those lines: "%1" the file, "%2" the line's number.
inline constexpr const char* kRegisterLine = "IDS_REGISTER_LINE";

// The states of an entry, and a tool whose cycles are still being counted.
inline constexpr const char* kRegisterStateOk = "IDS_REGISTER_STATE_OK";
inline constexpr const char* kRegisterStateDueSoon = "IDS_REGISTER_STATE_DUESOON";
inline constexpr const char* kRegisterStateOverdue = "IDS_REGISTER_STATE_OVERDUE";
inline constexpr const char* kRegisterStateRetired = "IDS_REGISTER_STATE_RETIRED";
inline constexpr const char* kRegisterCounting = "IDS_REGISTER_COUNTING";
// Some of a tool's tests could not be read while counting: "%1".
inline constexpr const char* kRegisterUnreadTests = "IDS_REGISTER_UNREADTESTS";
// A tool's interval: "%1 months", "%1 cycles"; a tool never verified.
inline constexpr const char* kRegisterMonths = "IDS_REGISTER_MONTHS";
inline constexpr const char* kRegisterCycles = "IDS_REGISTER_CYCLES";
inline constexpr const char* kRegisterNever = "IDS_REGISTER_NEVER";

// The columns of the two tables.
inline constexpr const char* kRegisterColId = "IDS_REGISTER_COL_ID";
inline constexpr const char* kRegisterColAsset = "IDS_REGISTER_COL_ASSET";
inline constexpr const char* kRegisterColMaker = "IDS_REGISTER_COL_MAKER";
inline constexpr const char* kRegisterColModel = "IDS_REGISTER_COL_MODEL";
inline constexpr const char* kRegisterColSerial = "IDS_REGISTER_COL_SERIAL";
inline constexpr const char* kRegisterColType = "IDS_REGISTER_COL_TYPE";
inline constexpr const char* kRegisterColClass = "IDS_REGISTER_COL_CLASS";
inline constexpr const char* kRegisterColMarked = "IDS_REGISTER_COL_MARKED";
inline constexpr const char* kRegisterColInterval = "IDS_REGISTER_COL_INTERVAL";
inline constexpr const char* kRegisterColLast = "IDS_REGISTER_COL_LAST";
inline constexpr const char* kRegisterColDue = "IDS_REGISTER_COL_DUE";
inline constexpr const char* kRegisterColCycles = "IDS_REGISTER_COL_CYCLES";
inline constexpr const char* kRegisterColState = "IDS_REGISTER_COL_STATE";
inline constexpr const char* kRegisterColRange = "IDS_REGISTER_COL_RANGE";
inline constexpr const char* kRegisterColResolution = "IDS_REGISTER_COL_RESOLUTION";
inline constexpr const char* kRegisterColUncertainty = "IDS_REGISTER_COL_UNCERTAINTY";
inline constexpr const char* kRegisterColLowest = "IDS_REGISTER_COL_LOWEST";
inline constexpr const char* kRegisterColCertificate = "IDS_REGISTER_COL_CERTIFICATE";
// A test begun with a tool the register holds overdue: the window's warning, and the report.
inline constexpr const char* kMessageToolOverdue = "IDS_MESSAGE_TOOLOVERDUE";
inline constexpr const char* kReportToolOverdue = "IDS_REPORT_TOOLOVERDUE";

// Every key above, so that each language file is checked to translate them all.
inline constexpr const char* kRegisterLanguageKeys[] = {
    kRegisterCommand,        kRegisterTitle,        kRegisterTools,          kRegisterReferences,
    kRegisterFind,           kRegisterFindHint,     kRegisterList,           kRegisterListAll,
    kRegisterListOverdue,    kRegisterListDueSoon,  kRegisterListNextMonth,  kRegisterRefresh,
    kRegisterShown,          kRegisterUnreadable,   kRegisterBadLines,       kRegisterLine,
    kRegisterStateOk,        kRegisterStateDueSoon, kRegisterStateOverdue,   kRegisterStateRetired,
    kRegisterCounting,       kRegisterUnreadTests,  kRegisterMonths,         kRegisterCycles,
    kRegisterNever,          kRegisterColId,        kRegisterColAsset,       kRegisterColMaker,
    kRegisterColModel,       kRegisterColSerial,    kRegisterColType,        kRegisterColClass,
    kRegisterColMarked,      kRegisterColInterval,  kRegisterColLast,        kRegisterColDue,
    kRegisterColCycles,      kRegisterColState,     kRegisterColRange,       kRegisterColResolution,
    kRegisterColUncertainty, kRegisterColLowest,    kRegisterColCertificate, kMessageToolOverdue,
    kReportToolOverdue,
};

}  // namespace vornex::langkey
