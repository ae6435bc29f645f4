#include "config/PrivateProfile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "config/IniDocument.h"
#include "files/SmallFile.h"

namespace vornex {

namespace {

// The whole file, an empty array for a file that does not exist, nothing for one that exists but
// cannot be read whole.
std::optional<QByteArray> loadBytes(const QString& path) {
    // The files built into the program are Qt resources, not files of the system.
    if (path.startsWith(QLatin1Char(':'))) {
        QFile builtIn(path);
        if (!builtIn.open(QIODevice::ReadOnly))
            return QByteArray();
        return builtIn.readAll();
    }
    const SmallFile file = readSmallFile(QFile::encodeName(path).toStdString(),
                                         static_cast<size_t>(PrivateProfile::kMaxFileSize));
    if (file.problem == SmallFile::Problem::Missing)
        return QByteArray();
    if (!file.ok())
        return std::nullopt;
    return QByteArray(file.bytes.data(), static_cast<qsizetype>(file.bytes.size()));
}

QString unquoted(const QString& value) {
    if (value.size() >= 2) {
        const QChar first = value.front();
        if ((first == QLatin1Char('"') || first == QLatin1Char('\'')) && value.back() == first) {
            return value.mid(1, value.size() - 2);
        }
    }
    return value;
}

QString cutToBuffer(QString text, int bufferSize) {
    const qsizetype room = bufferSize > 0 ? bufferSize - 1 : 0;
    if (text.size() > room) {
        text.truncate(room);
        // Never hand out half of a surrogate pair.
        if (!text.isEmpty() && text.back().isHighSurrogate()) {
            text.chop(1);
        }
    }
    return text;
}

}  // namespace

QString profileValue(const std::optional<QString>& found, const QString& defaultValue,
                     int bufferSize) {
    return cutToBuffer(found ? unquoted(*found) : defaultValue, bufferSize);
}

QString PrivateProfile::read(const QString& section, const QString& key,
                             const QString& defaultValue, int bufferSize) const {
    const std::optional<QByteArray> bytes = loadBytes(path_);
    std::optional<QString> value;
    if (bytes) {
        value = IniDocument::fromBytes(*bytes).value(section, key);
    }
    return profileValue(value, defaultValue, bufferSize);
}

bool PrivateProfile::write(const QString& section, const QString& key, const QString& value) const {
    const std::optional<QByteArray> bytes = loadBytes(path_);
    if (!bytes) {
        return false;
    }
    IniDocument doc = IniDocument::fromBytes(*bytes);
    if (!doc.setValue(section, key, value)) {
        return false;
    }
    const QByteArray updated = doc.toBytes();
    if (updated == *bytes && QFileInfo::exists(path_)) {
        return true;
    }
    // Written aside and renamed over the old file, so a failure midway never leaves half a file.
    QSaveFile file(path_);
    file.setDirectWriteFallback(true);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    if (file.write(updated) != updated.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

}  // namespace vornex
