// Many benches, one store. Ten acquisition sessions with homes of their own, each polling 30
// simulated instruments on a line paced at 19200 baud, record and close tests one after another
// into one throw-away PostgreSQL cluster, through their outboxes and background senders; the
// server is stopped for a fifth of the run in its middle. At the end every closed test must be on
// the server exactly once and byte-identical: printed are the count, the lost, the duplicated, and
// the longest wait in an outbox. Then `store find --tool` over a generated table of a million
// tests: the query's time, target <= 50 ms.
//
//   store_bench [--seconds S] [--benches N] [--rows R]    (default 600 s, 10 benches, 1000000 rows)
#include <QCoreApplication>
#include <QCryptographicHash>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "PgCluster.h"
#include "TempDir.h"
#include "benchstore/BenchStore.h"
#include "record/HeadlessGraph.h"
#include "session/AcquisitionSession.h"
#include "sim/SimulatedLine.h"
#include "store/PgConnection.h"
#include "store/ResultQuery.h"
#include "store/Schema.h"

using namespace vornex;
using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

namespace {

constexpr int kInstruments = 30;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// One bench: its home, its line of 30 instruments, its session and its link to the store.
class Bench {
public:
    Bench(int number, const std::string& home, const std::string& uri)
        : name_("bench-" + std::to_string(number)), home_(home), line_(line(number)) {
        std::filesystem::create_directories(home_ + "Data");
        std::ofstream(home_ + "config.ini")
            << "[Setting]\nBench=" << name_ << "\n[Store]\nUri=" << uri << "\n";
        session_ = std::make_unique<AcquisitionSession>(home_ + "Data/", graph_);
        store_ = std::make_unique<store::BenchStore>(QString::fromStdString(home_),
                                                     QString::fromStdString(home_ + "config.ini"));
        session_->addObserver(*store_);
        TestTrace trace;
        trace.bench = name_;
        trace.toolId = "tool-" + std::to_string(number % 4);
        session_->setTestTrace(trace);
        std::string error;
        if (!line_.startPty(home_ + "line", error))
            throw std::runtime_error("cannot start the line: " + error);
        for (int address = 1; address <= kInstruments; ++address)
            session_->addDevice(static_cast<uint8_t>(address));
        if (session_->connect(line_.portPath()) != OpenResult::Opened)
            throw std::runtime_error("cannot connect to " + line_.portPath());
    }
    ~Bench() {
        session_->removeObserver(*store_);
        session_->end();
    }

    void newTest() {
        session_->proposeName();
        session_->newTest("t" + std::to_string(++opened_));
        session_->start();
    }
    void closeTest() {
        session_->stop();
        session_->closeTest();
        const std::string path = session_->testPath();
        // A test closed before the line gave a reading holds nothing and is not sent.
        const auto companion = readCompanion(companionPath(path)).companion;
        if (companion && !fileBytes(path).empty())
            closed_.push_back({companion->uuid, path, std::time(nullptr)});
    }
    void tick() { session_->tick(); }
    size_t waiting() const { return store_->status().waiting; }

    struct Closed {
        std::string uuid;
        std::string path;
        std::time_t queued;
    };
    const std::vector<Closed>& closed() const { return closed_; }

private:
    static sim::SimConfig line(int number) {
        sim::SimConfig config;
        config.baudEmulate = true;
        config.faultSeed = static_cast<uint64_t>(number);
        for (int address = 1; address <= kInstruments; ++address) {
            sim::InstrumentConfig instrument;
            instrument.address = address;
            instrument.seed = static_cast<uint64_t>(number * 100 + address);
            config.instruments.push_back(instrument);
        }
        return config;
    }

