#include <QString>

#include "store/Impact.h"
#include "store/StoredRegister.h"

namespace vornex::store {

namespace {

// The latest row of each record (none supersedes it), started at or after $2 when it is given.
constexpr const char* kLatest =
    "NOT EXISTS (SELECT FROM %1 n WHERE n.supersedes = x.id) "
    "AND ($2::text IS NULL OR x.started >= $2::timestamptz)";

std::string query(const char* table, const char* kind, const char* match) {
    return "SELECT '" + std::string(kind) +
           "', x.id::text, x.bench, to_char(x.started, 'YYYY-MM-DD\"T\"HH24:MI:SS'), x.operator, "
           "x.result, x.sha256 FROM " +
           table + " x WHERE " + match + " AND " +
           QString::fromLatin1(kLatest).arg(QLatin1String(table)).toStdString();
}

}  // namespace

StoreAnswer<std::vector<ImpactEntry>> impactInStore(PgConnection& connection,
                                                    const ImpactSubject& subject,
                                                    const std::string& since) {
    StoreAnswer<std::vector<ImpactEntry>> found;
    found.result = useLocalTimeZone(connection);
    if (!found)
        return found;
    const bool tool = subject.kind == ImpactSubject::Kind::Tool;
    const std::string sql = tool ? query("vornex_tests", "test", "x.tool = $1") + " UNION ALL " +
                                       query("vornex_runs", "run", "x.tool = $1")
                                 : query("vornex_runs", "run", "x.reference_asset = $1");
    const PgResult r = connection.exec(
        sql, {PgParam::text(subject.id), since.empty() ? PgParam::null() : PgParam::text(since)});
    found.result = connection.check(r);
    for (int row = 0; found && row < r.rows(); ++row) {
        found.value.push_back({r.value(row, 0), r.value(row, 1), r.value(row, 2), r.value(row, 3),
                               r.value(row, 4), r.value(row, 5), r.value(row, 6)});
    }
    return found;
}

}  // namespace vornex::store
