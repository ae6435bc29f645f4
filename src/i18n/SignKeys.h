#pragma once

// The keys of what a printed document says of its issue and signatures, and of signing in the
// window.
namespace vornex::langkey {

// On every report and certificate.
inline constexpr const char* kDocNumber = "IDS_DOC_NUMBER";
inline constexpr const char* kDocIssued = "IDS_DOC_ISSUED";
inline constexpr const char* kDocLab = "IDS_DOC_LAB";
// The lab's name and address in one line.
inline constexpr const char* kDocLabAddress = "IDS_DOC_LABADDRESS";
// A document printed without what of its issue could not be read or kept.
inline constexpr const char* kDocUnnumbered = "IDS_DOC_UNNUMBERED";
// A signature as printed: name, time, the first hex digits of the SHA-256 signed.
inline constexpr const char* kSignedPerformed = "IDS_SIGNED_PERFORMED";
inline constexpr const char* kSignedReviewed = "IDS_SIGNED_REVIEWED";
inline constexpr const char* kSignedApproved = "IDS_SIGNED_APPROVED";
inline constexpr const char* kSignedChanged = "IDS_SIGNED_CHANGED";
// A copy of an amended record: the document it is, and each field a reviewer changed.
inline constexpr const char* kDocAmendment = "IDS_DOC_AMENDMENT";
inline constexpr const char* kDocChanges = "IDS_DOC_CHANGES";
inline constexpr const char* kDocChange = "IDS_DOC_CHANGE";

// The descriptive fields a reviewer may amend, by the store's names for them.
struct AmendableField {
    const char* field;
    const char* key;
    const char* fallback;
};
inline constexpr AmendableField kAmendableFields[] = {
    {"operator", "IDS_AMEND_OPERATOR", "Operator"},
    {"tool", "IDS_AMEND_TOOL", "Tool"},
    {"tool_description", "IDS_AMEND_TOOLDESCRIPTION", "Tool description"},
    {"note", "IDS_AMEND_NOTE", "Note"},
    {"name", "IDS_AMEND_NAME", "Test name"},
    {"instrument", "IDS_AMEND_INSTRUMENT", "Instrument"}};

// The window's Sign... dialog.
inline constexpr const char* kSignCommand = "IDS_SIGN_COMMAND";
inline constexpr const char* kSignTitle = "IDS_SIGN_TITLE";
inline constexpr const char* kSignMeaning = "IDS_SIGN_MEANING";
inline constexpr const char* kSignName = "IDS_SIGN_NAME";
inline constexpr const char* kSignPerformed = "IDS_SIGN_PERFORMED";
inline constexpr const char* kSignReviewed = "IDS_SIGN_REVIEWED";
inline constexpr const char* kSignApproved = "IDS_SIGN_APPROVED";
inline constexpr const char* kSignDone = "IDS_SIGN_DONE";
inline constexpr const char* kSignChanged = "IDS_SIGN_CHANGEDFILE";
inline constexpr const char* kSignNoName = "IDS_SIGN_NONAME";
inline constexpr const char* kSignFailed = "IDS_SIGN_FAILED";
inline constexpr const char* kSignNoFile = "IDS_SIGN_NOFILE";

// Every key above with words in it (the lab's name and address are only joined), so that each
// language file is checked to translate them all.
inline constexpr const char* kSignLanguageKeys[] = {
    kDocNumber,
    kDocIssued,
    kDocLab,
    kDocUnnumbered,
    kSignedPerformed,
    kSignedReviewed,
    kSignedApproved,
    kSignedChanged,
    kDocAmendment,
    kDocChanges,
    kDocChange,
    kAmendableFields[0].key,
    kAmendableFields[1].key,
    kAmendableFields[2].key,
    kAmendableFields[3].key,
    kAmendableFields[4].key,
    kAmendableFields[5].key,
    kSignCommand,
    kSignTitle,
    kSignMeaning,
    kSignName,
    kSignPerformed,
    kSignReviewed,
    kSignApproved,
    kSignDone,
    kSignChanged,
    kSignNoName,
    kSignFailed,
    kSignNoFile,
};

}  // namespace vornex::langkey
