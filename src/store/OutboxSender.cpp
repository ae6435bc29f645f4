#include "store/OutboxSender.h"

#include <memory>

#include "store/PgConnection.h"
#include "store/ResultSender.h"

namespace vornex::store {

DrainPass drainOutbox(Outbox& outbox, const std::string& conninfo, PgInterrupt* interrupt) {
    DrainPass pass;
    OutboxContents contents = outbox.contents();
    pass.left = contents.waiting();
    pass.damaged = std::move(contents.damaged);
    if (contents.items.empty())
        return pass;
    const auto interrupted = [&] {
        if (!interrupt || !interrupt->interrupted())
            return false;
        pass.interrupted = true;
        pass.error = "interrupted; what was not sent stays in the outbox";
        return true;
    };
    PgConnection connection(conninfo, 10, interrupt);
    if (interrupted())
        return pass;
    if (!connection.ok()) {
        pass.unreachable = true;
        pass.error = "the store cannot be reached: " + connection.error();
        return pass;
    }
    if (std::string error; !connection.limitStatements(kStatementSeconds, error)) {
        if (!interrupted()) {
            pass.unreachable = true;
            pass.error = "the store cannot be reached: " + error;
        }
        return pass;
    }
    for (const OutboxItem& item : contents.items) {
        if (interrupted())
            break;
        const Sending sending =
            item.kind == OutboxItem::Kind::Test
                ? sendTest(connection, item.uuid, item.path)
                : sendRun(connection, item.uuid, item.path, item.bench, item.supersedes);
        if (sending.sent()) {
            outbox.remove(item);
            ++pass.sent;
            --pass.left;
            continue;
        }
        if (interrupted())
            break;
        pass.error = sending.error;
        if (sending.connectionLost) {
            pass.unreachable = true;
            pass.error = "the store cannot be reached: " + sending.error;
            break;
        }
    }
    return pass;
}

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
            status.waiting = pass.left;
            status.damaged = pass.damaged;
            if (pass.left == 0) {
                status.lastError.clear();
                backoff.reset();
            } else {
                if (!pass.error.empty())
                    status.lastError = pass.error;
                wait = backoff.next();
            }
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
