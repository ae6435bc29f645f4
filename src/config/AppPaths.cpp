#include "config/AppPaths.h"

#include <QDir>

namespace vornex {

AppPaths AppPaths::forHome(const QString& home) {
    QString folder = QDir::cleanPath(QDir(home).absolutePath());
    if (!folder.endsWith(QLatin1Char('/'))) {
        folder += QLatin1Char('/');
    }
    return AppPaths{folder, folder + QStringLiteral("config.ini"), folder + QStringLiteral("Data/"),
                    folder + QStringLiteral("Language/")};
}

}  // namespace vornex
