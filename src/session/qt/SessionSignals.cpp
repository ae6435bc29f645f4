#include "session/qt/SessionSignals.h"

#include "session/AcquisitionSession.h"

namespace vornex {

SessionSignals::SessionSignals(AcquisitionSession& session, QObject* parent)
    : QObject(parent), session_(session) {
    session_.addObserver(*this);
}

SessionSignals::~SessionSignals() {
    session_.removeObserver(*this);
}

const SessionState& SessionSignals::state() const {
    return session_.state();
}

void SessionSignals::askForState() {
    if (stateAsked_.exchange(true, std::memory_order_acq_rel))
        return;
    QMetaObject::invokeMethod(
        this,
        [this] {
            stateAsked_.store(false, std::memory_order_release);
            session_.refreshState();
        },
        Qt::QueuedConnection);
}

void SessionSignals::stateChanged(const SessionState& state) {
    emit changed(state);
}

void SessionSignals::lineLost(std::time_t at) {
    emit lostLine(static_cast<qint64>(at));
}

void SessionSignals::lineBack(std::time_t at, double secondsWithoutReadings,
                              const std::string& port) {
    emit regainedLine(static_cast<qint64>(at), secondsWithoutReadings,
                      QString::fromStdString(port));
}

void SessionSignals::presenceChanged(size_t, uint8_t, PresenceState) {
    askForState();
}

void SessionSignals::passEnded(unsigned pass, const std::vector<RecordSnapshot>&) {
    emit passCounted(pass);
    askForState();
}

void SessionSignals::stoppedOnEmptyTable() {
    askForState();
}

void SessionSignals::portLost(const std::string&) {
    askForState();
}

void SessionSignals::pollingEnded() {
    askForState();
}

void SessionSignals::appendFailed(const std::string& path, const std::string& reason) {
    emit writeFailed(QString::fromStdString(path), QString::fromStdString(reason));
}

void SessionSignals::appendRecovered(const std::string& path) {
    emit writeRecovered(QString::fromStdString(path));
}

}  // namespace vornex
