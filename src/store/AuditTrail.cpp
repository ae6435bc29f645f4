#include "store/AuditTrail.h"

#include <QCryptographicHash>
#include <memory>
#include <utility>
#include <vector>

namespace vornex::store {

namespace {

const char* const kColumns =
    "SELECT id, to_char(logged_at AT TIME ZONE 'UTC', 'YYYY-MM-DD\"T\"HH24:MI:SS.US\"Z\"'), "
    "login, action, table_name, record, old_value, new_value, reason, row_hash, prev_hash, hash "
    "FROM vornex_audit ";

// Each table the trail covers, with its key as the triggers join it into an entry's record.
const std::pair<const char*, const char*> kAudited[] = {
    {"vornex_tests", "t.id::text"},
    {"vornex_test_instruments", "concat_ws('/', t.test_id, t.slave)"},
    {"vornex_test_events", "concat_ws('/', t.test_id, t.slave, t.number)"},
    {"vornex_runs", "t.id::text"},
    {"vornex_run_readings", "concat_ws('/', t.run_id, t.number)"},
    {"vornex_bench_logins", "t.login"},
    {"vornex_amendments", "concat_ws('/', t.original, t.id)"},
    {"vornex_signatures", "concat_ws('/', t.record, t.id)"},
    {"vornex_register_tools", "concat_ws('/', t.id, t.entry)"},
    {"vornex_register_references", "concat_ws('/', t.asset, t.entry)"},
};

// Read in pages, so that a long trail is never held whole.
constexpr int kPage = 5000;

std::optional<std::string> optionalValue(const PgResult& result, int row, int column) {
    if (result.isNull(row, column))
        return std::nullopt;
    return result.value(row, column);
}

std::vector<AuditEntry> entries(const PgResult& result) {
    std::vector<AuditEntry> read;
    for (int row = 0; row < result.rows(); ++row) {
        AuditEntry e;
        e.id = std::stoll(result.value(row, 0));
        e.at = result.value(row, 1);
        e.login = result.value(row, 2);
        e.action = result.value(row, 3);
        e.table = result.value(row, 4);
        e.record = result.value(row, 5);
        e.oldValue = optionalValue(result, row, 6);
        e.newValue = optionalValue(result, row, 7);
        e.reason = optionalValue(result, row, 8);
        e.rowHash = result.value(row, 9);
        e.prevHash = result.value(row, 10);
        e.hash = result.value(row, 11);
        read.push_back(std::move(e));
    }
    return read;
}

std::string field(const std::optional<std::string>& value) {
    return value ? std::to_string(value->size()) + ':' + *value : std::string("~");
}

// The first audited row of `table` whose content is no longer what its latest entry recorded.
StoreAnswer<std::optional<std::pair<int64_t, std::string>>> firstChangedRow(
    PgConnection& connection, const char* table, const char* key) {
    const std::string sql =
        std::string(
            "SELECT id, record, now_hash IS NULL FROM (SELECT DISTINCT ON (a.record) "
            "a.id, a.record, a.row_hash, vornex_row_hash(t) AS now_hash "
            "FROM vornex_audit a LEFT JOIN ") +
        table + " t ON " + key +
        " = a.record WHERE a.table_name = $1 ORDER BY a.record, a.id DESC) latest "
        "WHERE now_hash IS DISTINCT FROM row_hash ORDER BY id LIMIT 1";
    const PgResult result = connection.exec(sql, {PgParam::text(table)});
    StoreAnswer<std::optional<std::pair<int64_t, std::string>>> changed;
    changed.result = connection.check(result);
    if (!changed || result.rows() == 0)
        return changed;
    const std::string what = std::string(table) + ' ' + result.value(0, 1);
    changed.value.emplace(std::stoll(result.value(0, 0)),
                          result.value(0, 2) == "t"
                              ? what + " is gone from its table"
                              : what + " is no longer the row that was inserted");
    return changed;
}

// The first test whose gathered pulls are no longer what its events give, named by the trail
// entry of the test: the trail does not cover the gathered rows, which only the server writes.
StoreAnswer<std::optional<std::pair<int64_t, std::string>>> firstMisgathered(
    PgConnection& connection) {
    const PgResult result = connection.exec(
        "SELECT coalesce((SELECT min(a.id) FROM vornex_audit a WHERE a.table_name = "
        "'vornex_tests' AND a.record = m.test_id::text), (SELECT max(id) FROM vornex_audit), 1), "
        "m.test_id::text || '/' || m.slave FROM (SELECT coalesce(p.test_id, g.test_id) AS "
        "test_id, coalesce(p.slave, g.slave) AS slave FROM vornex_test_pulls p FULL JOIN "
        "vornex_gathered_pulls g ON g.test_id = p.test_id AND g.slave = p.slave WHERE p.pulls IS "
        "DISTINCT FROM g.pulls) m ORDER BY 1 LIMIT 1");
    StoreAnswer<std::optional<std::pair<int64_t, std::string>>> found;
    found.result = connection.check(result);
    if (found && result.rows() > 0)
        found.value.emplace(
            std::stoll(result.value(0, 0)),
            "vornex_test_pulls " + result.value(0, 1) + " are no longer the pulls its events give");
    return found;
}

}  // namespace

std::string AuditChain::hashOf(const AuditEntry& e) {
    std::string input = e.prevHash;
    for (const std::string& value :
         {std::to_string(e.id), e.at, e.login, e.action, e.table, e.record})
        input += field(value);
    input += field(e.oldValue) + field(e.newValue) + field(e.reason) + field(e.rowHash);
    return QCryptographicHash::hash(QByteArray::fromStdString(input), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

std::string AuditChain::take(const AuditEntry& entry) {
    std::string broken;
    if (entry.prevHash != last_) {
        broken = lastId_ == 0 ? "the first row names a predecessor"
                              : "it does not follow row " + std::to_string(lastId_) +
                                    " (a row between them was removed or changed)";
    } else if (hashOf(entry) != entry.hash) {
        broken = "its fields do not give its hash (the trail row was changed)";
    }
    last_ = entry.hash;
    lastId_ = entry.id;
    ++rows_;
    return broken;
}

StoreResult walkAudit(PgConnection& connection, const std::string& record,
                      const std::function<void(const AuditEntry&)>& take) {
    const std::string rows =
        record.empty() ? std::string()
                       : std::string("AND (record = $2 OR starts_with(record, $2 || '/')) ");
    for (int64_t after = 0;;) {
        std::vector<PgParam> params{PgParam::text(std::to_string(after))};
        if (!record.empty())
            params.push_back(PgParam::text(record));
        const PgResult page = connection.exec(std::string(kColumns) + "WHERE id > $1 " + rows +
                                                  "ORDER BY id LIMIT " + std::to_string(kPage),
                                              params);
        if (!page.ok())
            return connection.check(page);
        for (const AuditEntry& entry : entries(page)) {
            take(entry);
            after = entry.id;
        }
        if (page.rows() < kPage)
            return StoreResult();
    }
}

AuditCheck verifyAudit(PgConnection& connection) {
    AuditCheck check;
    // One snapshot for the walk and the tables, so that rows sent meanwhile are neither half seen
    // nor taken for changes.
    const PgResult begun = connection.exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY");
    if (!begun.ok()) {
        check.result = connection.check(begun);
        return check;
    }
    const std::shared_ptr<void> ended(nullptr,
                                      [&connection](void*) { connection.exec("ROLLBACK"); });
    AuditChain chain;
    check.result = walkAudit(connection, {}, [&](const AuditEntry& entry) {
        const std::string broken = chain.take(entry);
        if (!broken.empty() && check.brokenAt == 0) {
            check.brokenAt = entry.id;
            check.reason = broken;
        }
    });
    check.rows = chain.rows();
    const auto take = [&check](const auto& changed) {
        check.result = changed.result;
        if (changed.value && (check.brokenAt == 0 || changed.value->first < check.brokenAt)) {
            check.brokenAt = changed.value->first;
            check.reason = changed.value->second;
        }
    };
    for (const auto& [table, key] : kAudited) {
        if (!check.result)
            return check;
        take(firstChangedRow(connection, table, key));
    }
    if (check.result)
        take(firstMisgathered(connection));
    return check;
}

std::string auditLine(const AuditEntry& e) {
    return std::to_string(e.id) + ' ' + e.at + ' ' + e.login + ' ' + e.action + ' ' + e.table +
           ' ' + e.record;
}

}  // namespace vornex::store
