#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vornex::test {

// vornex-sim as a process serving a pty, driven through its standard input: each command is
// answered with one line. Its input ends with it: it removes its link and ends.
class SimProcess {
public:
    SimProcess(const QString& program, const QStringList& args) {
        process_.start(program, args);
        ready = readLine().startsWith("ready ");
    }
    ~SimProcess() {
        process_.closeWriteChannel();
        process_.waitForFinished(10000);
    }
    QString command(const QString& text) {
        process_.write((text + "\n").toUtf8());
        return readLine();
    }

    bool ready = false;

private:
    QString readLine() {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(10000))
                return {};
        }
        return QString::fromUtf8(process_.readLine()).trimmed();
    }
    QProcess process_;
};

}  // namespace vornex::test
