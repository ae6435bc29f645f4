#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>
#include <optional>

namespace vornex {

// A private profile (ini) file read and written the way the Windows profile functions do: every
// call goes to the file itself, a missing file, section or key gives the default, a value loses
// one pair of surrounding quotes and is cut to bufferSize - 1 characters, and a write keeps every
// other line of the file and its encoding. A file that does not exist yet is created as UTF-8.
class PrivateProfile {
public:
    // Files beyond this size are treated as unreadable rather than loaded whole.
    static constexpr qint64 kMaxFileSize = 64 * 1024 * 1024;

    explicit PrivateProfile(QString path) : path_(std::move(path)) {}

    const QString& path() const { return path_; }

    QString read(const QString& section, const QString& key, const QString& defaultValue,
                 int bufferSize) const;

    // False when the file cannot be read back whole, the entry is refused (line breaks, "=" in a
    // key) or the file cannot be written; the file is then left as it was.
    bool write(const QString& section, const QString& key, const QString& value) const;

private:
    QString path_;
};

// What a read gives for a value as found in the file (nothing when absent): the default, or the
// value without one pair of surrounding quotes, cut to bufferSize - 1 characters.
QString profileValue(const std::optional<QString>& found, const QString& defaultValue,
                     int bufferSize);

}  // namespace vornex
