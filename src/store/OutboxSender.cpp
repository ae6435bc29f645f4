#include "store/OutboxSender.h"

#include <utility>

namespace vornex::store {

OutboxSender::OutboxSender(Outbox& outbox, std::string conninfo,
                           std::function<void(const OutboxStatus&)> changed)
    : outbox_(outbox), conninfo_(std::move(conninfo)), changed_(std::move(changed)) {
    thread_ = std::thread([this] { run(); });
}

OutboxSender::~OutboxSender() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        stopping_ = true;
    }
    interrupt_.interrupt();
    cv_.notify_all();
    thread_.join();
}

void OutboxSender::wake() {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        woken_ = true;
    }
    cv_.notify_all();
}

void OutboxSender::run() {
    Backoff backoff;
    OutboxStatus status;
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stopping_) {
        std::chrono::seconds wait = Backoff::kLongest;
        if (woken_) {
            woken_ = false;
            lock.unlock();
            const DrainPass pass = drainOutbox(outbox_, conninfo_, &interrupt_);
            status.take(pass);
            if (pass.left == 0)
                backoff.reset();
            else
                wait = backoff.next();
            changed_(status);
            lock.lock();
            if (pass.left == 0)
                continue;
        }
        if (cv_.wait_for(lock, wait, [this] { return stopping_ || woken_; }))
            continue;
        woken_ = true;
    }
}

}  // namespace vornex::store
