#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <optional>
#include <vector>

namespace vornex {

// An ini file held as its original lines, so that a change touches one line and leaves every other
// byte of the file as it was: comments, unknown lines, line endings, encoding and byte-order mark.
// Section and key names match without regard to case; the first matching section and, within it,
// the first matching key win. Text outside any section, lines without "=" and undecodable bytes are
// carried along untouched and never match.
class IniDocument {
public:
    enum class Encoding { Utf8, Utf8Bom, Utf16Le, Utf16Be };

    // A new, empty document is UTF-8 without a byte-order mark.
    IniDocument() = default;
    static IniDocument fromBytes(const QByteArray& bytes);
    QByteArray toBytes() const;

    // The value as written after "=", trimmed; nothing when the section or key is absent.
    std::optional<QString> value(const QString& section, const QString& key) const;

    // Every value at once, each as value() finds it: keyed by the case-folded section name, then
    // by the case-folded key name.
    using ValueIndex = QHash<QString, QHash<QString, QString>>;
    ValueIndex index() const;

    // Replaces the value of an existing key in place (a line already holding the value is left as
    // it is), or adds the key at the end of its section, or adds the section at the end of the
    // document. Refuses (false) names or values that would
    // change the structure of the file: line breaks anywhere, "=" in a key, "]" in a section.
    bool setValue(const QString& section, const QString& key, const QString& value);

private:
    struct Line {
        QByteArray text;    // encoded, without its line ending
        QByteArray ending;  // "\n", "\r\n" (encoded) or empty for a last line without one
    };
    enum class Kind { Other, Section, Entry };
    struct Parsed {
        Kind kind = Kind::Other;
        QString name;   // section or key name, trimmed
        QString value;  // entry value, trimmed
    };

    Parsed parse(const Line& line) const;
    QString decode(const QByteArray& bytes) const;
    QByteArray encode(const QString& text) const;
    QByteArray newline() const;
    int unitSize() const;
    void insertLine(std::size_t at, const QString& text);

    Encoding encoding_ = Encoding::Utf8;
    std::vector<Line> lines_;
    // A stray odd byte at the end of a UTF-16 file; kept last so that added lines stay aligned.
    QByteArray oddTail_;
};

}  // namespace vornex
