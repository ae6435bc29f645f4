#include "benchstore/BenchStore.h"

#include <sys/stat.h>

#include <utility>

#include "config/BenchConfig.h"

namespace vornex::store {

BenchStore::BenchStore(const QString& home, const QString& configFile)
    : address_(configuredStore(configFile)),
      bench_(BenchConfig(configFile).bench()),
      outbox_(home.toStdString()) {
    status_.lastFailure = address_.result;
    if (!address_.configured())
        return;
    const OutboxContents contents = outbox_.contents();
    status_.waiting = contents.waiting();
    status_.damaged = contents.damaged;
    sender_ = std::make_unique<OutboxSender>(
        outbox_, address_.conninfo, [this](const OutboxStatus& s) { setStatus(s); }, bench_);
}

// The sender's last pass may still report: it is joined before the status it reports into goes.
// A statement the server holds is cancelled, and what was not sent waits for the next start.
BenchStore::~BenchStore() {
    sender_.reset();
}

OutboxStatus BenchStore::status() const {
    const std::lock_guard<std::mutex> lock(mutex_);
    return status_;
}

void BenchStore::setStatus(const OutboxStatus& status) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        status_ = status;
    }
    QMetaObject::invokeMethod(this, &BenchStore::statusChanged, Qt::QueuedConnection);
}

void BenchStore::testClosed(const std::string& path) {
    struct stat file {};
    if (!configured() || ::stat(path.c_str(), &file) != 0 || file.st_size == 0)
        return;
    queue([&] { return outbox_.queueTest(path, bench_); }, path);
}

void BenchStore::runEnded(const std::string& path) {
    if (!configured())
        return;
    queue([&] { return outbox_.queueRun(path, bench_); }, path);
}

void BenchStore::queue(const std::function<StoreResult()>& enter, const std::string& path) {
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (StoreResult queued = enter(); !queued) {
            queued.text = "cannot queue " + path + ": " + queued.text;
            status_.lastFailure = std::move(queued);
        }
        status_.waiting = outbox_.count();
    }
    emit statusChanged();
    sender_->wake();
}

}  // namespace vornex::store
