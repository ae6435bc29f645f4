#include <QApplication>
#include <cstdio>

#include "VornexVersion.h"
#include "app/CVornexApp.h"
#include "app/CommandLine.h"
#include "files/TemporaryFiles.h"
#include "frame/CMainFrame.h"

int main(int argc, char** argv) {
    // --help and --version are answered before Qt looks for a display, so they work without one.
    QStringList rawArguments;
    for (int i = 0; i < argc; ++i)
        rawArguments << QString::fromLocal8Bit(argv[i]);
    const vornex::CommandLine line = vornex::CommandLine::parse(rawArguments);
    if (line.helpShown) {
        std::fputs(qPrintable(vornex::CommandLine::usage()), stdout);
        return 0;
    }
    if (line.versionShown) {
        std::puts("vornex " VORNEX_VERSION);
        return 0;
    }

    vornex::removeTemporaryFilesOnSignals();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vornex"));
    // Lets the desktop match the window to its menu entry (its icon and name).
    QApplication::setDesktopFileName(QStringLiteral("vornex"));
    vornex::CVornexApp app;
    QString error;
    if (!app.init(QApplication::arguments(), error)) {
        std::fprintf(stderr, "vornex: %s\n", qPrintable(error));
        return 2;
    }
    if (!app.simulatedPort().isEmpty()) {
        std::printf(
            "vornex: simulated instruments 1, 2 and 3 answer on %s (first in the port list)\n",
            qPrintable(app.simulatedPort()));
        std::fflush(stdout);
    }
    app.mainFrame()->show();
    return application.exec();
}
