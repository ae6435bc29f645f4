#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <QStringEncoder>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace vornex::test {

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Whether anything stands at `path`, a dangling link too.
inline bool pathExists(const std::string& path) {
    return std::filesystem::exists(std::filesystem::symlink_status(path));
}

inline void writeBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

// Also reads Qt resources (":/...").
inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    writeBytes(path.toStdString(), bytes.toStdString());
}

inline QByteArray utf16le(const QString& text) {
    return "\xFF\xFE" + QByteArray(QStringEncoder(QStringConverter::Utf16LE)(text));
}

inline QByteArray utf16be(const QString& text) {
    return "\xFE\xFF" + QByteArray(QStringEncoder(QStringConverter::Utf16BE)(text));
}

}  // namespace vornex::test
