// What a bad tool or reference touched, asked of a store of many runs: `register impact`'s query
// (store::impactInStore) over generated tables of 100,000 runs and as many tests, for tools and
// for reference assets, since a last good verification and since ever. Printed are the rows
// found and the median and worst time of each, target under 2 s; then what vornex_due takes to
// reckon a thousand registered tools' cycles over those tests; and what a tool's control-chart
// history (`store spc --tool`) takes, for one of those tools and for one tool of 1,000,000 stored
// pulls of its own, target under 1 s.
//
//   impact_bench [--runs N]    (default 100000)
#include <QCoreApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "PgCluster.h"
#include "store/Impact.h"
#include "store/PgConnection.h"
#include "store/Schema.h"
#include "store/StoredRegister.h"
#include "store/ToolHistory.h"

using namespace vornex;
using Clock = std::chrono::steady_clock;

namespace {

// A run file's header as a run writes it, about a kilobyte, naming its tool and asset.
constexpr const char* kHeader =
    "'Vornex tool verification run' || E'\\nTool: tool-' || (i % 1000) || "
    "E'\\nDescription: click wrench\\nType: II\\nClass: A\\nLowest: 20\\nMaximum: 100\\n"
    "Unit: N.m\\nDirection: clockwise\\nProfile: ISO 6789-1\\nStandard: ISO 6789-1:2017\\n"
    "Points: 20 60 100\\nReadings: 5\\nPreloads: 3\\nPermissible: 4\\nSlips: count\\n"
    "Decimals: 2\\nOperator: op\\nTemperature: 21.5\\nHumidity: 45\\nReference due: 2027-06-30"
    "\\nReference asset: R-' || (i % 20) || E'\\nInstrument: slave 1 on /dev/ttyUSB0\\n"
    "Started: 2026-01-01T08:00:00\\n' || repeat(E'2026-01-01T08:00:10 reading 20 1 20.00 20.10 "
    "-0.5% conforms\\n', 15)";

// The server gathers each instrument's pulls when a bench's events are committed, by a trigger
// the fixtures turn off: they are gathered afterwards as the schema gathers those stored before it.
constexpr const char* kGather =
    "INSERT INTO vornex_test_pulls SELECT * FROM vornex_gathered_pulls g WHERE NOT EXISTS "
    "(SELECT FROM vornex_test_pulls p WHERE p.test_id = g.test_id AND p.slave = g.slave)";

bool generate(store::PgConnection& connection, long runs) {
    // The rows are a fixture for the query's time, not results anyone sent: the cluster's
    // superuser writes them with the triggers off, which would otherwise vouch for and audit each
    // row one by one; the reference asset is set as the server would read it from the header.
    const std::string sql =
        std::string(
            "INSERT INTO vornex_runs (id, bench, operator, tool, instrument, "
            "identification, started, ended, result, sha256, file, reference_asset) "
            "SELECT gen_random_uuid(), 'bench-' || (i % 100), 'op', 'tool-' || "
            "(i % 1000), 'slave 1', '00ff', timestamptz '2026-01-01' + i * interval "
            "'5 min', timestamptz '2026-01-01' + i * interval '5 min' + interval '3 min', "
            "CASE WHEN i % 40 = 0 THEN 'fail' ELSE 'pass' END, encode(sha256(f), 'hex'), "
            "f, 'R-' || (i % 20) FROM (SELECT i, convert_to(") +
        kHeader + ", 'UTF8') AS f FROM generate_series(1, $1::bigint) AS i) g";
    const char* const tests =
        "INSERT INTO vornex_tests (id, bench, operator, tool, tool_description, note, version, "
        "name, started, ended, result, pass_count, low_count, high_count, incomplete_count, "
        "sha256, file) SELECT gen_random_uuid(), 'bench-' || (i % 100), 'op', 'tool-' || (i % "
        "1000), '', '', '1.0.0', 't' || i, timestamptz '2026-01-01' + i * interval '5 min', "
        "timestamptz '2026-01-01' + i * interval '5 min' + interval '20 s', 'pass', 5, 0, 0, 0, "
        "encode(sha256('\\x00'), 'hex'), '\\x00'::bytea FROM generate_series(1, $1::bigint) AS i";
    // Each test's five pulls, as its pass count says.
    const char* const events =
        "INSERT INTO vornex_test_events SELECT t.id, 1, n, n * 2.0, n * 2.0 + 1, n * 2.0 + 0.5, "
        "50, true, 'pass' FROM vornex_tests t, generate_series(1, 5) AS n";
    // A thousand tools in the register, each verified on the first of a month.
    const char* const register_ =
        "INSERT INTO vornex_register_tools (id, maker, model, serial, type, tool_class, maximum, "
        "unit, direction, interval_months, interval_cycles, lead_days, status, last_good, "
        "description, bench, line, line_sha256) SELECT 'tool-' || i, '', '', '', 'II', 'A', 100, "
        "'N.m', 'clockwise', 12, 5000, 30, 'in-service', date '2026-01-01' + (i % 12) * interval "
        "'1 month', '', 'bench-0', i + 2, md5(i::text) FROM generate_series(0, 999) AS i";
    const std::vector<store::PgParam> count{store::PgParam::text(std::to_string(runs))};
    for (const std::string& step :
         {std::string("SET session_replication_role = replica"), sql, std::string(tests),
          std::string(events), std::string(kGather), std::string(register_),
          std::string("SET session_replication_role = origin"), std::string("ANALYZE")}) {
        const store::PgResult result = connection.exec(
            step, step.find("$1") != std::string::npos ? count : std::vector<store::PgParam>());
        if (!result.ok()) {
            std::fprintf(stderr, "cannot generate the tables: %s\n", result.error().c_str());
            return false;
        }
    }
    return true;
}

// The median and worst of 21 asks, each of another tool or asset.
bool timeAsks(store::PgConnection& connection, store::ImpactSubject::Kind kind, const char* name,
              int kinds, const std::string& since, long runs) {
    std::vector<double> times;
    size_t found = 0;
    for (int i = 0; i < 21; ++i) {
        const store::ImpactSubject subject{
            kind, std::string(kind == store::ImpactSubject::Kind::Tool ? "tool-" : "R-") +
                      std::to_string(i * 37 % kinds)};
        const auto begin = Clock::now();
        const auto answer = store::impactInStore(connection, subject, since);
        times.push_back(std::chrono::duration<double>(Clock::now() - begin).count());
        if (!answer) {
            std::fprintf(stderr, "impact failed: %s\n", answer.result.text.c_str());
            return false;
        }
        found = answer.value.size();
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "impact --%s over %ld runs, since %s: %zu listed, median %.3f s, worst %.3f s "
        "(target < 2 s)\n",
        name, runs, since.empty() ? "ever" : since.c_str(), found, times[times.size() / 2],
        times.back());
    return times.back() < 2.0;
}

// A tool used 200,000 times of five pulls, on one instrument of one setting: a million events of
// its own beside the others.
bool generateHeavyTool(store::PgConnection& connection) {
    for (const char* step :
         {"SET session_replication_role = replica",
          "INSERT INTO vornex_tests (id, bench, operator, tool, tool_description, note, version, "
          "name, started, ended, result, pass_count, low_count, high_count, incomplete_count, "
          "sha256, file) SELECT gen_random_uuid(), 'bench-' || (i % 100), 'op', 'heavy', '', '', "
          "'1.0.0', 'h' || i, timestamptz '2025-01-01' + i * interval '1 min', timestamptz "
          "'2025-01-01' + i * interval '1 min' + interval '20 s', 'pass', 5, 0, 0, 0, "
          "encode(sha256('\\x00'), 'hex'), '\\x00'::bytea FROM generate_series(1, 200000) AS i",
          "INSERT INTO vornex_test_events SELECT t.id, 1, n, n * 2.0, n * 2.0 + 1, n * 2.0 + 0.5, "
          "50 + (n % 3) * 0.1, true, 'pass' FROM vornex_tests t, generate_series(1, 5) AS n "
          "WHERE t.tool = 'heavy'",
          "INSERT INTO vornex_test_instruments SELECT t.id, 1, 'left', '56ff', "
          "'[{\"since\": 0, \"unit\": 0, \"range\": 100, \"decimals\": 2, \"target\": 50, "
          "\"upper\": 55, \"lower\": 45}]', '{}' FROM vornex_tests t WHERE t.tool = 'heavy'",
          kGather, "SET session_replication_role = origin", "ANALYZE"}) {
        const store::PgResult result = connection.exec(step);
        if (!result.ok()) {
            std::fprintf(stderr, "cannot generate the heavy tool: %s\n", result.error().c_str());
            return false;
        }
    }
    return true;
}

bool timeHistory(store::PgConnection& connection, const std::string& tool) {
    std::vector<double> times;
    size_t pulls = 0;
    for (int i = 0; i < 5; ++i) {
        const auto begin = Clock::now();
        const auto history = store::toolHistory(connection, tool);
        times.push_back(std::chrono::duration<double>(Clock::now() - begin).count());
        if (!history) {
            std::fprintf(stderr, "history failed: %s\n", history.result.text.c_str());
            return false;
        }
        pulls = history.value.magnitudes.size();
    }
    std::sort(times.begin(), times.end());
    std::printf("store spc --tool %s: %zu pulls, median %.3f s, worst %.3f s (target < 1 s)\n",
                tool.c_str(), pulls, times[times.size() / 2], times.back());
    return times.back() < 1.0;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    long runs = 100000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--runs") == 0)
            runs = std::atol(argv[i + 1]);
    }
    if (runs < 1) {
        std::fprintf(stderr, "usage: impact_bench [--runs N]\n");
        return 2;
    }
    test::PgCluster cluster;
    store::PgConnection admin(cluster.uri());
    admin.exec("CREATE DATABASE many");
    store::PgConnection connection(cluster.uri("many"));
    if (const auto migration = store::migrateSchema(connection); !migration.result) {
        std::fprintf(stderr, "cannot make the schema: %s\n", migration.result.text.c_str());
        return 1;
    }
    const auto made = Clock::now();
    if (!generate(connection, runs))
        return 1;
    std::printf("generated %ld runs and %ld tests of 5 pulls in %.1f s\n", runs, runs,
                std::chrono::duration<double>(Clock::now() - made).count());
    using Kind = store::ImpactSubject::Kind;
    bool fast = true;
    for (const std::string& since : {std::string(), std::string("2026-06-01")}) {
        fast = timeAsks(connection, Kind::Tool, "tool", 1000, since, runs) && fast;
        fast = timeAsks(connection, Kind::Reference, "reference", 20, since, runs) && fast;
    }
    std::vector<double> times;
    size_t listed = 0;
    for (int i = 0; i < 5; ++i) {
        const auto begin = Clock::now();
        const auto due = store::storedDue(connection);
        times.push_back(std::chrono::duration<double>(Clock::now() - begin).count());
        if (!due) {
            std::fprintf(stderr, "vornex_due failed: %s\n", due.result.text.c_str());
            return 1;
        }
        listed = due.value.size();
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "register due --uri (vornex_due), %zu tools over %ld tests: median %.3f s, "
        "worst %.3f s\n",
        listed, runs, times[times.size() / 2], times.back());
    if (!generateHeavyTool(connection))
        return 1;
    fast = timeHistory(connection, "tool-7") && fast;
    fast = timeHistory(connection, "heavy") && fast;
    return fast ? 0 : 1;
}
