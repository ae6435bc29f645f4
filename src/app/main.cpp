#include <QApplication>
#include <cstdio>

#include "app/CVornexApp.h"
#include "app/CommandLine.h"
#include "frame/CMainFrame.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vornex"));
    const QStringList arguments = QApplication::arguments();
    if (vornex::CommandLine::parse(arguments).helpShown) {
        std::fputs(qPrintable(vornex::CommandLine::usage()), stdout);
        return 0;
    }
    vornex::CVornexApp app;
    QString error;
    if (!app.init(arguments, error)) {
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
