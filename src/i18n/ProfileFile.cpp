#include "i18n/ProfileFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "i18n/IniDocument.h"

namespace vornex {

namespace {

// The whole file, an empty array for a file that does not exist, nothing for one that exists but
// cannot be read whole.
std::optional<QByteArray> loadBytes(const QString& path) {
    const QFileInfo info(path);
    if (!info.exists()) {
        return QByteArray();
    }
    if (!info.isFile() || info.size() > ProfileFile::kMaxFileSize) {
        return std::nullopt;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    return readWholeFile(file);
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

std::optional<QByteArray> readWholeFile(QFile& file) {
    constexpr qint64 kPiece = 64 * 1024;
    QByteArray bytes;
    for (;;) {
        const QByteArray piece = file.read(kPiece);
        if (piece.isEmpty())
            break;
        bytes += piece;
        if (bytes.size() > ProfileFile::kMaxFileSize)
            return std::nullopt;
    }
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

QString profileValue(const std::optional<QString>& found, const QString& defaultValue,
                     int bufferSize) {
    return cutToBuffer(found ? unquoted(*found) : defaultValue, bufferSize);
}

QString ProfileFile::read(const QString& section, const QString& key, const QString& defaultValue,
                          int bufferSize) const {
    const std::optional<QByteArray> bytes = loadBytes(path_);
    std::optional<QString> value;
    if (bytes) {
        value = IniDocument::fromBytes(*bytes).value(section, key);
    }
    return profileValue(value, defaultValue, bufferSize);
}

bool ProfileFile::write(const QString& section, const QString& key, const QString& value) const {
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
