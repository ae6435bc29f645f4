#include "verify/RunFinder.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "verify/RunFile.h"

namespace vornex::verify {

FoundRuns findRuns(const std::string& folder, const Reference& reference,
                   const std::atomic<bool>& stop) {
    FoundRuns found;
    std::error_code ec;
    namespace fs = std::filesystem;
    for (fs::recursive_directory_iterator
             it(folder, fs::directory_options::skip_permission_denied, ec),
         end;
         !ec && it != end && !stop.load(std::memory_order_relaxed); it.increment(ec)) {
        // Regular files only: a FIFO or a device named *.txt is never opened.
        std::error_code typeError;
        if (!it->is_regular_file(typeError) || it->path().extension() != ".txt")
            continue;
        std::string error;
        const std::optional<StoredRun> stored = readRunFile(it->path().string(), error);
        if (!stored || !referenceDifferences(stored->reference, reference).empty())
            continue;
        FoundRun run{it->path().string(), stored->plan.tool.id, stored->started};
        if (!stored->ended)
            found.unfinished.push_back(std::move(run));
        else if (!stored->abandoned)
            found.ended.push_back(std::move(run));
    }
    const auto newestFirst = [](const FoundRun& a, const FoundRun& b) {
        return a.started != b.started ? a.started > b.started : a.path > b.path;
    };
    std::sort(found.unfinished.begin(), found.unfinished.end(), newestFirst);
    std::sort(found.ended.begin(), found.ended.end(), newestFirst);
    return found;
}

}  // namespace vornex::verify
