#pragma once

#include <QString>
#include <memory>

#include "app/CommandLine.h"

namespace vornex {

class CMainFrame;
class SimulateMenu;
class SimulatedInstruments;

// The program: the home folder, the simulated line when asked for, and the main window with the
// commands the application itself answers (About).
class CVornexApp {
public:
    CVornexApp();
    ~CVornexApp();

    // Builds the window from the command line; false with a message when it cannot be used.
    bool init(const QStringList& arguments, QString& error);
    CMainFrame* mainFrame() const { return frame_.get(); }
    SimulatedInstruments* simulated() const { return simulated_.get(); }
    // The window's Simulate drop-down, null without --simulate; the window owns it.
    SimulateMenu* simulateMenu() const { return simulateMenu_; }
    // The simulated line's port, empty without --simulate.
    QString simulatedPort() const;

private:
    std::unique_ptr<SimulatedInstruments> simulated_;
    std::unique_ptr<CMainFrame> frame_;
    SimulateMenu* simulateMenu_ = nullptr;
};

}  // namespace vornex
