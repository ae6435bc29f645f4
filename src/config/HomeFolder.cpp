#include "config/HomeFolder.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStandardPaths>

namespace vornex {

QString resolveHomeFolder(const HomeFolderSources& sources) {
    if (!sources.homeOption.isEmpty()) {
        return sources.homeOption;
    }
    if (!sources.environment.isEmpty()) {
        return sources.environment;
    }
    // A program in a folder named "bin" is installed (/usr/bin, /usr/local/bin, ~/.local/bin):
    // that folder holds other programs too, and root may write to it, so it is never the home
    // folder. Anywhere else (a build tree, a copied folder) a writable program folder is.
    const QFileInfo program(sources.programFolder);
    if (!sources.programFolder.isEmpty() && program.isDir() && program.isWritable() &&
        program.fileName() != QStringLiteral("bin")) {
        return sources.programFolder;
    }
    return sources.userDataFolder;
}

QString homeOption(const QStringList& arguments) {
    static const QString option = QStringLiteral("--home");
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        if (arguments[i] == option && i + 1 < arguments.size()) {
            return arguments[i + 1];
        }
        if (arguments[i].startsWith(option + QLatin1Char('='))) {
            return arguments[i].mid(option.size() + 1);
        }
    }
    return QString();
}

HomeFolderSources processHomeFolderSources(const QStringList& arguments) {
    return HomeFolderSources{
        homeOption(arguments), qEnvironmentVariable("VORNEX_HOME"),
        QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString(),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/Vornex")};
}

AppPaths homePaths(const QStringList& arguments) {
    return AppPaths::forHome(resolveHomeFolder(processHomeFolderSources(arguments)));
}

}  // namespace vornex
