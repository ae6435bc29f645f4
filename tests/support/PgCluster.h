#pragma once

#include <pwd.h>
#include <unistd.h>

#include <QProcess>
#include <QString>
#include <QStringList>
#include <filesystem>
#include <stdexcept>
#include <string>

#include "TempDir.h"

namespace vornex::test {

// A throw-away PostgreSQL cluster from Debian's server package: made with initdb in a temporary
// folder, listening on a Unix socket in that folder only, with trust for every local user, and
// removed at the end. The server refuses to run as root, so a root test runs it as "nobody", the
// owner of the folder.
class PgCluster {
public:
    static constexpr const char* kBin = "/usr/lib/postgresql/15/bin/";
    static constexpr const char* kAdmin = "vornex_admin";

    PgCluster() {
        if (::geteuid() == 0) {
            const passwd* nobody = ::getpwnam("nobody");
            if (!nobody || ::chown(dir_.path().c_str(), nobody->pw_uid, nobody->pw_gid) != 0)
                throw std::runtime_error("cannot hand the cluster's folder to nobody");
        }
        run("initdb", {"-D", data(), "-A", "trust", "-U", kAdmin, "-E", "UTF8", "--no-sync"});
        start();
    }
    ~PgCluster() { stop(); }
    PgCluster(const PgCluster&) = delete;
    PgCluster& operator=(const PgCluster&) = delete;

    void start() {
        run("pg_ctl", {"-D", data(), "-l", QString::fromStdString(dir_.file("log")), "-w", "-o",
                       "-k " + dir_.qPath() + " -c listen_addresses= -c fsync=off", "start"});
    }
    void stop() { run("pg_ctl", {"-D", data(), "-m", "fast", "-w", "stop"}, false); }

    // The address of `database` as `user`, through the socket.
    std::string uri(const std::string& database = "postgres",
                    const std::string& user = kAdmin) const {
        return "postgresql:///" + database + "?host=" + dir_.path() + "&user=" + user;
    }

private:
    QString data() const { return QString::fromStdString(dir_.file("data")); }

    void run(const QString& tool, QStringList args, bool mustWork = true) {
        QString program = QString::fromLatin1(kBin) + tool;
        if (::geteuid() == 0) {
            args.prepend(program);
            args.prepend(QStringLiteral("--"));
            args.prepend(QStringLiteral("nobody"));
            args.prepend(QStringLiteral("-u"));
            program = QStringLiteral("runuser");
        }
        QProcess process;
        process.setWorkingDirectory(dir_.qPath());
        process.start(program, args);
        if ((!process.waitForFinished(60000) || process.exitCode() != 0) && mustWork) {
            throw std::runtime_error(tool.toStdString() +
                                     " failed: " + process.readAllStandardError().toStdString());
        }
    }

    TempDir dir_;
};

}  // namespace vornex::test
