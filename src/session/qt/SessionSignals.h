#pragma once

#include <QObject>
#include <QString>
#include <atomic>

#include "session/SessionObserver.h"
#include "session/SessionState.h"

namespace vornex {

class AcquisitionSession;

// An acquisition session's news as Qt signals, for the panes of a window: its state whenever it
// changes, and the events worth reporting. The state is emitted on the controlling thread only;
// news of the acquisition thread make the session publish its state anew there. The event signals
// may be emitted on the acquisition or file-writer thread, so receivers living on the interface
// thread get them queued. The session must outlive this.
class SessionSignals : public QObject, private SessionObserver {
    Q_OBJECT

public:
    explicit SessionSignals(AcquisitionSession& session, QObject* parent = nullptr);
    ~SessionSignals() override;
    SessionSignals(const SessionSignals&) = delete;
    SessionSignals& operator=(const SessionSignals&) = delete;

    AcquisitionSession& session() const { return session_; }
    const SessionState& state() const;

signals:
    void changed(const vornex::SessionState& state);
    // The connected line was lost at `at` (seconds since the epoch); it is polled again since
    // `at`, after `secondsWithoutReadings`, on `port`.
    void lostLine(qint64 at);
    void regainedLine(qint64 at, double secondsWithoutReadings, const QString& port);
    void passCounted(unsigned pass);
    // Appending to `path` failed for the first time since it last worked; it works again.
    void writeFailed(const QString& path, const QString& reason);
    void writeRecovered(const QString& path);

private:
    void stateChanged(const SessionState& state) override;
    void lineLost(std::time_t at) override;
    void lineBack(std::time_t at, double secondsWithoutReadings, const std::string& port) override;
    void presenceChanged(size_t index, uint8_t address, PresenceState state) override;
    void passEnded(unsigned pass, const std::vector<RecordSnapshot>& records) override;
    void stoppedOnEmptyTable() override;
    void portLost(const std::string& reason) override;
    void pollingEnded() override;
    void appendFailed(const std::string& path, const std::string& reason) override;
    void appendRecovered(const std::string& path) override;

    // From the acquisition thread: one request at a time is queued to the controlling thread.
    void askForState();

    AcquisitionSession& session_;
    std::atomic<bool> stateAsked_{false};
};

}  // namespace vornex
