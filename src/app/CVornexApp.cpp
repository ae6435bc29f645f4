#include "app/CVornexApp.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include "app/CAboutDlg.h"
#include "app/SimulateMenu.h"
#include "app/SimulatedInstruments.h"
#include "config/HomeFolder.h"
#include "frame/CMainFrame.h"
#include "frame/CommandIds.h"
#include "instrument/ExportFolders.h"

namespace vornex {

CVornexApp::CVornexApp() = default;

// The window and its link go before the simulated line they may be talking to.
CVornexApp::~CVornexApp() {
    frame_.reset();
    simulated_.reset();
}

bool CVornexApp::init(const QStringList& arguments, QString& error) {
    const CommandLine line = CommandLine::parse(arguments);
    if (!line.error.isEmpty()) {
        error = line.error + QLatin1Char('\n') + CommandLine::usage();
        return false;
    }
    // Workbooks handed to a spreadsheet application a day ago have been saved or given up.
    exportfolders::removeStale(QDir::tempPath(), QDateTime::currentDateTime().addDays(-1));
    std::vector<std::string> named;
    if (line.simulate) {
        simulated_ = std::make_unique<SimulatedInstruments>();
        std::string why;
        if (!simulated_->start(why)) {
            error =
                QStringLiteral("cannot start the simulated line: ") + QString::fromStdString(why);
            return false;
        }
        named.push_back(simulated_->portPath());
    }
    for (const QString& port : line.ports)
        named.push_back(port.toStdString());

    frame_ = std::make_unique<CMainFrame>(homePaths(arguments), namedAndSystemPorts(named));
    CMainFrame* frame = frame_.get();
    if (simulated_)
        simulateMenu_ = new SimulateMenu(*simulated_, *frame);
    QObject::connect(frame->action(command::kAbout), &QAction::triggered, frame, [frame] {
        CAboutDlg about(frame->languageFile(), frame);
        about.exec();
    });
    if (!line.testFile.isEmpty())
        frame->loadTestFile(QFileInfo(line.testFile).absoluteFilePath());
    return true;
}

QString CVornexApp::simulatedPort() const {
    return simulated_ ? QString::fromStdString(simulated_->portPath()) : QString();
}

}  // namespace vornex
