#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>

namespace vornex::test {

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        file.write(bytes);
    }
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline QByteArray utf16le(const QString& text) {
    return "\xFF\xFE" + QByteArray(QStringEncoder(QStringConverter::Utf16LE)(text));
}

inline QByteArray utf16be(const QString& text) {
    return "\xFE\xFF" + QByteArray(QStringEncoder(QStringConverter::Utf16BE)(text));
}

}  // namespace vornex::test
