#include "config/IniDocument.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include "files/IniLines.h"

namespace vornex {

namespace {

bool sameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool hasLineBreak(const QString& text) {
    return text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'));
}

}  // namespace

IniDocument IniDocument::fromBytes(const QByteArray& bytes) {
    IniDocument doc;
    QByteArray body = bytes;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        doc.encoding_ = Encoding::Utf8Bom;
        body = bytes.mid(3);
    } else if (bytes.startsWith("\xFF\xFE")) {
        doc.encoding_ = Encoding::Utf16Le;
        body = bytes.mid(2);
    } else if (bytes.startsWith("\xFE\xFF")) {
        doc.encoding_ = Encoding::Utf16Be;
        body = bytes.mid(2);
    }

    const int unit = doc.unitSize();
    if (body.size() % unit != 0) {
        doc.oddTail_ = body.right(1);
        body.chop(1);
    }
    const bool bigEndian = doc.encoding_ == Encoding::Utf16Be;
    auto codeAt = [&](qsizetype i) -> int {
        if (unit == 1) {
            return static_cast<unsigned char>(body[i]);
        }
        const auto lo = static_cast<unsigned char>(body[bigEndian ? i + 1 : i]);
        const auto hi = static_cast<unsigned char>(body[bigEndian ? i : i + 1]);
        return hi << 8 | lo;
    };

    qsizetype start = 0;
    for (qsizetype i = 0; i < body.size(); i += unit) {
        if (codeAt(i) != '\n') {
            continue;
        }
        qsizetype textEnd = i;
        if (i - unit >= start && codeAt(i - unit) == '\r') {
            textEnd = i - unit;
        }
        doc.lines_.push_back(
            {body.mid(start, textEnd - start), body.mid(textEnd, i + unit - textEnd)});
        start = i + unit;
    }
    if (start < body.size()) {
        doc.lines_.push_back({body.mid(start), QByteArray()});
    }
    return doc;
}

QByteArray IniDocument::toBytes() const {
    QByteArray out;
    switch (encoding_) {
        case Encoding::Utf8:
            break;
        case Encoding::Utf8Bom:
            out = "\xEF\xBB\xBF";
            break;
        case Encoding::Utf16Le:
            out = "\xFF\xFE";
            break;
        case Encoding::Utf16Be:
            out = "\xFE\xFF";
            break;
    }
    for (const Line& line : lines_) {
        out += line.text;
        out += line.ending;
    }
    return out + oddTail_;
}

std::optional<QString> IniDocument::value(const QString& section, const QString& key) const {
    bool inSection = false;
    for (const Line& line : lines_) {
        const Parsed parsed = parse(line);
        if (parsed.kind == Kind::Section) {
            if (inSection) {
                return std::nullopt;
            }
            inSection = sameName(parsed.name, section);
        } else if (inSection && parsed.kind == Kind::Entry && sameName(parsed.name, key)) {
            return parsed.value;
        }
    }
    return std::nullopt;
}

IniDocument::ValueIndex IniDocument::index() const {
    ValueIndex index;
    // Only the first section of a name counts; entries outside one are never found.
    QString section;
    bool collecting = false;
    for (const Line& line : lines_) {
        const Parsed parsed = parse(line);
        if (parsed.kind == Kind::Section) {
            section = parsed.name.toCaseFolded();
            collecting = !index.contains(section);
            if (collecting)
                index.insert(section, {});
        } else if (collecting && parsed.kind == Kind::Entry) {
            QHash<QString, QString>& values = index[section];
            const QString key = parsed.name.toCaseFolded();
            if (!values.contains(key))
                values.insert(key, parsed.value);
        }
    }
    return index;
}

bool IniDocument::setValue(const QString& section, const QString& key, const QString& value) {
    if (hasLineBreak(section) || hasLineBreak(key) || hasLineBreak(value) ||
        section.contains(QLatin1Char(']')) || key.contains(QLatin1Char('=')) ||
        key.trimmed().isEmpty() || key.trimmed().startsWith(QLatin1Char('[')) ||
        key.trimmed().startsWith(QLatin1Char(';'))) {
        return false;
    }

    std::size_t header = 0;
    while (header < lines_.size()) {
        const Parsed parsed = parse(lines_[header]);
        if (parsed.kind == Kind::Section && sameName(parsed.name, section)) {
            break;
        }
        ++header;
    }

    if (header == lines_.size()) {
        if (!lines_.empty() && !decode(lines_.back().text).trimmed().isEmpty()) {
            insertLine(lines_.size(), QString());
        }
        insertLine(lines_.size(), QLatin1Char('[') + section + QLatin1Char(']'));
        insertLine(lines_.size(), key + QLatin1Char('=') + value);
        return true;
    }

    std::size_t lastContent = header;
    for (std::size_t i = header + 1; i < lines_.size(); ++i) {
        const Parsed parsed = parse(lines_[i]);
        if (parsed.kind == Kind::Section) {
            break;
        }
        if (parsed.kind == Kind::Entry && sameName(parsed.name, key)) {
            // A line that already holds the value keeps its own spacing.
            if (parsed.value != value) {
                lines_[i].text = encode(parsed.name + QLatin1Char('=') + value);
            }
            return true;
        }
        if (!decode(lines_[i].text).trimmed().isEmpty()) {
            lastContent = i;
        }
    }
    insertLine(lastContent + 1, key + QLatin1Char('=') + value);
    return true;
}

IniDocument::Parsed IniDocument::parse(const Line& line) const {
    const IniLine read = readIniLine(decode(line.text).trimmed().toStdString());
    Parsed parsed;
    // The line reader trims ASCII blanks; the document has always trimmed every blank Qt knows.
    parsed.name = QString::fromStdString(read.name).trimmed();
    parsed.value = QString::fromStdString(read.value).trimmed();
    if (read.kind == IniLine::Kind::Section)
        parsed.kind = Kind::Section;
    else if (read.kind == IniLine::Kind::Entry)
        parsed.kind = Kind::Entry;
    return parsed;
}

QString IniDocument::decode(const QByteArray& bytes) const {
    switch (encoding_) {
        case Encoding::Utf16Le:
            return QStringDecoder(QStringConverter::Utf16LE,
                                  QStringConverter::Flag::Stateless)(bytes);
        case Encoding::Utf16Be:
            return QStringDecoder(QStringConverter::Utf16BE,
                                  QStringConverter::Flag::Stateless)(bytes);
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            break;
    }
    return QString::fromUtf8(bytes);
}

QByteArray IniDocument::encode(const QString& text) const {
    switch (encoding_) {
        case Encoding::Utf16Le:
            return QStringEncoder(QStringConverter::Utf16LE,
                                  QStringConverter::Flag::Stateless)(text);
        case Encoding::Utf16Be:
            return QStringEncoder(QStringConverter::Utf16BE,
                                  QStringConverter::Flag::Stateless)(text);
        case Encoding::Utf8:
        case Encoding::Utf8Bom:
            break;
    }
    return text.toUtf8();
}

QByteArray IniDocument::newline() const {
    for (const Line& line : lines_) {
        if (!line.ending.isEmpty()) {
            return line.ending;
        }
    }
    return encode(QStringLiteral("\n"));
}

int IniDocument::unitSize() const {
    return encoding_ == Encoding::Utf16Le || encoding_ == Encoding::Utf16Be ? 2 : 1;
}

void IniDocument::insertLine(std::size_t at, const QString& text) {
    const QByteArray ending = newline();
    if (at > 0 && lines_[at - 1].ending.isEmpty()) {
        lines_[at - 1].ending = ending;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), Line{encode(text), ending});
}

}  // namespace vornex
