#pragma once

#include <QString>

namespace vornex {

// The places the program keeps beside each other in its home folder. Folders end with "/".
struct AppPaths {
    QString home;
    QString configFile;
    QString dataFolder;
    QString languageFolder;

    // Any spelling of the home folder (relative, with or without a trailing "/") gives the same
    // absolute paths; the root folder stays "/".
    static AppPaths forHome(const QString& home);
};

}  // namespace vornex
