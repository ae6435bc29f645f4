#include "session/qt/SessionDriver.h"

#include <QElapsedTimer>

#include "session/AcquisitionSession.h"

namespace vornex {

SessionDriver::SessionDriver(AcquisitionSession& session, QObject* parent)
    : QObject(parent), session_(session) {
    tick_.setInterval(kTickMs);
    watch_.setInterval(static_cast<int>(AcquisitionSession::kLineRetry.count()));
    connect(&tick_, &QTimer::timeout, this, &SessionDriver::tick);
    connect(&watch_, &QTimer::timeout, this, &SessionDriver::watch);
    watch_.start();
    session_.addObserver(*this);
    stateChanged(session_.state());
}

SessionDriver::~SessionDriver() {
    session_.removeObserver(*this);
}

// A recording wanted back while its line is lost ticks on: it takes the samples of the first
// pass once the line returns.
void SessionDriver::stateChanged(const SessionState& state) {
    if (state.test == TestState::Recording) {
        if (!tick_.isActive())
            tick_.start();
    } else {
        tick_.stop();
    }
}

void SessionDriver::tick() {
    QElapsedTimer clock;
    clock.start();
    session_.tick();
    emit ticked(clock.nsecsElapsed());
    emit advanced();
}

void SessionDriver::watch() {
    session_.watchLine();
    emit advanced();
}

}  // namespace vornex
