#include "store/ToolHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <optional>
#include <string_view>
#include <utility>

#include "record/CompanionFile.h"
#include "store/PgBinary.h"

namespace vornex::store {

namespace {

// The pulls of each record naming the tool, from its latest row or, when that has none (a copy
// made by an amendment), from the nearest row it supersedes that has. Most records are their
// latest row alone, and are found without walking. Sent in binary and put in order here: a sort
// on the server of rows this wide spills to disk.
constexpr const char* kPulls = R"(
WITH RECURSIVE back(latest, id, started) AS (
    SELECT l.id, l.supersedes, l.started FROM vornex_tests l
     WHERE l.tool = $1 AND l.supersedes IS NOT NULL
       AND NOT EXISTS (SELECT 1 FROM vornex_tests s WHERE s.supersedes = l.id)
       AND NOT EXISTS (SELECT 1 FROM vornex_test_pulls p WHERE p.test_id = l.id)
    UNION ALL
    SELECT b.latest, t.supersedes, b.started FROM back b JOIN vornex_tests t ON t.id = b.id
     WHERE t.supersedes IS NOT NULL AND t.supersedes <> t.id
       AND NOT EXISTS (SELECT 1 FROM vornex_test_pulls p WHERE p.test_id = b.id)
)
SELECT l.started, l.id, p.test_id, p.slave, p.pulls FROM vornex_tests l
  JOIN vornex_test_pulls p ON p.test_id = l.id
 WHERE l.tool = $1 AND NOT EXISTS (SELECT 1 FROM vornex_tests s WHERE s.supersedes = l.id)
UNION ALL
SELECT b.started, b.latest, p.test_id, p.slave, p.pulls FROM back b
  JOIN vornex_test_pulls p ON p.test_id = b.id)";

// One pull as the server gathers them: the peak's time, the peak and the unit (-1 unknown).
constexpr size_t kPullBytes = 20;

constexpr const char* kSettings =
    "SELECT settings::text FROM vornex_test_instruments WHERE test_id = $1::uuid AND slave = $2";

using Uuid = std::array<unsigned char, 16>;

struct Row {
    std::optional<int64_t> started;  // of the record's latest row
    Uuid latest{};
    Uuid test{};
    int32_t slave = 0;
    int index = 0;  // in the result
};

struct Pull {
    double time = 0.0;  // of the test
    double magnitude = 0.0;
    std::optional<int32_t> unit;  // in force at its peak, when the instrument's settings are stored
    const Row* row = nullptr;
};

Uuid uuidOf(std::string_view bytes) {
    Uuid id{};
    std::memcpy(id.data(), bytes.data(), std::min(bytes.size(), id.size()));
    return id;
}

// The records in the order they were made (those without a start last, as the server orders
// them), each record's instruments in the order of their addresses.
bool before(const Row& a, const Row& b) {
    if (a.started.has_value() != b.started.has_value())
        return a.started.has_value();
    if (a.started != b.started)
        return *a.started < *b.started;
    if (a.latest != b.latest)
        return a.latest < b.latest;
    return a.slave < b.slave;
}

std::vector<InstrumentSettings> timelineOf(const std::string& json) {
    std::vector<InstrumentSettings> timeline;
    for (const QJsonValue v : QJsonDocument::fromJson(QByteArray::fromStdString(json)).array()) {
        const QJsonObject o = v.toObject();
        InstrumentSettings s;
        s.since = o.value(QStringLiteral("since")).toDouble();
        s.unit = static_cast<unsigned>(o.value(QStringLiteral("unit")).toInt());
        s.range = o.value(QStringLiteral("range")).toDouble();
        s.decimals = o.value(QStringLiteral("decimals")).toInt();
        s.target = o.value(QStringLiteral("target")).toDouble();
        s.upper = o.value(QStringLiteral("upper")).toDouble();
        s.lower = o.value(QStringLiteral("lower")).toDouble();
        timeline.push_back(s);
    }
    return timeline;
}

// The settings in force at `time`: the last begun by then, else the first.
std::optional<InstrumentSettings> settingsAt(const std::vector<InstrumentSettings>& timeline,
                                             double time) {
    std::optional<InstrumentSettings> found;
    if (!timeline.empty())
        found = timeline.front();
    for (const InstrumentSettings& s : timeline) {
        if (s.since <= time)
            found = s;
    }
    return found;
}

StoreResult unreadable() {
    return StoreResult::failed(StoreResultKind::Refused,
                               "the store sent a tool's pulls in a form this program cannot read");
}

// The rows of `events`, or nothing when one is not what the statement asked for.
std::optional<std::vector<Row>> rowsOf(const PgResult& events) {
    std::vector<Row> rows(static_cast<size_t>(events.rows()));
    for (int r = 0; r < events.rows(); ++r) {
        Row& row = rows[static_cast<size_t>(r)];
        if ((!events.isNull(r, 0) && events.bytes(r, 0).size() != 8) ||
            events.bytes(r, 1).size() != 16 || events.bytes(r, 2).size() != 16 ||
            events.bytes(r, 3).size() != 4 || events.bytes(r, 4).size() % kPullBytes != 0)
            return std::nullopt;
        if (!events.isNull(r, 0))
            row.started = pgbinary::int8(events.bytes(r, 0));
        row.latest = uuidOf(events.bytes(r, 1));
        row.test = uuidOf(events.bytes(r, 2));
        row.slave = pgbinary::int4(events.bytes(r, 3));
        row.index = r;
    }
    std::sort(rows.begin(), rows.end(), before);
    return rows;
}

void takePulls(const PgResult& events, const Row& row, std::vector<Pull>& pulls) {
    const std::string_view bytes = events.bytes(row.index, 4);
    for (size_t at = 0; at < bytes.size(); at += kPullBytes) {
        const int32_t unit = pgbinary::int4(bytes.substr(at + 16, 4));
        pulls.push_back({pgbinary::float8(bytes.substr(at, 8)),
                         std::fabs(pgbinary::float8(bytes.substr(at + 8, 8))),
                         unit < 0 ? std::nullopt : std::optional<int32_t>(unit), &row});
    }
}

}  // namespace

