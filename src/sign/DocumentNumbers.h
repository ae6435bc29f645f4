#pragma once

#include <string>

#include "sign/DocumentRecord.h"

namespace vornex::sign {

// The number of a printed document, "BENCH-YEAR-SEQUENCE" (B7-2027-000123), and the day it was
// first issued.
struct DocumentNumber {
    std::string number;
    std::string issued;  // yyyy-MM-dd
};

inline constexpr const char* kNumbersFile = "DocumentNumbers.tsv";
inline constexpr const char* kNumbersHeader = "NUMBER\tISSUED\tKIND\tUUID\tPATH";

// The home folder's DocumentNumbers.tsv (home ends in "/"): one line per record issued, so that a
// record printed again keeps its number. A record is found by its UUID when both know one, else
// by its path. A new one is numbered on from the highest sequence of its bench and year.
// Empty, with the reason in `error`, when the file cannot be read or written.
DocumentNumber issueNumber(const std::string& home, const std::string& bench,
                           const DocumentRecord& record, std::string& error);

}  // namespace vornex::sign
