#pragma once

#include <QTimer>
#include <QWidget>
#include <map>

#include "config/AppPaths.h"

class QHBoxLayout;
class QScrollArea;
class QPushButton;

namespace vornex {

class StationPane;
class SessionSignals;
struct SessionState;

// Tool verification on the session's line: a button per instrument of the device table opens its
// station, and the stations run side by side, each fed with its instrument's live values and the
// line's news. Every run is in its file as it goes; closing the window (asked first while runs are
// under way) leaves the unfinished ones there to be resumed. It opens wide enough for three
// stations side by side, within the screen.
class VerifyWindow : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFeedMs = 20;

    VerifyWindow(SessionSignals& live, const AppPaths& paths, const QString& languageFile,
                 QWidget* parent = nullptr);
    ~VerifyWindow() override;

    // The button that opens the station of `address`, or nullptr.
    QPushButton* instrumentButton(uint8_t address) const;
    StationPane* station(uint8_t address) const;
    StationPane* openStation(uint8_t address);
    // The runs of the open stations that have not ended nor been abandoned.
    int runsUnderWay() const;
    // Three stations side by side, each field whole: the size it opens at where the screen has
    // room.
    QSize sizeHint() const override;

signals:
    void runFinished(const QString& path);

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showInstruments(const SessionState& state);
    void feed();

    SessionSignals& live_;
    const AppPaths paths_;
    const QString languageFile_;
    QTimer feedTimer_;
    QWidget* chooser_ = nullptr;
    QHBoxLayout* stationRow_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    std::map<uint8_t, QPushButton*> buttons_;
    std::map<uint8_t, StationPane*> stations_;
};

}  // namespace vornex
