#include "store/StoredRegister.h"

#include <QDateTime>
#include <QTimeZone>
#include <cstdlib>

#include "text/NumberText.h"

namespace vornex::store {

namespace {

std::optional<double> numberAt(const PgResult& r, int row, int column) {
    return r.isNull(row, column) ? std::nullopt : parseNumber(r.value(row, column));
}

std::optional<long> countAt(const PgResult& r, int row, int column) {
    return r.isNull(row, column) ? std::nullopt
                                 : std::optional<long>(std::stol(r.value(row, column)));
}

}  // namespace

StoreResult useLocalTimeZone(PgConnection& connection) {
    const QByteArray zone = QTimeZone::systemTimeZoneId();
    PgResult set = connection.exec("SELECT set_config('TimeZone', $1, false)",
                                   {PgParam::text(zone.toStdString())});
    if (set.ok())
        return {};
    // A zone the server does not know by name: its offset now, as POSIX writes it (west
    // positive), "LOCAL-08:00" for UTC+8.
    const int east = QDateTime::currentDateTime().offsetFromUtc();
    const QString offset = QStringLiteral("LOCAL%1%2:%3")
                               .arg(east > 0 ? QLatin1Char('-') : QLatin1Char('+'))
                               .arg(std::abs(east) / 3600, 2, 10, QLatin1Char('0'))
                               .arg(std::abs(east) % 3600 / 60, 2, 10, QLatin1Char('0'));
    set = connection.exec("SELECT set_config('TimeZone', $1, false)",
                          {PgParam::text(offset.toStdString())});
    return connection.check(set);
}

StoreAnswer<std::vector<RegisteredTool>> storedTools(PgConnection& connection) {
    StoreAnswer<std::vector<RegisteredTool>> found;
    const PgResult r = connection.exec(
        "SELECT id, maker, model, serial, type, tool_class, lowest, maximum, unit, direction, "
        "interval_months, interval_cycles, lead_days, status, to_char(last_good, 'YYYY-MM-DD'), "
        "description FROM vornex_tools_now ORDER BY first_entry");
    found.result = connection.check(r);
    for (int row = 0; found && row < r.rows(); ++row) {
        RegisteredTool t;
        t.id = r.value(row, 0);
        t.maker = r.value(row, 1);
        t.model = r.value(row, 2);
        t.serial = r.value(row, 3);
        t.type = r.value(row, 4);
        t.toolClass = r.value(row, 5);
        t.lowest = numberAt(r, row, 6);
        t.maximum = numberAt(r, row, 7).value_or(0.0);
        t.unit = r.value(row, 8);
        t.direction = r.value(row, 9);
        const std::optional<long> months = countAt(r, row, 10);
        t.intervalMonths = months ? std::optional<int>(static_cast<int>(*months)) : std::nullopt;
        t.intervalCycles = countAt(r, row, 11);
        t.leadDays = static_cast<int>(countAt(r, row, 12).value_or(0));
        t.status = r.value(row, 13);
        t.lastGood = r.value(row, 14);
        t.description = r.value(row, 15);
        found.value.push_back(std::move(t));
    }
    return found;
}

StoreAnswer<std::vector<RegisteredReference>> storedReferences(PgConnection& connection) {
    StoreAnswer<std::vector<RegisteredReference>> found;
    const PgResult r = connection.exec(
        "SELECT asset, maker, model, serial, range, unit, resolution, certificate, uncertainty, "
        "lowest, to_char(due, 'YYYY-MM-DD') FROM vornex_references_now ORDER BY first_entry");
    found.result = connection.check(r);
    for (int row = 0; found && row < r.rows(); ++row) {
        RegisteredReference x;
        x.asset = r.value(row, 0);
        x.maker = r.value(row, 1);
        x.model = r.value(row, 2);
        x.serial = r.value(row, 3);
        x.range = numberAt(r, row, 4).value_or(0.0);
        x.unit = r.value(row, 5);
        x.resolution = numberAt(r, row, 6).value_or(0.0);
        x.certificate = r.value(row, 7);
        x.uncertainty = numberAt(r, row, 8).value_or(0.0);
        x.lowest = numberAt(r, row, 9).value_or(0.0);
        x.due = r.value(row, 10);
        found.value.push_back(std::move(x));
    }
    return found;
}

StoreAnswer<std::vector<StoredDue>> storedDue(PgConnection& connection) {
    StoreAnswer<std::vector<StoredDue>> found;
    found.result = useLocalTimeZone(connection);
    if (!found)
        return found;
    // The view's estimate for a large register runs past the server's JIT threshold, and
    // compiling it would take longer than the index lookups it plans.
    found.result = connection.check(connection.exec("SET jit = off"));
    if (!found)
        return found;
    const PgResult r = connection.exec(
        "SELECT state, kind, id, to_char(due, 'YYYY-MM-DD'), cycles, cycles_interval FROM "
        "vornex_due ORDER BY kind_order, first_entry");
    found.result = connection.check(r);
    for (int row = 0; found && row < r.rows(); ++row)
        found.value.push_back({r.value(row, 0), r.value(row, 1), r.value(row, 2), r.value(row, 3),
                               countAt(r, row, 4), countAt(r, row, 5)});
    return found;
}

StoreAnswer<std::string> storedCalibrationSince(PgConnection& connection,
                                                const std::string& asset) {
    StoreAnswer<std::string> since;
    since.result = useLocalTimeZone(connection);
    if (!since)
        return since;
    // The latest due date's first line, when a line before it gave another: the day the
    // certificate now in force was entered.
    const PgResult r = connection.exec(
        "SELECT to_char(min(c.entered), 'YYYY-MM-DD\"T\"HH24:MI:SS') FROM "
        "vornex_register_references c JOIN vornex_references_now n ON n.asset = c.asset "
        "WHERE c.asset = $1 AND c.due IS NOT DISTINCT FROM n.due "
        "AND c.entry > coalesce((SELECT max(o.entry) FROM vornex_register_references o "
        "WHERE o.asset = $1 AND o.due IS DISTINCT FROM n.due), "
        "(SELECT max(o.entry) + 1 FROM vornex_register_references o WHERE o.asset = $1))",
        {PgParam::text(asset)});
    since.result = connection.check(r);
    if (since && r.rows() == 1 && !r.isNull(0, 0))
        since.value = r.value(0, 0);
    return since;
}

}  // namespace vornex::store
