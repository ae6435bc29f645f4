#pragma once

#include <atomic>
#include <string>
#include <vector>

#include "verify/Reference.h"

namespace vornex::verify {

// A run file found for an instrument: where it is, its tool and when it started.
struct FoundRun {
    std::string path;
    std::string toolId;
    std::string started;  // "YYYY-MM-DDThh:mm:ss"
};

// The runs of one instrument in a verification folder, newest first.
struct FoundRuns {
    std::vector<FoundRun> unfinished;  // to resume
    std::vector<FoundRun> ended;       // with their result (not abandoned), for a certificate
};

// Reads every run file under `folder` (its day folders too) and keeps those bound to `reference`:
// a run is offered only on the instrument it began on. Files that are no run are passed over.
// Gives up, with what it found so far, once `stop` is set.
FoundRuns findRuns(const std::string& folder, const Reference& reference,
                   const std::atomic<bool>& stop);

}  // namespace vornex::verify
