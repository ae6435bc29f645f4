#include "verifywin/RunSearch.h"

#include <algorithm>
#include <filesystem>
#include <mutex>
#include <optional>
#include <utility>

#include "verify/RunFile.h"

namespace vornex {

FoundRuns findRuns(const std::string& folder, const verify::Reference& reference,
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
        const std::optional<verify::StoredRun> stored =
            verify::readRunFile(it->path().string(), error);
        if (!stored || !verify::referenceDifferences(stored->reference, reference).empty())
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

RunSearch::~RunSearch() {
    stop();
}

void RunSearch::stop() {
    if (stop_)
        stop_->store(true);
    if (thread_.joinable())
        thread_.join();
    searching_ = false;
}

void RunSearch::start(const std::string& folder, const verify::Reference& reference, Done done) {
    stop();
    auto stopped = std::make_shared<std::atomic<bool>>(false);
    stop_ = stopped;
    searching_ = true;
    // The answer crosses under a lock of its own: the queued call's own locking is Qt's, which
    // the thread checker of the tests cannot see.
    auto answer = std::make_shared<std::pair<std::mutex, FoundRuns>>();
    thread_ = std::thread([this, folder, reference, stopped, answer, done = std::move(done)] {
        {
            FoundRuns found = findRuns(folder, reference, *stopped);
            const std::lock_guard<std::mutex> lock(answer->first);
            answer->second = std::move(found);
        }
        // The receiver outlives this call: it joins the thread before it goes. The answer is
        // dropped on its way when a later search, or the end, gave this one up.
        QMetaObject::invokeMethod(
            &receiver_,
            [this, stopped, done, answer] {
                if (stopped->load())
                    return;
                searching_ = false;
                FoundRuns found;
                {
                    const std::lock_guard<std::mutex> lock(answer->first);
                    found = std::move(answer->second);
                }
                done(found);
            },
            Qt::QueuedConnection);
    });
}

}  // namespace vornex
