#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

#include "config/IniDocument.h"

namespace vornex {

// The values of one language file, read and parsed once. A lookup gives what a profile read of
// the file would give: the first section of a name, the first value of a key, names matched
// without regard to case, one pair of surrounding quotes removed.
class LanguageTexts {
public:
    // No values: every lookup gives its default.
    LanguageTexts() = default;
    explicit LanguageTexts(const QByteArray& bytes);

    // The value cut to bufferSize - 1 characters, or the default when the key is absent.
    QString value(const QString& section, const QString& key, const QString& defaultValue,
                  int bufferSize) const;
    bool contains(const QString& section, const QString& key) const;

    // The texts of the file at `path`, read from disk on first use and again only once the file
    // has changed there (another file, size, modification or change time). A missing file, or
    // anything but a regular file, has no values. Safe to call from any thread.
    static std::shared_ptr<const LanguageTexts> of(const QString& path);

private:
    IniDocument::ValueIndex values_;
};

}  // namespace vornex
