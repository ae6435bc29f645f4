#include "i18n/Startup.h"

#include <QDir>
#include <QFileInfo>

#include "config/PrivateProfile.h"
#include "i18n/Language.h"

namespace vornex {

QStringList prepareHome(const AppPaths& paths) {
    QStringList problems;
    // Only the home folder may need parents (a fresh per-user data folder); the folders inside it
    // are made one level deep.
    if (!QDir().mkpath(paths.home)) {
        problems << QStringLiteral("cannot create the home folder %1").arg(paths.home);
    }
    if (!QFileInfo::exists(paths.configFile) &&
        !PrivateProfile(paths.configFile)
             .write(QStringLiteral("Setting"), QStringLiteral("Language"), kDefaultLanguage)) {
        problems << QStringLiteral("cannot write %1").arg(paths.configFile);
    }
    for (const QString& folder : {paths.dataFolder, paths.languageFolder}) {
        if (!QFileInfo(folder).isDir() && !QDir().mkdir(folder)) {
            problems << QStringLiteral("cannot create the folder %1").arg(folder);
        }
    }
    return problems;
}

}  // namespace vornex
