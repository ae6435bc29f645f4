#include "store/ToolHistory.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>
#include <utility>

#include "record/CompanionFile.h"

namespace vornex::store {

namespace {

// The rows that carry each record's pulls: from the latest row naming the tool back through
// what it supersedes to the first row with events.
constexpr const char* kCarriers = R"(
WITH RECURSIVE back(latest, id, depth) AS (
    SELECT l.id, l.id, 0 FROM vornex_tests l
     WHERE l.tool = $1 AND NOT EXISTS (SELECT 1 FROM vornex_tests s WHERE s.supersedes = l.id)
    UNION ALL
    SELECT b.latest, p.supersedes, b.depth + 1 FROM back b JOIN vornex_tests p ON p.id = b.id
     WHERE p.supersedes IS NOT NULL
), carrier AS (
    SELECT DISTINCT ON (b.latest) b.id FROM back b
     WHERE EXISTS (SELECT 1 FROM vornex_test_events e WHERE e.test_id = b.id)
     ORDER BY b.latest, b.depth
)
)";

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
    const PgResult instruments =
        connection.exec(std::string(kCarriers) +
                            "SELECT i.test_id::text, i.slave, i.settings::text FROM carrier c "
                            "JOIN vornex_test_instruments i ON i.test_id = c.id",
                        {PgParam::text(tool)});
    history.result = connection.check(instruments);
    if (!history)
        return history;
    // Most tests of a tool share their settings: each text is read once.
    std::map<std::string, Timeline> parsed;
    std::map<std::pair<std::string, std::string>, const Timeline*> timelines;
    for (int row = 0; row < instruments.rows(); ++row) {
        const std::string settings = instruments.value(row, 2);
        auto known = parsed.find(settings);
        if (known == parsed.end())
            known = parsed.emplace(settings, timelineOf(settings)).first;
        timelines[{instruments.value(row, 0), instruments.value(row, 1)}] = &known->second;
    }
    // One row per test and instrument, its pulls' times and peaks in one text: a million rows
    // of one pull each would cost more to send than to find.
    const PgResult events = connection.exec(
        std::string(kCarriers) +
            "SELECT e.test_id::text, e.slave, string_agg(e.peak_s::text || ' ' || e.peak::text, "
            "' ' ORDER BY e.peak_s) FROM carrier c JOIN vornex_tests t ON t.id = c.id "
            "JOIN vornex_test_events e ON e.test_id = c.id "
            "WHERE e.complete AND e.verdict <> 'incomplete' "
            "GROUP BY t.started, t.id, e.test_id, e.slave ORDER BY t.started, t.id, e.slave",
        {PgParam::text(tool)});
    history.result = connection.check(events);
    if (!history)
        return history;
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
    for (int row = 0; row < events.rows(); ++row) {
        if (row == 0 || std::strcmp(events.text(row, 0), events.text(row - 1, 0)) != 0) {
            inTimeOrder();
            ++h.tests;
        }
        const auto found = timelines.find({events.value(row, 0), events.value(row, 1)});
        const Timeline* timeline = found == timelines.end() ? nullptr : found->second;
        // "TIME PEAK TIME PEAK ...", as the server wrote its numbers.
        for (const char* at = events.text(row, 2);;) {
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
