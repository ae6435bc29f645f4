#pragma once

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "session/SessionObserver.h"
#include "store/Outbox.h"
#include "store/OutboxSender.h"
#include "store/StoreAddress.h"

namespace vornex::store {

// A bench's link to the store: the outbox of its home folder and, when config.ini names a store,
// the one background sender that drains it. Closed tests of the session it observes are queued.
// Every call but status() belongs to the controlling thread, where statusChanged is emitted.
class BenchStore : public QObject, public SessionObserver {
    Q_OBJECT

public:
    // `home` ends in "/"; `configFile` names the store and the bench.
    BenchStore(const QString& home, const QString& configFile);
    ~BenchStore() override;

    // A store is named in config.ini and its address was taken.
    bool configured() const { return sender_ != nullptr; }
    const StoreAddress& address() const { return address_; }
    // What the sender last found; a refused address is its lasting error.
    OutboxStatus status() const;

    // A closed test that holds readings enters the outbox and the sender is woken.
    void testClosed(const std::string& path) override;
    // An ended or abandoned verification run enters the outbox and the sender is woken.
    void runEnded(const std::string& path);

signals:
    void statusChanged();

private:
    void setStatus(const OutboxStatus& status);
    void queue(const std::function<StoreResult()>& enter, const std::string& path);

    StoreAddress address_;
    std::string bench_;
    Outbox outbox_;
    mutable std::mutex mutex_;
    OutboxStatus status_;
    std::unique_ptr<OutboxSender> sender_;
};

}  // namespace vornex::store
