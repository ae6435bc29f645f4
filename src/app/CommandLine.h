#pragma once

#include <QString>
#include <QStringList>

namespace vornex {

// vornex [--home DIR] [--simulate] [--port PATH]... [FILE.pdat]
struct CommandLine {
    QString home;  // empty: the usual search for the home folder
    bool simulate = false;
    QStringList ports;  // ports to offer that enumeration cannot see
    QString testFile;   // a test file to show at start, as a file manager opens one
    QString error;      // set when the arguments cannot be used; the program then ends
    bool helpShown = false;
    bool versionShown = false;

    // `arguments` includes the program name first, as QCoreApplication::arguments() gives it.
    static CommandLine parse(const QStringList& arguments);
    static QString usage();
};

}  // namespace vornex
