#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QRegularExpression>
#include <string>
#include <thread>
#include <vector>

#include "CliRun.h"
#include "StoreFixture.h"
#include "store/OutboxDrain.h"
#include "store/ResultSender.h"

namespace vornex::test {
namespace {

using namespace vornex::store;

const std::string kS1Test = "00000000-0000-4000-8000-0000000000a1";

std::string sha256Hex(const std::string& bytes) {
    return QCryptographicHash::hash(QByteArray::fromStdString(bytes), QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

// Benches S1 and S2 with a login each, bound by `store bench add`, a login bound to none and a
// reader.
class StoreVouchTest : public StoreTest {
protected:
    CliRun cli(const std::string& db, QStringList args, const std::string& user = "") {
        args << "--uri"
             << QString::fromStdString(user.empty() ? cluster->uri(db) : cluster->uri(db, user));
        return runCli(args);
    }

    void makeLogins(const std::string& db) {
        PgConnection admin(cluster->uri(db));
        for (const char* login : {"s1", "s2", "stray"})
            admin.exec(std::string("CREATE ROLE ") + login + " LOGIN IN ROLE vornex_bench");
        admin.exec("CREATE ROLE quality LOGIN IN ROLE vornex_reader");
        for (const char* n : {"1", "2"}) {
            const CliRun bound = cli(
                db, {"store", "bench", "add", QString("Bench-S") + n, "--login", QString("s") + n});
            EXPECT_EQ(bound.out.toStdString(),
                      std::string("bench Bench-S") + n + " login s" + n + "\n");
        }
    }

    // A test row in plain SQL, as a login with psql could send it.
    static PgResult insertRow(PgConnection& connection, const std::string& id,
                              const std::string& bench, const std::string& supersedes,
                              const std::string& sha256) {
        return connection.exec(
            "INSERT INTO vornex_tests (id, supersedes, bench, operator, tool, tool_description, "
            "note, version, name, result, pass_count, low_count, high_count, incomplete_count, "
            "sha256, file, inserted_by) VALUES ($1, $2, $3, 'op', '4711', '', '', '', 'forged', "
            "'pass', 1, 0, 0, 0, $4, $5, 's1')",
            {PgParam::text(id), supersedes.empty() ? PgParam::null() : PgParam::text(supersedes),
             PgParam::text(bench), PgParam::text(sha256), PgParam::bytes("forged")});
    }
};

// The forged row that was seen, and each of its faults alone, are refused; what a login sends is
// recorded as its own, and the genuine result is what the store finds.
TEST_F(StoreVouchTest, ALoginSendsOnlyItsOwnBenchsRowsWithTheirFilesHashes) {
    const std::string db = database();
    makeLogins(db);
    PgConnection s1(cluster->uri(db, "s1"));
    PgConnection s2(cluster->uri(db, "s2"));
    ASSERT_TRUE(sendTest(s1, kS1Test, closedTest("genuine", kS1Test, "Bench-S1")).sent());
    const std::string good = sha256Hex("forged");
    const struct {
        PgConnection& login;
        const char* id;
        const char* bench;
        std::string supersedes;
        std::string sha256;
        const char* state;
        std::string said;
    } refused[] = {
        {s2, "00000000-0000-4000-8000-0000000000b1", "Bench-S1", kS1Test, "deadbeef", "", ""},
        {s2, "00000000-0000-4000-8000-0000000000b2", "Bench-S2", "", "deadbeef", "23514",
         "is not its file's"},
        {s2, "00000000-0000-4000-8000-0000000000b3", "Bench-S2", "", sha256Hex("other"), "23514",
         "is not its file's"},
        {s2, "00000000-0000-4000-8000-0000000000b4", "Bench-S1", "", good, "42501",
         "login s2 sends for bench \"Bench-S2\" only"},
        {s2, "00000000-0000-4000-8000-0000000000b5", "Bench-S2", kS1Test, good, "42501",
         "cannot supersede " + kS1Test + " of bench \"Bench-S1\""},
        {s1, "00000000-0000-4000-8000-0000000000b6", "Bench-S1", "",
         QString::fromStdString(good).toUpper().toStdString(), "23514", "is not its file's"},
    };
    for (const auto& r : refused) {
        const PgResult result = insertRow(r.login, r.id, r.bench, r.supersedes, r.sha256);
        EXPECT_FALSE(result.ok()) << r.id;
        if (*r.state != '\0') {
            EXPECT_EQ(result.sqlState(), r.state) << r.id << ": " << result.error();
        }
        EXPECT_NE(result.error().find(r.said), std::string::npos) << result.error();
    }
    PgConnection stray(cluster->uri(db, "stray"));
    const PgResult unbound =
        insertRow(stray, "00000000-0000-4000-8000-0000000000b7", "Bench-S3", "", good);
    EXPECT_NE(unbound.error().find("login stray is bound to no bench"), std::string::npos);
    EXPECT_NE(unbound.error().find("store bench add BENCH --login stray"), std::string::npos);
    // Nothing may hang under another bench's test either.
    EXPECT_EQ(s2.exec("INSERT INTO vornex_test_events VALUES ($1, 1, 9, 0, 1, 0.5, 12, true, "
                      "'pass')",
                      {PgParam::text(kS1Test)})
                  .sqlState(),
              "42501");
    // The login is the server's word, whatever the row says.
    ASSERT_TRUE(insertRow(s2, "00000000-0000-4000-8000-0000000000b8", "Bench-S2", "", good).ok());
    PgConnection admin(cluster->uri(db));
    const PgResult who =
        admin.exec("SELECT string_agg(inserted_by, ',' ORDER BY id) FROM vornex_tests");
    EXPECT_EQ(who.value(0, 0), "s1,s2");
    const CliRun found =
        cli(db, {"store", "find", "--tool", "4711", "--bench", "Bench-S1"}, "quality");
    ASSERT_EQ(found.outLines().size(), 1) << found.out.toStdString();
    EXPECT_TRUE(found.out.endsWith(" Bench-S1 4711 test low\n")) << found.out.toStdString();
    EXPECT_EQ(cli(db, {"store", "bench", "add", "Bench-S9", "--login", "s1"}).exitCode, 2);
    EXPECT_EQ(cli(db, {"store", "bench", "add", "Bench-S1", "--login", "s1"}).exitCode, 0);
    EXPECT_EQ(cli(db, {"store", "bench", "add", "Bench-S3", "--login", "nobody_here"}).exitCode, 2);
    EXPECT_EQ(cli(db, {"store", "bench", "add", "Bench-S3"}).exitCode, 1);
}

// A refused item is the pass's error, with the server's code, and stays in the outbox; the items
// after it still go.
TEST_F(StoreVouchTest, ARefusedItemStaysQueuedAndDoesNotHoldTheOthers) {
    const std::string db = database();
    makeLogins(db);
    ASSERT_TRUE(outbox.queueTest(
        closedTest("theirs", "00000000-0000-4000-8000-0000000000c1", "Bench-S1"), "Bench-S1"));
    ASSERT_TRUE(outbox.queueTest(
        closedTest("ours", "00000000-0000-4000-8000-0000000000c2", "Bench-S2"), "Bench-S2"));
    const DrainPass pass = drainOutbox(outbox, cluster->uri(db, "s2"));
    EXPECT_EQ(pass.sent, 1u);
    EXPECT_EQ(pass.left, 1u);
    EXPECT_EQ(pass.result.kind, StoreResultKind::Refused);
    EXPECT_EQ(pass.result.sqlState, "42501");
    EXPECT_NE(pass.result.text.find("login s2 sends for bench"), std::string::npos);
    ASSERT_EQ(outbox.items().size(), 1u);
    EXPECT_EQ(outbox.items()[0].uuid, "00000000-0000-4000-8000-0000000000c1");
}

// Store init takes a version-2 store to this one with its rows, which enter the trail; benches
// sending at once keep one chain; a row a superuser changes afterwards, or a trail row, is found.
TEST_F(StoreVouchTest, TheAuditTrailCoversOldAndNewRowsAndFindsAChangedOne) {
    const std::string db = database(2);
    {
        PgConnection admin(cluster->uri(db));
        ASSERT_TRUE(sendTest(admin, kS1Test, closedTest("old", kS1Test, "Bench-S1")).sent());
    }
    const CliRun init = cli(db, {"store", "init"});
    EXPECT_EQ(init.out.toStdString(), "schema version 3, was 2\n") << init.err.toStdString();
    makeLogins(db);
    std::vector<std::thread> benches;
    for (const std::string b : {"1", "2"}) {
        benches.emplace_back([this, db, b] {
            PgConnection connection(cluster->uri(db, "s" + b));
            for (int i = 0; i < 4; ++i) {
                const std::string id =
                    "00000000-0000-4000-8000-00000000d" + b + "0" + std::to_string(i);
                EXPECT_TRUE(sendTest(connection, id, closedTest(id, id, "Bench-S" + b)).sent());
            }
        });
    }
    for (std::thread& bench : benches)
        bench.join();
    PgConnection admin(cluster->uri(db));
    ASSERT_EQ(admin.exec("SELECT count(*) FROM vornex_tests").value(0, 0), "9");
    const std::string rows = admin.exec("SELECT count(*) FROM vornex_audit").value(0, 0);
    const CliRun intact = cli(db, {"store", "audit", "verify"}, "quality");
    EXPECT_EQ(intact.exitCode, 0) << intact.err.toStdString();
    EXPECT_EQ(intact.out.toStdString(), "audit " + rows + " rows, chain intact\n");
    const QStringList trail =
        cli(db, {"store", "audit", "list", "--record", QString::fromStdString(kS1Test).toUpper()})
            .outLines();
    ASSERT_EQ(trail.size(), 3)
        << trail.join('\n').toStdString();  // the test, its instrument, event
    EXPECT_TRUE(trail[0].contains(QRegularExpression(
        "^\\d+ \\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\\.\\d{6}Z vornex_admin existing "
        "vornex_tests " +
        QString::fromStdString(kS1Test) + "$")))
        << trail[0].toStdString();
    EXPECT_TRUE(trail[1].endsWith(" existing vornex_test_instruments " +
                                  QString::fromStdString(kS1Test) + "/1"));

    const std::string entry =
        admin.exec("SELECT id FROM vornex_audit WHERE record = $1", {PgParam::text(kS1Test)})
            .value(0, 0);
    ASSERT_TRUE(
        admin
            .exec("UPDATE vornex_tests SET result = 'pass' WHERE id = $1", {PgParam::text(kS1Test)})
            .ok());
    const CliRun changed = cli(db, {"store", "audit", "verify"});
    EXPECT_EQ(changed.exitCode, 3);
    EXPECT_EQ(changed.out.toStdString(), "audit broken at row " + entry + ": vornex_tests " +
                                             kS1Test + " is no longer the row that was inserted\n");
    ASSERT_TRUE(
        admin.exec("UPDATE vornex_tests SET result = 'low' WHERE id = $1", {PgParam::text(kS1Test)})
            .ok());
    EXPECT_EQ(cli(db, {"store", "audit", "verify"}).exitCode, 0);
    ASSERT_TRUE(admin.exec("UPDATE vornex_audit SET login = 's2' WHERE id = 5").ok());
    EXPECT_EQ(cli(db, {"store", "audit", "verify"}).out.toStdString(),
              "audit broken at row 5: its fields do not give its hash (the trail row was "
              "changed)\n");
    ASSERT_TRUE(admin.exec("DELETE FROM vornex_audit WHERE id = 5").ok());
    EXPECT_EQ(cli(db, {"store", "audit", "verify"}).out.toStdString(),
              "audit broken at row 6: it does not follow row 4 (a row between them was removed "
              "or changed)\n");
}

}  // namespace
}  // namespace vornex::test
