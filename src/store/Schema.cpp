#include "store/Schema.h"

#include <QFile>

namespace vornex::store {

namespace {

const char* const kFiles[] = {":/store/schema/001_tests.sql",    ":/store/schema/002_runs.sql",
                              ":/store/schema/003_audit.sql",    ":/store/schema/004_review.sql",
                              ":/store/schema/005_register.sql", ":/store/schema/006_pulls.sql"};

// Any number shared by the programs that migrate one database.
constexpr const char* kMigrationLock = "SELECT pg_advisory_xact_lock(7242010)";

std::string schemaFile(int version) {
    QFile file(QString::fromLatin1(kFiles[version - 1]));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll().toStdString();
}

}  // namespace

int latestSchemaVersion() {
    return static_cast<int>(std::size(kFiles));
}

Migration migrateSchema(PgConnection& connection, int upTo) {
    Migration migration;
    const auto failed = [&](const PgResult& result) {
        migration.result = connection.check(result);
        return migration;
    };
    PgTransaction transaction(connection);
    if (const PgResult begun = transaction.begin(); !begun.ok())
        return failed(begun);
    for (const char* step :
         {kMigrationLock,
          "CREATE TABLE IF NOT EXISTS vornex_schema (version integer PRIMARY KEY, "
          "applied timestamptz NOT NULL DEFAULT now())"}) {
        if (const PgResult result = connection.exec(step); !result.ok())
            return failed(result);
    }
    const PgResult found = connection.exec("SELECT coalesce(max(version), 0) FROM vornex_schema");
    if (!found.ok())
        return failed(found);
    migration.from = std::stoi(found.value(0, 0));
    migration.to = migration.from;
    if (migration.from > latestSchemaVersion()) {
        migration.result = StoreResult::failed(
            StoreResultKind::Refused,
            "the database holds schema version " + std::to_string(migration.from) +
                ", newer than this program's " + std::to_string(latestSchemaVersion()));
        return migration;
    }
    for (int version = migration.from + 1; version <= upTo; ++version) {
        const std::string sql = schemaFile(version);
        if (sql.empty()) {
            migration.result = StoreResult::failed(
                StoreResultKind::Files, "schema file " + std::to_string(version) + " is missing");
            return migration;
        }
        if (const PgResult applied = connection.script(sql); !applied.ok())
            return failed(applied);
        if (const PgResult recorded =
                connection.exec("INSERT INTO vornex_schema (version) VALUES ($1)",
                                {PgParam::text(std::to_string(version))});
            !recorded.ok())
            return failed(recorded);
    }
    if (const PgResult committed = transaction.commit(); !committed.ok())
        return failed(committed);
    migration.to = std::max(migration.from, upTo);
    return migration;
}

}  // namespace vornex::store
