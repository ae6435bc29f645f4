#include "store/ResultQuery.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDateTime>

#include "files/AtomicFile.h"
#include "record/CompanionFile.h"

namespace vornex::store {

namespace {

// Both kinds in one list. Filters left empty are NULL, which the planner folds away, so the index
// on (tool, started) serves a search by tool. A row hides only behind a newer row of its own bench:
// a run may arrive before the one it supersedes, when the server cannot yet refuse a newer row of
// another bench, and rows stored before the server checked benches were never refused.
const char* const kFind = R"(
SELECT id, extract(epoch FROM started)::bigint, bench, tool, kind, result, operator, name,
       EXISTS (SELECT 1 FROM vornex_amendments a WHERE a.id = found.id) FROM (
    SELECT t.id, t.started, t.bench, t.tool, t.operator, t.name, 'test' AS kind, t.result,
           t.low_count > 0 AS low, t.high_count > 0 AS high,
           t.low_count + t.high_count > 0 AS failed
      FROM vornex_tests t
     WHERE NOT EXISTS (SELECT 1 FROM vornex_tests s WHERE s.supersedes = t.id AND s.bench = t.bench)
    UNION ALL
    SELECT r.id, r.started, r.bench, r.tool, r.operator, '', 'run', r.result, false, false,
           r.result = 'fail'
      FROM vornex_runs r
     WHERE NOT EXISTS (SELECT 1 FROM vornex_runs s WHERE s.supersedes = r.id AND s.bench = r.bench)
) found
WHERE ($1::text IS NULL OR tool = $1)
  AND ($2::text IS NULL OR bench = $2)
  AND ($3::text IS NULL OR operator = $3)
  AND ($4::bigint IS NULL OR started >= to_timestamp($4::bigint))
  AND ($5::bigint IS NULL OR started < to_timestamp($5::bigint))
  AND ($6::text IS NULL OR ($6 = 'low' AND low) OR ($6 = 'high' AND high)
       OR ($6 = 'fail' AND failed))
ORDER BY started, id
)";

PgParam optionalText(const std::string& text) {
    return text.empty() ? PgParam::null() : PgParam::text(text);
}

PgParam optionalNumber(const std::optional<int64_t>& value) {
    return value ? PgParam::text(std::to_string(*value)) : PgParam::null();
}

std::string orDash(const std::string& text) {
    return text.empty() ? "-" : text;
}

// Local time, as the filters' days are.
std::string startText(const FoundResult& found) {
    return found.started ? QDateTime::fromSecsSinceEpoch(*found.started)
                               .toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss"))
                               .toStdString()
                         : std::string();
}

// A bench or operator named with a tab or a line break keeps its line and its column.
std::string tsvField(const std::string& text) {
    std::string field;
    for (const char c : text) {
        switch (c) {
            case '\\':
                field += "\\\\";
                break;
            case '\t':
                field += "\\t";
                break;
            case '\n':
                field += "\\n";
                break;
            case '\r':
                field += "\\r";
                break;
            default:
                field += c;
        }
    }
    return field;
}

}  // namespace

StoreAnswer<std::vector<FoundResult>> findResults(PgConnection& connection,
                                                  const FindFilter& filter) {
    const PgResult result =
        connection.exec(kFind, {optionalText(filter.tool), optionalText(filter.bench),
                                optionalText(filter.operatorName), optionalNumber(filter.since),
                                optionalNumber(filter.until), optionalText(filter.verdict)});
    StoreAnswer<std::vector<FoundResult>> found;
    found.result = connection.check(result);
    if (!found)
        return found;
    for (int row = 0; row < result.rows(); ++row) {
        FoundResult f;
        f.uuid = result.value(row, 0);
        if (!result.isNull(row, 1))
            f.started = std::stoll(result.value(row, 1));
        f.bench = result.value(row, 2);
        f.tool = result.value(row, 3);
        f.kind = result.value(row, 4);
        f.result = result.value(row, 5);
        f.operatorName = result.value(row, 6);
        f.name = result.value(row, 7);
        f.amended = result.value(row, 8) == "t";
        found.value.push_back(std::move(f));
    }
    return found;
}

StoreAnswer<std::optional<StoredFile>> storedFile(PgConnection& connection,
                                                  const std::string& uuid) {
    const PgResult result = connection.exec(
        "SELECT 'test'::text, file, companion, sha256 FROM vornex_tests WHERE id = $1::uuid "
        "UNION ALL SELECT 'run'::text, file, NULL::bytea, sha256 FROM vornex_runs "
        "WHERE id = $1::uuid",
        {PgParam::text(uuid)}, true);
    StoreAnswer<std::optional<StoredFile>> stored;
    stored.result = connection.check(result);
    if (!stored || result.rows() == 0)
        return stored;
    StoredFile& file = stored.value.emplace();
    file.kind = result.value(0, 0);
    file.bytes = result.value(0, 1);
    if (!result.isNull(0, 2))
        file.companion = result.value(0, 2);
    file.sha256 = result.value(0, 3);
    return stored;
}

StoreAnswer<std::string> fetchStoredFile(PgConnection& connection, const std::string& uuid,
                                         const std::string& out) {
    StoreAnswer<std::string> fetched;
    const auto failed = [&](StoreResultKind kind, std::string text) {
        fetched.result = StoreResult::failed(kind, std::move(text));
        return fetched;
    };
    const StoreAnswer<std::optional<StoredFile>> stored = storedFile(connection, uuid);
    if (!stored) {
        fetched.result = stored.result;
        return fetched;
    }
    if (!stored.value)
        return failed(StoreResultKind::BadInput, "the store holds no test or run " + uuid);
    const StoredFile& file = *stored.value;
    const std::string hash =
        QCryptographicHash::hash(QByteArray::fromStdString(file.bytes), QCryptographicHash::Sha256)
            .toHex()
            .toStdString();
    if (hash != file.sha256) {
        return failed(StoreResultKind::Refused,
                      "the stored file's SHA-256 is not the one it was sent with; it is not "
                      "written");
    }
    std::string error;
    if (!writeWholeFile(out, file.bytes, &error))
        return failed(StoreResultKind::Files, "cannot write " + out + ": " + error);
    if (file.companion && !writeWholeFile(companionPath(out), *file.companion, &error))
        return failed(StoreResultKind::Files, "cannot write " + companionPath(out) + ": " + error);
    fetched.value = file.kind;
    return fetched;
}

std::string findLine(const FoundResult& found) {
    return found.uuid + ' ' + orDash(startText(found)) + ' ' + orDash(found.bench) + ' ' +
           orDash(found.tool) + ' ' + found.kind + ' ' + found.result +
           (found.amended ? " amended" : "");
}

std::string tsvLine(const FoundResult& found) {
    std::string line = tsvField(found.uuid);
    for (const std::string& field : {startText(found), found.bench, found.tool, found.kind,
                                     found.result, found.operatorName, found.name})
        line += '\t' + tsvField(field);
    return line;
}

std::optional<int64_t> dayStart(const std::string& date, int days) {
    const QDate day = QDate::fromString(QString::fromStdString(date), QStringLiteral("yyyy-MM-dd"));
    if (!day.isValid())
        return std::nullopt;
    return day.addDays(days).startOfDay().toSecsSinceEpoch();
}

}  // namespace vornex::store
