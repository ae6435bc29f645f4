#include "instrument/ExportFolders.h"

#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QTemporaryDir>

namespace vornex::exportfolders {

QString proposedName(const QString& slave, const QDate& date) {
    QString name = slave;
    for (QChar& c : name) {
        if (c == QLatin1Char('/') || c.category() == QChar::Other_Control)
            c = QLatin1Char('_');
    }
    return name + QLatin1Char('-') + date.toString(QStringLiteral("yyyyMMdd")) +
           QStringLiteral(".xlsx");
}

QString makeFolder(const QString& tempFolder) {
    QTemporaryDir folder(tempFolder + QLatin1Char('/') + QLatin1String(kPrefix) +
                         QStringLiteral("XXXXXX"));
    if (!folder.isValid())
        return {};
    folder.setAutoRemove(false);
    return folder.path();
}

int removeStale(const QString& tempFolder, const QDateTime& olderThan) {
    int removed = 0;
    const QFileInfoList entries =
        QDir(tempFolder)
            .entryInfoList({QLatin1String(kPrefix) + QLatin1Char('*')},
                           QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink() || entry.ownerId() != ::getuid() ||
            entry.lastModified() >= olderThan) {
            continue;
        }
        // A read-only workbook inside is still removable: the folder is ours and writable.
        if (QDir(entry.filePath()).removeRecursively())
            ++removed;
    }
    return removed;
}

}  // namespace vornex::exportfolders
