#pragma once

#include <QObject>
#include <QTimer>

#include "session/SessionObserver.h"

namespace vornex {

class AcquisitionSession;

// The clock of an acquisition session: while a recording runs, a 10 ms tick moves the queued
// samples into the curves and the test file's queue; all the time, a watch lets the session try
// a lost line again and take the acquisition thread's news. The window and the command-line tool
// drive their session with one of these; the session must outlive it.
class SessionDriver : public QObject, private SessionObserver {
    Q_OBJECT

public:
    static constexpr int kTickMs = 10;

    explicit SessionDriver(AcquisitionSession& session, QObject* parent = nullptr);
    ~SessionDriver() override;
    SessionDriver(const SessionDriver&) = delete;
    SessionDriver& operator=(const SessionDriver&) = delete;

    bool ticking() const { return tick_.isActive(); }

signals:
    // After every tick: how long its work took on this thread.
    void ticked(qint64 nanoseconds);
    // After every tick and every watch.
    void advanced();

private:
    void stateChanged(const SessionState& state) override;
    void tick();
    void watch();

    AcquisitionSession& session_;
    QTimer tick_;
    QTimer watch_;
};

}  // namespace vornex
