#pragma once

#include <QMainWindow>
#include <QPointer>
#include <QSize>
#include <memory>

#include "config/AppPaths.h"
#include "frame/GraphExportMenu.h"
#include "frame/MainMenu.h"
#include "panel/PortSource.h"
#include "registerwin/RegisterWindow.h"
#include "session/AcquisitionSession.h"
#include "session/qt/SessionDriver.h"
#include "session/qt/SessionSignals.h"
#include "verifywin/VerifyWindow.h"

namespace vornex {

class CControlDlg;
class CFixSplitterWnd;
class CHeaderToolBar;
class CVornexView;
class CXGraph;
class LanguageSwitch;
class ResultsController;
class ResultsPanel;
class WindowStatus;
class StoreStatusLabel;
namespace store {
class BenchStore;
}

// The program's window: the control panel in a fixed 230-pixel column on the left, the header
// toolbar in a fixed 50-pixel row above the graph on the right, and the menu bar whose commands
// it routes to the panes and dialogs. It holds the home folder's paths and the acquisition
// session. The session is a member and the panes are child widgets, so the session ends first,
// while the graph it draws on and the panes that hear from it still exist; no pane calls the
// session while it goes.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kPanelWidth = 230;
    static constexpr int kToolBarHeight = 50;
    // The smallest size at which every toolbar button and the status texts still show.
    static constexpr QSize kMinimumSize{1000, 640};

    CMainFrame(const AppPaths& paths, PortSource ports, QWidget* parent = nullptr);
    ~CMainFrame() override;

    CControlDlg* controlPanel() const { return panel_; }
    CHeaderToolBar* toolBar() const { return toolBar_; }
    CVornexView* view() const { return view_; }
    ResultsPanel* resultsPanel() const { return results_; }
    ResultsController& resultsController() { return *resultsController_; }
    CFixSplitterWnd* outerSplitter() const { return outer_; }
    CFixSplitterWnd* innerSplitter() const { return inner_; }
    MainMenu& menu() { return menu_; }
    LanguageSwitch& language() { return *language_; }
    WindowStatus& status() { return *status_; }
    GraphExportMenu& exports() { return *exports_; }
    AcquisitionSession& session() { return session_; }
    SessionSignals& live() { return live_; }
    SessionDriver& driver() { return driver_; }
    const AppPaths& paths() const { return paths_; }
    QString languageFile() const;
    // The port the control panel polls, empty while it polls none.
    QString polledPort() const;

    // The action of a menu command, for the commands others handle.
    QAction* action(int commandId) const { return menu_.action(commandId); }

public slots:
    // Runs the new-test dialog; New test is disabled while a test is open.
    void newTest();
    void closeTest();
    // Opens the tool verification window, or brings it to the front.
    void verifyTools();
    // Opens the window of the lab's register, or brings it to the front.
    void showRegister();
    // Test > Sign...: the open or loaded test signed in the home folder's Signatures.tsv.
    void signTest();
    // Runs the saved-data browser and loads the chosen test into the graph.
    void showTestData();
    // Shows a saved test in the graph, as the browser does; a file that cannot be read is named
    // in a message. False when it was not loaded.
    bool loadTestFile(const QString& path);

protected:
    // Ends the session while the window can still speak: every point is written, or the user is
    // told which were not and may save them elsewhere.
    void closeEvent(QCloseEvent* event) override;

private:
    void buildPanes(PortSource ports);
    void routeCommands();
    void applyLanguage(const QString& languageFile);
    // Asks before ending a running recording; false when the user keeps the window.
    bool stopRecordingForExit();

    AppPaths paths_;
    // Made before the session, which draws on it; the view takes it in.
    CXGraph* graph_;
    AcquisitionSession session_;
    // The panes hear from the session through these and its clock runs while the window does;
    // both go before the session.
    SessionSignals live_;
    SessionDriver driver_;
    MainMenu menu_;
    std::unique_ptr<LanguageSwitch> language_;
    // Hears from the session, so it goes before it.
    std::unique_ptr<WindowStatus> status_;
    // Queues the session's closed tests for the store and sends them; it stops hearing from the
    // session before it goes.
    std::unique_ptr<store::BenchStore> store_;
    StoreStatusLabel* storeStatus_ = nullptr;
    CFixSplitterWnd* outer_ = nullptr;
    CFixSplitterWnd* inner_ = nullptr;
    CControlDlg* panel_ = nullptr;
    CHeaderToolBar* toolBar_ = nullptr;
    CVornexView* view_ = nullptr;
    ResultsPanel* results_ = nullptr;
    // Hears from the session, so it goes before it.
    std::unique_ptr<ResultsController> resultsController_;
    std::unique_ptr<GraphExportMenu> exports_;
    // Hears from the session; closed by the user or with the window.
    QPointer<VerifyWindow> verify_;
    QPointer<RegisterWindow> labRegister_;
};

}  // namespace vornex
