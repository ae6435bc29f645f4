#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// What `store find` and the browser's Store tab search by; empty fields do not filter. Times are
// seconds since the epoch, `until` exclusive.
struct FindFilter {
    std::string tool;
    std::string bench;
    std::string operatorName;
    std::optional<int64_t> since;
    std::optional<int64_t> until;
    std::string verdict;  // low, high or fail (a test with a low or high pull, a failed run)
};

// The start of the day a YYYY-MM-DD names, in local time, `days` later: the bounds of
// FindFilter. Nothing for a text that is no such date.
std::optional<int64_t> dayStart(const std::string& date, int days);

// A test or run as found: results that a later one supersedes are not.
struct FoundResult {
    std::string uuid;
    std::optional<int64_t> started;
    std::string bench;
    std::string tool;
    std::string kind;    // test or run
    std::string result;  // a test's pass, low, high, fail or none; a run's pass, fail or abandoned
    std::string operatorName;
    std::string name;      // a test's name; runs have none
    bool amended = false;  // a reviewer's amendment of an earlier row
};

// Oldest first.
StoreAnswer<std::vector<FoundResult>> findResults(PgConnection& connection,
                                                  const FindFilter& filter);

// A test's file and companion, or a run's file, as the bench sent them.
struct StoredFile {
    std::string kind;
    std::string bytes;
    std::optional<std::string> companion;
    std::string sha256;  // as recorded when it was sent
};

// Nothing, and Ok, when the store has no test or run of that UUID.
StoreAnswer<std::optional<StoredFile>> storedFile(PgConnection& connection,
                                                  const std::string& uuid);

// Writes a stored file back to `out`, byte for byte, with a test's companion file beside it; the
// kind ("test" or "run"), or why not: none found, a hash that does not match what was sent, an
// output that cannot be written.
StoreAnswer<std::string> fetchStoredFile(PgConnection& connection, const std::string& uuid,
                                         const std::string& out);

// The line `store find` prints: "UUID START BENCH TOOL KIND RESULT", with the start in local time
// and "-" for anything empty, and " amended" after it for an amendment.
std::string findLine(const FoundResult& found);

// `store find --tsv`: this header, then one line per result with the fields in its order, tab
// separated, empty fields empty, and a backslash, tab, line feed or carriage return in a field
// written as \\, \t, \n or \r.
inline constexpr const char* kTsvHeader = "uuid\tstart\tbench\ttool\tkind\tresult\toperator\tname";
std::string tsvLine(const FoundResult& found);

}  // namespace vornex::store
