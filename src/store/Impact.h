#pragma once

#include <string>
#include <vector>

#include "store/PgConnection.h"
#include "store/StoreResult.h"

namespace vornex::store {

// What an impact list is of: a tool by its identifier, or a reference by its asset.
struct ImpactSubject {
    enum class Kind { Tool, Reference } kind = Kind::Tool;
    std::string id;
};

// A test or run made with it: from the home's files (`where` its path) or the store (its UUID).
struct ImpactEntry {
    std::string kind;  // "test" or "run"
    std::string where, bench, time, operatorName, result;
    std::string sha256;  // of its file, so that a file also stored is listed once
};

// KIND UUID|PATH BENCH TIME OPERATOR RESULT, one space between fields: TIME is local,
// YYYY-MM-DDThh:mm:ss; a field with nothing is "-", and a space, tab, newline or "%" in a field
// is written %20, %09, %0A or %25, so that the line always splits into six.
std::string impactLine(const ImpactEntry& entry);

// The tests (a companion's Tool) or runs (a run file's "Tool:" or "Reference asset:" header line)
// under the home folder's Data/ (home ends in "/") made with the subject and started at or after
// `since` (YYYY-MM-DD or YYYY-MM-DDThh:mm:ss, local; empty: all). A run file names no bench: it
// is `bench`'s, the home's. Files that cannot be read are named in `unread`.
std::vector<ImpactEntry> impactInFiles(const std::string& home, const ImpactSubject& subject,
                                       const std::string& since, const std::string& bench,
                                       std::vector<std::string>& unread);

// The same of the store: the latest row of each stored test and run made with it (a reference's
// as the server read its run file's header).
StoreAnswer<std::vector<ImpactEntry>> impactInStore(PgConnection& connection,
                                                    const ImpactSubject& subject,
                                                    const std::string& since);

// Both, a file that is also stored listed once, by its UUID; oldest first.
std::vector<ImpactEntry> mergedImpact(std::vector<ImpactEntry> files,
                                      std::vector<ImpactEntry> stored);

}  // namespace vornex::store
