#pragma once

#include <QObject>
#include <QString>

class QAction;
class QMenu;

namespace vornex {

class CMainFrame;
class SimulatedInstruments;

// The Simulate drop-down of the demo mode: what a technician does to the built-in line's
// instruments by hand. A pull on one instrument (a click wrench's or a slipping one's), the
// wrench cycles that keep the curves moving switched off so that a pull stands alone, held peaks
// let go, and the line unplugged and plugged in again. It sits before Help and follows the
// window's language.
class SimulateMenu : public QObject {
    Q_OBJECT

public:
    // The line must outlive the window, which owns the menu.
    SimulateMenu(SimulatedInstruments& instruments, CMainFrame& frame);

    QMenu* menu() const { return menu_; }
    QAction* pullAction() const { return pull_; }
    QAction* cyclesAction() const { return cycles_; }
    QAction* releaseAction() const { return release_; }
    QAction* unplugAction() const { return unplug_; }

private:
    void retitle(const QString& languageFile);
    void askForPull();
    void setCycles(bool on);
    void setUnplugged(bool unplugged);

    SimulatedInstruments& instruments_;
    CMainFrame& frame_;
    QMenu* menu_;
    QAction* pull_;
    QAction* cycles_;
    QAction* release_;
    QAction* unplug_;
    // What the last pull asked for, offered again.
    int lastAddress_ = 0;
    double lastPeak_ = 20.0;
    int lastRiseMs_ = 300;
    bool lastClick_ = true;
};

}  // namespace vornex
