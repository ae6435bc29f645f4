#include "frame/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QSplitter>
#include <QStatusBar>

#include "benchstore/BenchStore.h"
#include "browser/CDlgSelData.h"
#include "controls/DialogTexts.h"
#include "controls/Icons.h"
#include "controls/MessageBox.h"
#include "controls/SignDialog.h"
#include "frame/CDlgTestCreate.h"
#include "frame/CFixSplitterWnd.h"
#include "frame/CommandIds.h"
#include "frame/GraphLanguage.h"
#include "frame/LanguageSwitch.h"
#include "frame/UnwrittenPointsOffer.h"
#include "frame/WindowStatus.h"
#include "graph/CHeaderToolBar.h"
#include "graph/CVornexView.h"
#include "graph/CXGraph.h"
#include "graph/GraphModeBinding.h"
#include "i18n/Language.h"
#include "i18n/LanguageKeys.h"
#include "i18n/MessageTexts.h"
#include "i18n/SignKeys.h"
#include "i18n/Startup.h"
#include "instrument/CDlgDevParam.h"
#include "instrument/CDlgUpData.h"
#include "panel/CControlDlg.h"
#include "results/ResultsController.h"
#include "results/ResultsPanel.h"
#include "storeview/StoreStatusLabel.h"

namespace vornex {

CMainFrame::CMainFrame(const AppPaths& paths, PortSource ports, QWidget* parent)
    : QMainWindow(parent),
      paths_(paths),
      graph_(new CXGraph),
      session_(paths.dataFolder.toStdString(), *graph_),
      live_(session_),
      driver_(session_),
      menu_(this) {
    for (const QString& problem : prepareHome(paths_))
        qWarning("vornex: %s", qPrintable(problem));
    language_ =
        std::make_unique<LanguageSwitch>(menu_, paths_, [this] { return session_.testOpen(); });
    setMenuBar(menu_.menuBar());
    setWindowTitle(QStringLiteral("Vornex"));
    setWindowIcon(vornexIcon(128));
    buildPanes(std::move(ports));
    status_ = std::make_unique<WindowStatus>(*this, live_, [this] { return panel_->portText(); });
    store_ = std::make_unique<store::BenchStore>(paths_.home, paths_.configFile);
    session_.addObserver(*store_);
    storeStatus_ = new StoreStatusLabel(*store_);
    statusBar()->addPermanentWidget(storeStatus_);
    CXGraph& graph = view_->graph();
    connect(status_.get(), &WindowStatus::refreshed, this,
            [this, &graph] { applySeriesUnits(graph, session_); });
    connect(&graph, &CXGraph::modeChanged, this,
            [this, &graph] { status_->showHint(graph.hint()); });
    view_->printer().setPageTexts([this, &graph] {
        return pageTexts(languageFile(), session_, status_->loadedFile(), graph);
    });
    routeCommands();
    applyLanguage(language_->languageFile());
    setMinimumSize(kMinimumSize);
    resize(1280, 800);
}

CMainFrame::~CMainFrame() {
    // It hears from the session, which goes before the window's children do.
    delete verify_;
    session_.removeObserver(*store_);
}

// A recording running at Exit is stopped as Stop stops it, or the window stays.
bool CMainFrame::stopRecordingForExit() {
    if (!session_.recording())
        return true;
    const QString file = languageFile();
    const auto text = [&file](const char* key, const char* builtIn) {
        return langStringOr(file, QString::fromLatin1(key), QString::fromUtf8(builtIn));
    };
    const int answer = AskMessage(this, text(langkey::kMessageExitRecording, kExitRecordingText),
                                  text(langkey::kMessageTip, kNoTestCaption),
                                  {text(langkey::kButtonStopAndExit, kStopAndExitText),
                                   text(langkey::kButtonCancel, kCancelText)});
    if (answer != 0)
        return false;
    view_->stop();
    return true;
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    // Verification runs under way are asked about as closing their own window asks.
    if ((verify_ && verify_->isVisible() && !verify_->close()) || !stopRecordingForExit()) {
        event->ignore();
        return;
    }
    delete verify_;
    const std::string openTest = session_.testOpen() ? session_.testPath() : std::string();
    const std::vector<Recorder::Unwritten> unwritten = session_.end();
    // Exit closes the open test: whole, it goes to the store as Close test sends it.
    if (!openTest.empty() && unwritten.empty())
        store_->testClosed(openTest);
    offerToSaveUnwritten(this, languageFile(), unwritten, paths_.dataFolder);
    QMainWindow::closeEvent(event);
}

QString CMainFrame::polledPort() const {
    return panel_->connected() ? panel_->portText() : QString();
}

QString CMainFrame::languageFile() const {
    return language_->languageFile();
}

void CMainFrame::buildPanes(PortSource ports) {
    outer_ = new CFixSplitterWnd(Qt::Horizontal, this);
    inner_ = new CFixSplitterWnd(Qt::Vertical);
    toolBar_ = new CHeaderToolBar;
    view_ = new CVornexView(session_, graph_);
    panel_ = new CControlDlg(live_, std::move(ports), paths_.configFile);
    toolBar_->showState(live_.state());
    connect(&live_, &SessionSignals::changed, toolBar_, &CHeaderToolBar::showState);
    connect(&live_, &SessionSignals::changed, this, [this](const SessionState& state) {
        action(command::kTestNew)->setEnabled(!state.testOpen());
    });

    outer_->addWidget(panel_);
    outer_->addWidget(inner_);
    inner_->addWidget(toolBar_);
    // The results go under the graph, which keeps most of the height.
    results_ = new ResultsPanel;
    auto* graphAndResults = new QSplitter(Qt::Vertical);
    graphAndResults->addWidget(view_);
    graphAndResults->addWidget(results_);
    graphAndResults->setStretchFactor(0, 1);
    graphAndResults->setStretchFactor(1, 0);
    inner_->addWidget(graphAndResults);
    resultsController_ = std::make_unique<ResultsController>(session_, view_->graph(), *results_);
    resultsController_->setHome(paths_.home, paths_.configFile);
    connect(&driver_, &SessionDriver::ticked, resultsController_.get(), &ResultsController::update);
    connect(&live_, &SessionSignals::changed, resultsController_.get(), &ResultsController::update);
    outer_->fixPane(0, kPanelWidth);
    inner_->fixPane(0, kToolBarHeight);
    setCentralWidget(outer_);

    connect(toolBar_, &CHeaderToolBar::startClicked, view_, &CVornexView::start);
    connect(toolBar_, &CHeaderToolBar::stopClicked, view_, &CVornexView::stop);
    connect(toolBar_, &CHeaderToolBar::printClicked, view_, &CVornexView::print);
    bindGraphModes(*toolBar_, view_->graph());
}

void CMainFrame::routeCommands() {
    connect(action(command::kTestNew), &QAction::triggered, this, &CMainFrame::newTest);
    connect(action(command::kTestClose), &QAction::triggered, this, &CMainFrame::closeTest);
    connect(action(command::kPrint), &QAction::triggered, view_, &CVornexView::print);
    connect(action(command::kPrintPreview), &QAction::triggered, view_, &CVornexView::printPreview);
    connect(action(command::kPrintSetup), &QAction::triggered, view_, &CVornexView::printSetup);
    connect(action(command::kExit), &QAction::triggered, this, &QWidget::close);
    exports_ = std::make_unique<GraphExportMenu>(
        this, *graph_, [this] { return languageFile(); }, [this] { return session_.testPath(); });
    connect(action(command::kExportView), &QAction::triggered, this,
            [this] { exports_->exportImage(false); });
    connect(action(command::kExportWholeTest), &QAction::triggered, this,
            [this] { exports_->exportImage(true); });
    connect(action(command::kExportViewPoints), &QAction::triggered, this,
            [this] { exports_->exportViewPoints(); });
    connect(action(command::kTestData), &QAction::triggered, this, &CMainFrame::showTestData);
    connect(action(command::kTestReport), &QAction::triggered, this,
            [this] { resultsController_->report(this); });
    connect(action(command::kTestSign), &QAction::triggered, this, &CMainFrame::signTest);
    connect(action(command::kVerifyTool), &QAction::triggered, this, &CMainFrame::verifyTools);
    connect(action(command::kRegister), &QAction::triggered, this, &CMainFrame::showRegister);
    connect(action(command::kInstrumentSettings), &QAction::triggered, this, [this] {
        QStringList ports;
        for (int i = 0; i < panel_->portList()->count(); ++i)
            ports << panel_->portList()->itemText(i);
        CDlgDevParam dialog(languageFile(), ports, this);
        dialog.selectPort(panel_->portText());
        dialog.setPolledPort([this] { return polledPort(); });
        dialog.exec();
    });
    connect(action(command::kUploadData), &QAction::triggered, this, [this] {
        CDlgUpData dialog(languageFile(), panel_->portText(), panel_->connected(), this);
        dialog.setPolledPort([this] { return polledPort(); });
        dialog.exec();
    });
    connect(language_.get(), &LanguageSwitch::languageChanged, this, &CMainFrame::applyLanguage);
}

void CMainFrame::applyLanguage(const QString& languageFile) {
    panel_->applyLanguage(languageFile);
    view_->setLanguageFile(languageFile);
    view_->graph().setTexts(graphTexts(languageFile));
    status_->setLanguageFile(languageFile);
    storeStatus_->setLanguageFile(languageFile);
    resultsController_->setLanguageFile(languageFile);
    SetDialogTexts(languageFile, toolBar_, CHeaderToolBar::kDialogNumber);
}

void CMainFrame::signTest() {
    if (session_.testPath().empty()) {
        showLangMessage(this, languageFile(), langkey::kSignNoFile);
        return;
    }
    // What is signed is the file as it stands: every point recorded so far is in it.
    if (session_.testOpen())
        session_.flush();
    SignDialog dialog(languageFile(), paths_.home, QString::fromStdString(session_.testPath()),
                      this);
    if (dialog.exec() == QDialog::Accepted)
        ShowMessage(this, dialog.outcomeText(),
                    GetLangString(languageFile(), QString::fromLatin1(langkey::kMessageTip)),
                    MessageIcon::Information);
}

void CMainFrame::verifyTools() {
    if (!verify_) {
        verify_ = new VerifyWindow(live_, paths_, languageFile(), this);
        verify_->setAttribute(Qt::WA_DeleteOnClose);
        connect(verify_, &VerifyWindow::runFinished, this,
                [this](const QString& path) { store_->runEnded(path.toStdString()); });
    }
    verify_->show();
    verify_->raise();
    verify_->activateWindow();
}

void CMainFrame::showRegister() {
    if (!labRegister_) {
        labRegister_ = new RegisterWindow(paths_, languageFile(), this);
        labRegister_->setAttribute(Qt::WA_DeleteOnClose);
    }
    labRegister_->show();
    labRegister_->raise();
    labRegister_->activateWindow();
}

void CMainFrame::newTest() {
    CDlgTestCreate dialog(session_, languageFile(), paths_.configFile, this);
    dialog.exec();
}

void CMainFrame::showTestData() {
    CDlgSelData browser(languageFile(), paths_.dataFolder, session_.testOpen(),
                        session_.recording(), this);
    browser.addStoreTab(store_->address().conninfo, paths_.home + QStringLiteral("Store/"),
                        paths_.configFile);
    if (browser.exec() != QDialog::Accepted)
        return;
    if (loadTestFile(browser.filePath()) && browser.reportWanted())
        resultsController_->report(this);
}

bool CMainFrame::loadTestFile(const QString& path) {
    const FileResult loaded = session_.loadTest(path.toStdString());
    resultsController_->testLoaded();
    if (!loaded) {
        showLangMessage(this, languageFile(), langkey::kMessageLoadError, MessageIcon::Warning,
                        QString::fromStdString(loaded.text));
        return false;
    }
    status_->showLoadedFile(path);
    resultsController_->tellRefusals(this);
    return true;
}

void CMainFrame::closeTest() {
    session_.closeTest();
}

}  // namespace vornex
