#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vornex::test {

struct CliRun {
    int exitCode = -1;  // -1: it did not finish in time
    QString out;
    QString err;

    QStringList outLines() const { return out.split('\n', Qt::SkipEmptyParts); }
};

// Runs the command-line tool (VORNEX_CLI_PATH, defined by the suite that uses it) to the end.
inline CliRun runCli(const QStringList& args) {
    QProcess process;
    process.start(QStringLiteral(VORNEX_CLI_PATH), args);
    CliRun run;
    if (!process.waitForFinished(120000)) {
        process.kill();
        process.waitForFinished();
        return run;
    }
    run.exitCode = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

}  // namespace vornex::test
