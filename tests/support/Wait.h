#pragma once

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>

namespace vornex::test {

// Runs the event loop until `done` holds; false when it still does not after timeoutMs. Tests
// wait for what they expect to happen, never for a span of time.
template <typename Condition>
bool waitUntil(Condition done, int timeoutMs = 30000) {
    const QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QThread::msleep(1);
    }
    return true;
}

}  // namespace vornex::test
