#pragma once

// The keys of the results store's texts: the status bar and the saved-data browser's Store tab.
namespace vornex::langkey {

// The results store: the status bar and the saved-data browser's Store tab.
inline constexpr const char* kStoreWaiting = "IDS_STORE_WAITING";
inline constexpr const char* kStoreUpToDate = "IDS_STORE_UPTODATE";
inline constexpr const char* kStoreError = "IDS_STORE_ERROR";
inline constexpr const char* kStoreTabFiles = "IDS_STORE_TAB_FILES";
inline constexpr const char* kStoreTab = "IDS_STORE_TAB";
inline constexpr const char* kStoreTool = "IDS_STORE_TOOL";
inline constexpr const char* kStoreBench = "IDS_STORE_BENCH";
inline constexpr const char* kStoreOperator = "IDS_STORE_OPERATOR";
inline constexpr const char* kStoreSince = "IDS_STORE_SINCE";
inline constexpr const char* kStoreUntil = "IDS_STORE_UNTIL";
inline constexpr const char* kStoreVerdict = "IDS_STORE_VERDICT";
inline constexpr const char* kStoreAny = "IDS_STORE_ANY";
inline constexpr const char* kStoreSearch = "IDS_STORE_SEARCH";
inline constexpr const char* kStoreOpen = "IDS_STORE_OPEN";
inline constexpr const char* kStoreReport = "IDS_STORE_REPORT";
inline constexpr const char* kStoreColStart = "IDS_STORE_COL_START";
inline constexpr const char* kStoreColBench = "IDS_STORE_COL_BENCH";
inline constexpr const char* kStoreColTool = "IDS_STORE_COL_TOOL";
inline constexpr const char* kStoreColKind = "IDS_STORE_COL_KIND";
inline constexpr const char* kStoreColResult = "IDS_STORE_COL_RESULT";
inline constexpr const char* kStoreNotConfigured = "IDS_STORE_NOTCONFIGURED";
inline constexpr const char* kStoreFound = "IDS_STORE_FOUND";
inline constexpr const char* kStoreBadDate = "IDS_STORE_BADDATE";
inline constexpr const char* kStoreFailed = "IDS_STORE_FAILED";
inline constexpr const char* kStoreKindTest = "IDS_STORE_KIND_TEST";
inline constexpr const char* kStoreKindRun = "IDS_STORE_KIND_RUN";
inline constexpr const char* kStoreResultFail = "IDS_STORE_RESULT_FAIL";
inline constexpr const char* kStoreResultAbandoned = "IDS_STORE_RESULT_ABANDONED";
inline constexpr const char* kStoreColOperator = "IDS_STORE_COL_OPERATOR";
inline constexpr const char* kStoreColName = "IDS_STORE_COL_NAME";
// The Store tab while the server is being asked.
inline constexpr const char* kStoreSearching = "IDS_STORE_SEARCHING";
// A result row that is a reviewer's amendment: the result.
inline constexpr const char* kStoreAmended = "IDS_STORE_AMENDED";
// Under the Store tab's list, what the store holds of a fetched record's review: each amendment
// (number, original record, field, old and new value, reason, login, time), or that it holds none,
// or why it cannot be read; its signatures are written as documents print them.
inline constexpr const char* kStoreAmendment = "IDS_STORE_AMENDMENT";
inline constexpr const char* kStoreNoReview = "IDS_STORE_NOREVIEW";
inline constexpr const char* kStoreReviewFailed = "IDS_STORE_REVIEWFAILED";
// The status bar's store word: the server did not answer; libpq's reason follows.
inline constexpr const char* kStoreUnreachable = "IDS_STORE_UNREACHABLE";
// A service file holding the store's password that others can read: the file, its mode.
inline constexpr const char* kStoreExposed = "IDS_STORE_EXPOSED";

// The status bar's store word on outbox files that cannot be read: how many, the folder they are
// left in and each file with what is wrong with it (the reason it cannot be read, the kind named).
inline constexpr const char* kStoreDamaged = "IDS_STORE_DAMAGED";
inline constexpr const char* kStoreDamageUnreadable = "IDS_STORE_DAMAGE_UNREADABLE";
inline constexpr const char* kStoreDamageEmpty = "IDS_STORE_DAMAGE_EMPTY";
inline constexpr const char* kStoreDamageCutShort = "IDS_STORE_DAMAGE_CUTSHORT";
inline constexpr const char* kStoreDamageKind = "IDS_STORE_DAMAGE_KIND";
inline constexpr const char* kStoreDamageNoUuid = "IDS_STORE_DAMAGE_NOUUID";

// The Store tab's control chart of a tool's history: the button, what it needs and says while it
// reads, no pulls, and what the chart shows (tool, pulls, tests; pulls left out for their unit).
inline constexpr const char* kStoreChart = "IDS_STORE_CHART";
inline constexpr const char* kStoreChartNeedsTool = "IDS_STORE_CHARTNEEDSTOOL";
inline constexpr const char* kStoreChartReading = "IDS_STORE_CHARTREADING";
inline constexpr const char* kStoreChartNone = "IDS_STORE_CHARTNONE";
inline constexpr const char* kStoreChartWhat = "IDS_STORE_CHARTWHAT";
inline constexpr const char* kStoreChartOtherUnits = "IDS_STORE_CHARTOTHERUNITS";

}  // namespace vornex::langkey
