#pragma once

#include <string>

namespace vornex {

// Why a document may not be written to `output` by the bench whose home folder is `home`: it would
// replace one of the bench's own files (config.ini, the signatures and document numbers, or
// anything inside Data/, Tools/, Profiles/,
// Outbox/ or Language/), reached through whatever links, or its folder is not there to write in.
// Empty when it may be written. Checked before the work that makes the document begins, so that a
// run is never taken only to find its certificate has nowhere to go.
std::string homeOutputRefusal(const std::string& home, const std::string& output);

// Why an output may not be written over the lab's records of the home folder `home`: its
// Signatures.tsv and DocumentNumbers.tsv, reached through whatever links. Empty when it is
// neither. homeOutputRefusal refuses them too; the report, which may go anywhere else, checks
// only these.
std::string signedRecordsRefusal(const std::string& home, const std::string& output);

}  // namespace vornex
