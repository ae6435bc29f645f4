#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <functional>

#include "record/SessionObserver.h"

class QLabel;
class QMainWindow;

namespace vornex {

class AcquisitionSession;

// What the window says about itself: its caption names the open test or the loaded file, and
// its status bar shows the line (port, connected or not, instruments answering, passes per
// second), the recording (running or stopped, points written, file size), the last problem (line
// lost at a time, a write that failed) until it is resolved or the line is back, and the graph's
// one-line hint.
class WindowStatus : public QObject, private SessionObserver {
    Q_OBJECT

public:
    static constexpr int kRefreshMs = 500;

    // portText gives the port chosen on the control panel. The session must end before this.
    WindowStatus(QMainWindow& window, AcquisitionSession& session,
                 std::function<QString()> portText);
    ~WindowStatus() override;

    void setLanguageFile(const QString& languageFile);
    // A saved test was loaded into the graph.
    void showLoadedFile(const QString& path);
    void showHint(const QString& hint);
    // The name of the file loaded last, empty while a test is open or before any was loaded.
    const QString& loadedFile() const { return shownFile_; }

    QString lineText() const;
    QString recordingText() const;
    QString problemText() const;

public slots:
    // Reads the session and rewrites the caption and the status bar.
    void refresh();

signals:
    // After every refresh, for panes that follow the device table too.
    void refreshed();

private:
    void linkConnected() override;
    void linkDisconnected() override;
    void lineLost(std::time_t at) override;
    void lineBack(std::time_t at, double secondsWithoutReadings, const std::string& port) override;
    void passEnded(unsigned pass, const std::vector<RecordSnapshot>& records) override;
    void testOpened(const std::string& path) override;
    void testClosed(const std::string& path) override;
    void appendFailed(const std::string& path, const std::string& reason) override;
    void appendRecovered(const std::string& path) override;

    QString text(const char* key) const;
    // The key of a text and what goes into its %1, %2, ...
    void setProblem(QString problem, QStringList details = {});
    void onPass(unsigned pass);

    QMainWindow& window_;
    AcquisitionSession& session_;
    std::function<QString()> portText_;
    QString languageFile_;
    QLabel* line_;
    QLabel* recording_;
    QLabel* problem_;
    QTimer timer_;
    bool connected_ = false;
    QString shownFile_;
    QString problemKey_;
    QStringList problemDetails_;
    // Passes counted over the last refresh period, for passes per second.
    unsigned lastPass_ = 0;
    unsigned passesSinceRefresh_ = 0;
    double passRate_ = 0.0;
    qint64 lastRefreshMs_ = 0;
};

}  // namespace vornex
