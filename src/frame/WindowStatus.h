#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "session/SessionState.h"

class QLabel;
class QMainWindow;

namespace vornex {

class SessionSignals;

// What the window says about itself: its caption names the open test or the loaded file, and
// its status bar shows the session's state — the line (port, connected, waiting for it or not,
// instruments answering, passes per second) and the recording (running or stopped, points
// written, file size) —, the last problem (line lost at a time, a write that failed) until it is
// resolved or the line is back, and the graph's one-line hint. The line's return is good news:
// told in red, it turns to the normal colour after a while or when the line or the test change.
class WindowStatus : public QObject {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 500;
    static constexpr int kLineBackNoticeMs = 10000;

    // portText gives the port chosen on the control panel. The session's signals must outlive
    // this.
    WindowStatus(QMainWindow& window, SessionSignals& live, std::function<QString()> portText);

    void setLanguageFile(const QString& languageFile);
    // A saved test was loaded into the graph.
    void showLoadedFile(const QString& path);
    void showHint(const QString& hint);
    // The name of the file loaded last, empty while a test is open or before any was loaded.
    const QString& loadedFile() const { return shownFile_; }

    QString lineText() const;
    QString recordingText() const;
    QString problemText() const;
    // The problem is shown in red.
    bool problemHighlighted() const { return highlighted_; }

public slots:
    // Reads the session and rewrites the caption and the status bar.
    void refresh();

signals:
    // After every refresh, for panes that follow the device table too.
    void refreshed();

private:
    void showState(const SessionState& state);
    void lineLost(qint64 at);
    void lineBack(qint64 at, double secondsWithoutReadings);
    void writeFailed(const QString& reason);
    void writeRecovered();

    QString text(const char* key) const;
    // The key of a text and what goes into its %1, %2, ...
    void setProblem(QString problem, QStringList details = {});
    void calmProblem();
    void show();
    void onPass(unsigned pass);

    QMainWindow& window_;
    SessionSignals& live_;
    std::function<QString()> portText_;
    QString languageFile_;
    QLabel* line_;
    QLabel* recording_;
    QLabel* problem_;
    QTimer timer_;
    QTimer calm_;
    QString shownFile_;
    QString problemKey_;
    QStringList problemDetails_;
    bool highlighted_ = false;
    // The test as the line came back: a change of it calms the notice.
    TestState testAtLineBack_ = TestState::None;
    // Passes counted over the last refresh period, for passes per second.
    unsigned lastPass_ = 0;
    unsigned passesSinceRefresh_ = 0;
    double passRate_ = 0.0;
    qint64 lastRefreshMs_ = 0;
};

}  // namespace vornex
