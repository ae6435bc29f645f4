#pragma once

#include <QString>
#include <QStringList>

#include "config/AppPaths.h"

namespace vornex {

// Where the home folder may come from, strongest first. Empty texts are absent sources.
struct HomeFolderSources {
    QString homeOption;      // "--home DIR" or "--home=DIR" on the command line
    QString environment;     // the environment variable VORNEX_HOME
    QString programFolder;   // the program's folder, taken when writable and not a "bin"
    QString userDataFolder;  // the per-user data folder, the last resort
};

QString resolveHomeFolder(const HomeFolderSources& sources);

// The value of "--home DIR" or "--home=DIR" in a command line, empty without one.
QString homeOption(const QStringList& arguments);

// The sources as this process sees them: its command line, its environment, its own folder and
// the user's data folder (".../Vornex" under the generic data location, the same for the window
// and the command-line tool).
HomeFolderSources processHomeFolderSources(const QStringList& arguments);

// The paths of the home folder this process uses; what the window, vornex-cli and the tests call.
AppPaths homePaths(const QStringList& arguments);

}  // namespace vornex
