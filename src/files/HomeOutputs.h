#pragma once

#include <string>

namespace vornex {

// Why a document may not be written to `output` by the bench whose home folder is `home`: it would
// replace one of the bench's own files (config.ini, or anything inside Data/, Tools/, Profiles/,
// Outbox/ or Language/), reached through whatever links, or its folder is not there to write in.
// Empty when it may be written. Checked before the work that makes the document begins, so that a
// run is never taken only to find its certificate has nowhere to go.
std::string homeOutputRefusal(const std::string& home, const std::string& output);

}  // namespace vornex
