#include "store/ToolHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <sstream>
#include <utility>

#include "record/CompanionFile.h"

namespace vornex::store {

namespace {

// Each record's rows, from the latest naming the tool back through what it supersedes, with their
// pulls' times and peaks in one text per row and instrument: a million rows of one pull each would
// cost more to send than to find. The rows of one record come newest first, so that the first with
// events is the one that carries them; a row whose events are all incomplete carries none.
constexpr const char* kPullsByRow = R"(
WITH RECURSIVE back(latest, id, depth, started) AS (
    SELECT l.id, l.id, 0, l.started FROM vornex_tests l
     WHERE l.tool = $1 AND NOT EXISTS (SELECT 1 FROM vornex_tests s WHERE s.supersedes = l.id)
    UNION ALL
    SELECT b.latest, p.supersedes, b.depth + 1, b.started FROM back b
      JOIN vornex_tests p ON p.id = b.id
     WHERE p.supersedes IS NOT NULL
)
SELECT b.latest::text, b.depth, e.test_id::text, e.slave,
       string_agg(e.peak_s::text || ' ' || e.peak::text, ' ')
           FILTER (WHERE e.complete AND e.verdict <> 'incomplete')
  FROM back b JOIN vornex_test_events e ON e.test_id = b.id
 GROUP BY b.started, b.latest, b.depth, e.test_id, e.slave
 ORDER BY b.started, b.latest, b.depth, e.slave)";

// The settings of the rows given, each text once with the rows ("ID SLAVE ID SLAVE ...") that
// share it: most tests of a tool share their settings.
constexpr const char* kSettings = R"(
SELECT i.settings::text, string_agg(i.test_id::text || ' ' || i.slave, ' ')
  FROM vornex_test_instruments i WHERE i.test_id = ANY($1::uuid[])
 GROUP BY i.settings::text)";

using Timeline = std::vector<InstrumentSettings>;

struct Pull {
    double time = 0.0;  // of the test
    double magnitude = 0.0;
    const InstrumentSettings* settings = nullptr;  // in force at its peak
};

Timeline timelineOf(const std::string& json) {
    Timeline timeline;
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
const InstrumentSettings* settingsAt(const Timeline& timeline, double time) {
    const InstrumentSettings* found = timeline.empty() ? nullptr : &timeline.front();
    for (const InstrumentSettings& s : timeline) {
        if (s.since <= time)
            found = &s;
    }
    return found;
}

}  // namespace

StoreAnswer<ToolHistory> toolHistory(PgConnection& connection, const std::string& tool) {
    StoreAnswer<ToolHistory> history;
    // A plan this large is compiled for longer than it runs.
    history.result = connection.check(connection.exec("SET jit = off"));
    if (!history)
        return history;
    const PgResult events = connection.exec(kPullsByRow, {PgParam::text(tool)});
    history.result = connection.check(events);
    if (!history)
        return history;
    // The carrying row of each record: its rows come newest first.
    std::vector<int> carried;
    std::string ids = "{";
    for (int row = 0, depth = 0; row < events.rows(); ++row) {
        const bool record = row == 0 || std::strcmp(events.text(row, 0), events.text(row - 1, 0));
        if (record)
            depth = std::atoi(events.text(row, 1));
        if (std::atoi(events.text(row, 1)) != depth)
            continue;
        carried.push_back(row);
        if (carried.size() == 1 ||
            std::strcmp(events.text(row, 2), events.text(carried[carried.size() - 2], 2)) != 0)
            ids += (ids.size() > 1 ? "," : "") + std::string(events.text(row, 2));
    }
    ids += "}";
    const PgResult instruments = connection.exec(kSettings, {PgParam::text(ids)});
    history.result = connection.check(instruments);
    if (!history)
        return history;
    std::vector<Timeline> parsed(static_cast<size_t>(instruments.rows()));
    std::map<std::pair<std::string, std::string>, const Timeline*> timelines;
    for (int row = 0; row < instruments.rows(); ++row) {
        parsed[static_cast<size_t>(row)] = timelineOf(instruments.value(row, 0));
        std::istringstream rows(instruments.value(row, 1));
        for (std::string id, slave; rows >> id >> slave;)
            timelines[{id, slave}] = &parsed[static_cast<size_t>(row)];
    }
    // Each pull with the settings it was measured with; the newest says the unit charted.
    std::vector<Pull> pulls;
    ToolHistory& h = history.value;
    size_t testBegins = 0;
    // The instruments of one test are put in the order of their pulls' times.
    const auto inTimeOrder = [&pulls, &testBegins] {
        std::stable_sort(pulls.begin() + static_cast<long>(testBegins), pulls.end(),
                         [](const Pull& a, const Pull& b) { return a.time < b.time; });
        testBegins = pulls.size();
    };
    const char* lastTest = "";
    for (const int row : carried) {
        const char* pulled = events.text(row, 4);
        if (*pulled == '\0')
            continue;
        if (std::strcmp(events.text(row, 2), lastTest) != 0) {
            inTimeOrder();
            ++h.tests;
            lastTest = events.text(row, 2);
        }
        const auto found = timelines.find({events.value(row, 2), events.value(row, 3)});
        const Timeline* timeline = found == timelines.end() ? nullptr : found->second;
        // "TIME PEAK TIME PEAK ...", as the server wrote its numbers.
        for (const char* at = pulled;;) {
            char* end = nullptr;
            const double time = std::strtod(at, &end);
            if (end == at)
                break;
            at = end;
            const double peak = std::strtod(at, &end);
            if (end == at)
                break;
            at = end;
            pulls.push_back({time, std::fabs(peak),
                             timeline == nullptr ? nullptr : settingsAt(*timeline, time)});
        }
    }
    inTimeOrder();
    const InstrumentSettings* newest = pulls.empty() ? nullptr : pulls.back().settings;
    if (newest != nullptr) {
        h.unit = newest->unit;
        h.decimals = newest->decimals;
        h.band = judge::bandOf(
            judge::Limits{newest->rangeInUnit(), newest->target, newest->upper, newest->lower});
    }
    for (const Pull& pull : pulls) {
        if ((pull.settings == nullptr ? 0u : pull.settings->unit) == h.unit)
            h.magnitudes.push_back(pull.magnitude);
        else
            ++h.otherUnits;
    }
    return history;
}

}  // namespace vornex::store