StoreAnswer<ToolHistory> toolHistory(PgConnection& connection, const std::string& tool) {
    StoreAnswer<ToolHistory> history;
    // A long history's plan passes the server's JIT threshold, and is compiled for longer than
    // it runs.
    history.result = connection.check(connection.exec("SET jit = off"));
    if (!history)
        return history;
    const PgResult events = connection.exec(kPulls, {PgParam::text(tool)}, true);
    history.result = connection.check(events);
    if (!history)
        return history;
    const std::optional<std::vector<Row>> rows = rowsOf(events);
    if (!rows) {
        history.result = unreadable();
        return history;
    }
    // Each record's pulls in the order of their times across its instruments.
    std::vector<Pull> pulls;
    ToolHistory& h = history.value;
    for (size_t first = 0; first < rows->size();) {
        const size_t begins = pulls.size();
        size_t next = first;
        for (; next < rows->size() && (*rows)[next].latest == (*rows)[first].latest; ++next)
            takePulls(events, (*rows)[next], pulls);
        std::stable_sort(pulls.begin() + static_cast<long>(begins), pulls.end(),
                         [](const Pull& a, const Pull& b) { return a.time < b.time; });
        if (pulls.size() > begins)
            ++h.tests;
        first = next;
    }
    if (pulls.empty())
        return history;
    // The newest pull says the unit charted and the limits drawn.
    const Pull& newest = pulls.back();
    const PgResult settings = connection.exec(
        kSettings, {PgParam::bytes(std::string(newest.row->test.begin(), newest.row->test.end())),
                    PgParam::text(std::to_string(newest.row->slave))});
    history.result = connection.check(settings);
    if (!history)
        return history;
    const std::optional<InstrumentSettings> shown =
        settings.rows() == 0 ? std::nullopt
                             : settingsAt(timelineOf(settings.value(0, 0)), newest.time);
    if (shown) {
        h.unit = shown->unit;
        h.decimals = shown->decimals;
        h.band = judge::bandOf(
            judge::Limits{shown->rangeInUnit(), shown->target, shown->upper, shown->lower});
    }
    for (const Pull& pull : pulls) {
        if (static_cast<unsigned>(pull.unit.value_or(0)) == h.unit)
            h.magnitudes.push_back(pull.magnitude);
        else
            ++h.otherUnits;
    }
    return history;
}

}  // namespace vornex::store
