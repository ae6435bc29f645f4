#include "sign/Signatures.h"

#include <QDateTime>

#include "files/TsvFile.h"

namespace vornex::sign {

namespace {

constexpr const char* kWords[] = {"performed", "reviewed", "approved"};

std::optional<Signature> signatureOf(const std::vector<std::string>& fields) {
    if (fields.size() < 6)
        return std::nullopt;
    const std::optional<Meaning> meaning = meaningOf(fields[1]);
    if (!meaning || fields[3].size() != 64)
        return std::nullopt;
    Signature s{fields[0], *meaning, fields[2], fields[3], fields[4] == "-" ? "" : fields[4],
                fields[5]};
    return s;
}

bool sameRecord(const Signature& s, const DocumentRecord& record) {
    if (!s.uuid.empty() && !record.uuid.empty())
        return s.uuid == record.uuid;
    return s.path == record.path;
}

}  // namespace

namespace {

// Qt's ISO form would write "Z" for a zone at UTC, which a reader of the file would have to know.
std::string isoWithOffset(const QDateTime& local) {
    const int offset = local.offsetFromUtc();
    const int minutes = (offset < 0 ? -offset : offset) / 60;
    return (local.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
            QString::asprintf("%c%02d:%02d", offset < 0 ? '-' : '+', minutes / 60, minutes % 60))
        .toStdString();
}

}  // namespace

std::string isoNow() {
    return isoWithOffset(QDateTime::currentDateTime());
}

std::string isoLocal(const std::string& iso) {
    const QDateTime instant = QDateTime::fromString(QString::fromStdString(iso), Qt::ISODate);
    return instant.isValid() ? isoWithOffset(instant.toLocalTime()) : iso;
}

std::optional<Meaning> meaningOf(const std::string& word) {
    for (int i = 0; i < 3; ++i)
        if (word == kWords[i])
            return static_cast<Meaning>(i);
    return std::nullopt;
}

const char* meaningWord(Meaning meaning) {
    return kWords[static_cast<int>(meaning)];
}

Signatures::Signatures(const std::string& home) : path_(home + kSignaturesFile) {}

const std::string& Signatures::path() const {
    return path_;
}

bool Signatures::of(const DocumentRecord& record, std::vector<Signature>& found,
                    std::string& error) const {
    found.clear();
    std::vector<std::vector<std::string>> rows;
    if (!TsvFile(path_, kSignaturesHeader).read(rows, error))
        return false;
    for (const std::vector<std::string>& row : rows)
        if (std::optional<Signature> s = signatureOf(row); s && sameRecord(*s, record))
            found.push_back(std::move(*s));
    return true;
}

Signatures::Result Signatures::sign(const std::string& path, Meaning meaning,
                                    const std::string& name) const {
    Result result;
    const std::optional<DocumentRecord> record = readDocumentRecord(path, result.error);
    if (!record)
        return result;
    result.signature = {isoNow(), meaning, name, record->sha256, record->uuid, record->path};
    if (result.signature.name.empty() && meaning == Meaning::Performed)
        result.signature.name = record->operatorName;
    if (result.signature.name.empty()) {
        result.outcome = Outcome::NoName;
        result.error = std::string("a name is needed to sign as ") + meaningWord(meaning);
        return result;
    }
    const TsvFile file(path_, kSignaturesHeader);
    TsvAppend append(file);
    std::vector<std::vector<std::string>> rows;
    if (!file.read(rows, result.error))
        return result;
    for (const std::vector<std::string>& row : rows) {
        const std::optional<Signature> earlier = signatureOf(row);
        if (earlier && (sameRecord(*earlier, *record) || earlier->path == record->path) &&
            earlier->sha256 != record->sha256) {
            result.outcome = Outcome::Changed;
            result.error = path + " changed after it was signed " + earlier->time;
            result.signature = *earlier;
            return result;
        }
    }
    const Signature& s = result.signature;
    if (!append.add({s.time, meaningWord(s.meaning), s.name, s.sha256, s.uuid, s.path},
                    result.error))
        return result;
    result.outcome = Outcome::Signed;
    return result;
}

std::string printedTime(const std::string& iso) {
    if (iso.size() < 19 || iso[10] != 'T')
        return iso;
    return iso.substr(0, 10) + " " + iso.substr(11, 5) +
           (iso.size() > 19 ? " " + iso.substr(19) : std::string());
}

}  // namespace vornex::sign
