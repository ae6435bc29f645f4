#include "verifywin/RunSearch.h"

#include <mutex>
#include <utility>

namespace vornex {

RunSearch::~RunSearch() {
    stop();
}

void RunSearch::stop() {
    if (givenUp_)
        *givenUp_ = true;
    worker_.reset();
    searching_ = false;
}

void RunSearch::start(const std::string& folder, const verify::Reference& reference, Done done) {
    stop();
    auto givenUp = std::make_shared<bool>(false);
    givenUp_ = givenUp;
    searching_ = true;
    // The answer crosses under a lock of its own: the queued call's own locking is Qt's, which
    // the thread checker of the tests cannot see.
    auto answer = std::make_shared<std::pair<std::mutex, verify::FoundRuns>>();
    BackgroundWorker& worker = worker_.emplace();
    worker.post([this, &worker, folder, reference, givenUp, answer, done = std::move(done)] {
        {
            verify::FoundRuns found = verify::findRuns(folder, reference, worker.stopFlag());
            const std::lock_guard<std::mutex> lock(answer->first);
            answer->second = std::move(found);
        }
        // The receiver outlives this call: it ends the worker before it goes. The answer is
        // dropped on its way when a later search, or the end, gave this one up.
        QMetaObject::invokeMethod(
            &receiver_,
            [this, givenUp, done, answer] {
                if (*givenUp)
                    return;
                searching_ = false;
                verify::FoundRuns found;
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
