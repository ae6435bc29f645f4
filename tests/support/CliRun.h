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

// Runs `program` to the end; `withoutDisplay` hides every display from it.
inline CliRun runProgram(const QString& program, const QStringList& args,
                         bool withoutDisplay = false) {
    QProcess process;
    if (withoutDisplay) {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
            environment.remove(name);
        process.setProcessEnvironment(environment);
    }
    process.start(program, args);
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

// Runs the command-line tool (VORNEX_CLI_PATH, defined by the suite that uses it) to the end.
inline CliRun runCli(const QStringList& args) {
    return runProgram(QStringLiteral(VORNEX_CLI_PATH), args);
}

}  // namespace vornex::test
