#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <functional>
#include <map>

#include "CliRun.h"
#include "StoreFixture.h"

namespace vornex::test {
namespace {

// The manual's fenced blocks by their mark ("```sh server-setup"), each mark's blocks in order.
std::map<QString, QString> manualBlocks() {
    QFile file(QStringLiteral(VORNEX_MANUAL_DIR "/store.md"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    std::map<QString, QString> blocks;
    QString mark;
    for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
        if (line.startsWith(QLatin1String("```")))
            mark = mark.isEmpty() ? line.section(' ', 1) : QString();
        else if (!mark.isEmpty())
            blocks[mark] += line + '\n';
    }
    return blocks;
}

CliRun runBash(const QString& script, const QProcessEnvironment& environment, const QString& dir,
               const QByteArray& input = {}) {
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setWorkingDirectory(dir);
    // No terminal, so that createuser's prompts read what is written to it.
    process.start(QStringLiteral("setsid"), {"-w", "bash", "-euo", "pipefail", "-c", script});
    process.write(input);
    process.closeWriteChannel();
    CliRun run;
    if (process.waitForFinished(120000))
        run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// The store chapter's server and bench steps, edited only as the chapter says, against a cluster
// made as Debian's package makes one (a superuser postgres on the socket, passwords over TCP), and
// then a test sent by the bench login over verify-full TLS and found by the reader.
TEST_F(StoreTest, TheManualsServerStepsRunAsWritten) {
    const bool root = ::geteuid() == 0;
    const QString user =
        root ? QStringLiteral("nobody") : QString(::getpwuid(::geteuid())->pw_name);
    TempDir server, admin, certificates;
    if (root) {
        ASSERT_EQ(::chown(server.path().c_str(), ::getpwnam("nobody")->pw_uid, ~0u), 0);
    }
    const QString bin = QString::fromLatin1(PgCluster::kBin);
    const QString data = server.qFile("data");
    const QString port = QString::number(30000 + ::getpid() % 20000);
    const QString asServer = root ? "runuser -u nobody -- " + bin : bin;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("PATH", QFileInfo(VORNEX_CLI_PATH).absolutePath() + ':' + bin + ':' +
                                   environment.value("PATH"));
    environment.insert("PGHOST", server.qPath());
    environment.insert("PGPORT", port);
    environment.insert("HOME", admin.qPath());
    const CliRun made = runBash(
        asServer + "initdb -D " + data + " -U postgres -E UTF8 --no-sync >/dev/null && " +
            "printf 'local all all trust\\nhost all all 127.0.0.1/32 scram-sha-256\\n' > " + data +
            "/pg_hba.conf && mkdir " + data + "/conf.d && printf \"port = " + port +
            "\\nunix_socket_directories = '" + server.qPath() +
            "'\\nfsync = off\\ninclude_dir = 'conf.d'\\n\" >> " + data + "/postgresql.conf && " +
            asServer + "pg_ctl -D " + data + " -l " + server.qFile("log") + " -w start >/dev/null",
        environment, server.qPath());
    ASSERT_EQ(made.exitCode, 0) << made.err.toStdString();
    struct Stop {
        std::function<void()> stop;
        ~Stop() { stop(); }
    } stopped{[&] {
        runBash(asServer + "pg_ctl -D " + data + " -m fast -w stop", environment, server.qPath());
    }};
    const CliRun signedCertificate = runBash(
        "openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -keyout ca.key "
        "-out root.crt -days 2 -subj /CN=lab-authority && openssl req -newkey ec -pkeyopt "
        "ec_paramgen_curve:prime256v1 -nodes -keyout server.key -out server.csr -subj "
        "/CN=localhost && openssl x509 -req -in server.csr -CA root.crt -CAkey ca.key "
        "-CAcreateserial -out server.crt -days 2 -extfile <(echo subjectAltName=DNS:localhost)",
        environment, certificates.qPath());
    ASSERT_EQ(signedCertificate.exitCode, 0) << signedCertificate.err.toStdString();

    const std::pair<QString, QString> edits[] = {
        {"sudo apt-get install postgresql", "true"},
        {"sudo -u postgres ", "PGUSER=postgres "},
        {"sudo systemctl restart postgresql",
         asServer + "pg_ctl -D " + data + " -l " + server.qFile("log") + " -w restart"},
        {"sudo ", ""},
        {"-o postgres", "-o " + user},
        {"/etc/postgresql/15/main", data},
        {"'*'", "'127.0.0.1'"},
        {"10.0.0.0/8", "127.0.0.1/32"},
        {"db.lab", "localhost"},
        {":5432:", ':' + port + ':'},
    };
    std::map<QString, QString> blocks = manualBlocks();
    for (auto& [mark, text] : blocks) {
        for (const auto& [from, to] : edits)
            text.replace(from, to);
    }
    const CliRun set = runBash(blocks["server-setup"], environment, certificates.qPath(),
                               "ADMIN-PASSWORD\nADMIN-PASSWORD\n");
    ASSERT_EQ(set.exitCode, 0) << set.err.toStdString();
    EXPECT_TRUE(set.out.contains("bench Bench-7 login bench7\n")) << set.out.toStdString();

    environment.insert("HOME", home.qPath());
    const CliRun bench = runBash(blocks["bench-setup"], environment, certificates.qPath());
    ASSERT_EQ(bench.exitCode, 0) << bench.err.toStdString();
    writeBytes(home.file("config.ini"), blocks["bench-config"].toStdString());
    ASSERT_TRUE(outbox.queueTest(
        closedTest("pull", "00000000-0000-4000-8000-0000000000e1", "Bench-7"), "Bench-7"));
    EXPECT_EQ(CliProcess({"sync", "--once", "--home", home.qPath()}, environment)
                  .finish(0)
                  .out.toStdString(),
              "sent 1\nstore: up to date\n");
    writeBytes(home.file(".pgpass"), readBytes(home.file(".pgpass")) +
                                         "localhost:" + port.toStdString() +
                                         ":results:quality:QUALITY-PASSWORD\n");
    const QString reader = "postgresql://quality@localhost/results?sslmode=verify-full";
    const CliRun found =
        CliProcess({"store", "find", "--tool", "4711", "--uri", reader}, environment).finish(0);
    EXPECT_TRUE(found.out.endsWith(" Bench-7 4711 test low\n")) << found.err.toStdString();
    PgConnection superuser("postgresql:///results?host=" + server.path() +
                           "&port=" + port.toStdString() + "&user=postgres");
    EXPECT_EQ(superuser.exec("SELECT inserted_by FROM vornex_tests").value(0, 0), "bench7");
    EXPECT_EQ(
        superuser.exec("SELECT pg_has_role('alice', 'vornex_reviewer', 'MEMBER')").value(0, 0),
        "t");
}

}  // namespace
}  // namespace vornex::test
