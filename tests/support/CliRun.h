#pragma once

#include <signal.h>

#include <QProcess>
#include <QString>
#include <QStringList>

#include "Wait.h"

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

// The command-line tool left running while the test acts on its line; what it printed is kept.
class CliProcess {
public:
    explicit CliProcess(const QStringList& args, const QProcessEnvironment& environment =
                                                     QProcessEnvironment::systemEnvironment()) {
        process.setProcessEnvironment(environment);
        process.start(QStringLiteral(VORNEX_CLI_PATH), args);
        process.waitForStarted();
    }
    bool printed(const QString& text) {
        return waitUntil([&] { return read().out.contains(text); });
    }
    bool said(const QString& text) {
        return waitUntil([&] { return read().err.contains(text); });
    }
    // Sends `signalNumber` (none for 0) and waits for the end; exitCode stays -1 unless it
    // ended normally.
    CliRun finish(int signalNumber = SIGINT) {
        if (signalNumber != 0)
            ::kill(static_cast<pid_t>(process.processId()), signalNumber);
        const bool ended = process.waitForFinished(120000);
        if (ended && process.exitStatus() == QProcess::NormalExit)
            run_.exitCode = process.exitCode();
        return read();
    }

    QProcess process;

private:
    const CliRun& read() {
        run_.out += QString::fromUtf8(process.readAllStandardOutput());
        run_.err += QString::fromUtf8(process.readAllStandardError());
        return run_;
    }
    CliRun run_;
};

}  // namespace vornex::test
