#include "verifywin/RunSearch.h"

#include <mutex>
#include <utility>

namespace vornex {

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
    auto answer = std::make_shared<std::pair<std::mutex, verify::FoundRuns>>();
    thread_ = std::thread([this, folder, reference, stopped, answer, done = std::move(done)] {
        {
            verify::FoundRuns found = verify::findRuns(folder, reference, *stopped);
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
