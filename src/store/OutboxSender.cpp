#include "store/OutboxSender.h"

#include <utility>

namespace vornex::store {

OutboxSender::OutboxSender(Outbox& outbox, std::string conninfo,
                           std::function<void(const OutboxStatus&)> changed)
    : outbox_(outbox),
      conninfo_(std::move(conninfo)),
      changed_(std::move(changed)),
      worker_(std::chrono::milliseconds(0), [this] { return pass(); }) {}

OutboxSender::~OutboxSender() {
    worker_.stop();
    interrupt_.interrupt();
}

void OutboxSender::wake() {
    worker_.wake();
}

std::chrono::milliseconds OutboxSender::pass() {
    const DrainPass pass = drainOutbox(outbox_, conninfo_, &interrupt_);
    status_.take(pass);
    std::chrono::seconds wait = Backoff::kLongest;
    if (pass.left == 0)
        backoff_.reset();
    else
        wait = backoff_.next();
    changed_(status_);
    return wait;
}

}  // namespace vornex::store