    std::string name_;
    std::string home_;
    sim::SimulatedLine line_;
    HeadlessGraph graph_;
    std::unique_ptr<AcquisitionSession> session_;
    std::unique_ptr<store::BenchStore> store_;
    std::vector<Closed> closed_;
    int opened_ = 0;
};

int manyBenches(test::PgCluster& cluster, double seconds, int benches) {
    {
        store::PgConnection admin(cluster.uri());
        admin.exec("CREATE DATABASE benches");
        store::PgConnection connection(cluster.uri("benches"));
        if (const auto migration = store::migrateSchema(connection); !migration.result) {
            std::fprintf(stderr, "cannot make the schema: %s\n", migration.result.text.c_str());
            return 1;
        }
    }
    test::TempDir homes;
    std::vector<std::unique_ptr<Bench>> all;
    for (int n = 1; n <= benches; ++n)
        all.push_back(std::make_unique<Bench>(n, homes.folder("bench-" + std::to_string(n)),
                                              cluster.uri("benches")));
    const double testSeconds = std::max(5.0, seconds / 30.0);
    const auto start = Clock::now();
    const auto at = [&](double share) {
        return start + std::chrono::duration_cast<Clock::duration>(Seconds(seconds * share));
    };
    bool stopped = false, restarted = false;
    // The benches start their tests staggered, so closes spread over the run.
    std::vector<Clock::time_point> closeAt;
    for (int n = 0; n < benches; ++n) {
        all[static_cast<size_t>(n)]->newTest();
        closeAt.push_back(start + std::chrono::duration_cast<Clock::duration>(
                                      Seconds(testSeconds * (n + 1) / benches)));
    }
    size_t peakWaiting = 0;
    while (Clock::now() < at(1.0)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        QCoreApplication::processEvents();
        for (size_t n = 0; n < all.size(); ++n) {
            all[n]->tick();
            if (Clock::now() >= closeAt[n]) {
                all[n]->closeTest();
                all[n]->newTest();
                closeAt[n] += std::chrono::duration_cast<Clock::duration>(Seconds(testSeconds));
            }
        }
        if (!stopped && Clock::now() >= at(0.4)) {
            cluster.stop();
            stopped = true;
            std::printf("server stopped at %.0f s\n", Seconds(Clock::now() - start).count());
        }
        if (stopped && !restarted && Clock::now() >= at(0.6)) {
            cluster.start();
            restarted = true;
            std::printf("server started at %.0f s\n", Seconds(Clock::now() - start).count());
        }
        size_t waiting = 0;
        for (const auto& bench : all)
            waiting += bench->waiting();
        peakWaiting = std::max(peakWaiting, waiting);
    }
    for (const auto& bench : all)
        bench->closeTest();
    // What was closed last goes at once; what waited out a long back-off within a minute.
    const auto drained = [&] {
        for (const auto& bench : all) {
            if (bench->waiting() != 0)
                return false;
        }
        return true;
    };
    const auto deadline = Clock::now() + std::chrono::seconds(120);
    while (!drained() && Clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        QCoreApplication::processEvents();
        for (const auto& bench : all)
            bench->tick();
    }

    store::PgConnection connection(cluster.uri("benches"));
    size_t closed = 0, lost = 0, differ = 0;
    double longestWait = 0.0;
    for (const auto& bench : all) {
        for (const Bench::Closed& c : bench->closed()) {
            ++closed;
            const store::PgResult row = connection.exec(
                "SELECT file, extract(epoch FROM stored)::text FROM vornex_tests WHERE id = $1",
                {store::PgParam::text(c.uuid)}, true);
            if (!row.ok() || row.rows() != 1) {
                std::fprintf(stderr, "not stored: %s (%s, %zu bytes)\n", c.uuid.c_str(),
                             c.path.c_str(), fileBytes(c.path).size());
                ++lost;
                continue;
            }
            if (row.value(0, 0) != fileBytes(c.path))
                ++differ;
            longestWait = std::max(
                longestWait, std::atof(row.value(0, 1).c_str()) - static_cast<double>(c.queued));
        }
    }
    const store::PgResult rows = connection.exec(
        "SELECT count(*), count(*) - count(DISTINCT (bench, name)) FROM vornex_tests");
    const long stored = rows.ok() ? std::atol(rows.value(0, 0).c_str()) : -1;
    const long duplicated = rows.ok() ? std::atol(rows.value(0, 1).c_str()) : -1;
    std::printf("benches %d x %d instruments, %.0f s, server down %.0f s, tests of %.0f s\n",
                benches, kInstruments, seconds, seconds * 0.2, testSeconds);
    std::printf("closed %zu, stored %ld, lost %zu, duplicated %ld, not byte-identical %zu\n",
                closed, stored, lost, duplicated, differ);
    std::printf("most waiting at once %zu, longest wait in an outbox %.1f s\n", peakWaiting,
                longestWait);
    return lost == 0 && differ == 0 && duplicated == 0 && stored == static_cast<long>(closed) ? 0
                                                                                              : 1;
}

int millionRows(test::PgCluster& cluster, long rows) {
    store::PgConnection admin(cluster.uri());
    admin.exec("CREATE DATABASE many");
    store::PgConnection connection(cluster.uri("many"));
    if (const auto migration = store::migrateSchema(connection); !migration.result) {
        std::fprintf(stderr, "cannot make the schema: %s\n", migration.result.text.c_str());
        return 1;
    }
    const auto made = Clock::now();
    // A thousand tools on a hundred benches over a year; the file is a token, the query never
    // reads it, and its SHA-256 is its own, as the server checks. The rows are a fixture for the
    // query's time, not results anyone sent: the cluster's superuser writes them with the
    // triggers off, which would otherwise vouch for and audit each of a million rows one by one.
    if (!connection.exec("SET session_replication_role = replica").ok()) {
        std::fprintf(stderr, "cannot turn the triggers off for the generated table\n");
        return 1;
    }
    const store::PgResult generated = connection.exec(
        "INSERT INTO vornex_tests (id, bench, operator, tool, tool_description, note, version, "
        "name, started, ended, result, pass_count, low_count, high_count, incomplete_count, "
        "sha256, file) SELECT gen_random_uuid(), 'bench-' || (i % 100), 'op', 'tool-' || (i % "
        "1000), '', '', '1.0.0', 't' || i, timestamptz '2026-01-01' + i * interval '31 s', "
        "timestamptz '2026-01-01' + i * interval '31 s' + interval '20 s', CASE WHEN i % 50 = 0 "
        "THEN 'low' ELSE 'pass' END, 5, (i % 50 = 0)::int, 0, 0, encode(sha256('\\x00'), 'hex'), "
        "'\\x00'::bytea FROM generate_series(1, $1::bigint) AS i",
        {store::PgParam::text(std::to_string(rows))});
    if (!generated.ok() || !connection.exec("SET session_replication_role = origin").ok() ||
        !connection.exec("ANALYZE").ok()) {
        std::fprintf(stderr, "cannot generate the table: %s\n", generated.error().c_str());
        return 1;
    }
    std::printf("generated %ld tests in %.1f s\n", rows, Seconds(Clock::now() - made).count());
    std::vector<double> times;
    size_t found = 0;
    for (int i = 0; i < 21; ++i) {
        store::FindFilter filter;
        filter.tool = "tool-" + std::to_string(i * 37 % 1000);
        const auto begin = Clock::now();
        const auto answer = store::findResults(connection, filter);
        times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - begin).count());
        found = answer.value.size();
        if (!answer) {
            std::fprintf(stderr, "find failed: %s\n", answer.result.text.c_str());
            return 1;
        }
    }
    std::sort(times.begin(), times.end());
    std::printf(
        "find --tool over %ld tests: %zu found, median %.1f ms, worst %.1f ms "
        "(target <= 50 ms)\n",
        rows, found, times[times.size() / 2], times.back());
    return times[times.size() / 2] <= 50.0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    double seconds = 600.0;
    int benches = 10;
    long rows = 1000000;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--seconds") == 0)
            seconds = std::atof(argv[i + 1]);
        else if (std::strcmp(argv[i], "--benches") == 0)
            benches = std::atoi(argv[i + 1]);
        else if (std::strcmp(argv[i], "--rows") == 0)
            rows = std::atol(argv[i + 1]);
    }
    if (seconds < 10.0 || benches < 1 || rows < 1) {
        std::fprintf(stderr, "usage: store_bench [--seconds S>=10] [--benches N] [--rows R]\n");
        return 2;
    }
    test::PgCluster cluster;
    const int many = manyBenches(cluster, seconds, benches);
    const int find = millionRows(cluster, rows);
    return many != 0 ? many : find;
}
