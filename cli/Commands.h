#pragma once

#include <QCoreApplication>
#include <QStringList>
#include <memory>
#include <string>

#include "report/ReportTexts.h"
#include "sign/DocumentIssue.h"

namespace vornex::cli {

// Each command takes its arguments (after the command name) and returns the process exit code:
// 0 success, 2 a refused input or a port that cannot be opened, 1 a usage error (verify: 4 for a
// tool that does not conform).
int runPorts(const QStringList& args);
int runPoll(const QStringList& args);
int runRecord(const QStringList& args);
int runCount(const QStringList& args);
int runExport(const QStringList& args);
int runParams(const QStringList& args);
int runUpload(const QStringList& args);
int runReport(const QStringList& args);
int runPlot(const QStringList& args);
int runVerify(const QStringList& args);
// The certificate (and with --csv the readings) of an ended run file, made again from it: 2 when
// the file cannot be read, or the run has not ended or was abandoned.
int runCertificate(const QStringList& args);
// 0 when nothing is left to send, 2 when the store cannot be reached or something is left.
int runSync(const QStringList& args);
int runStore(const QStringList& args);
// Signs a test or run file in the home folder's Signatures.tsv: 2 when it cannot be read or
// changed after an earlier signature.
int runSign(const QStringList& args);
int runRegister(const QStringList& args);
// Control charts of one instrument of a test file: 2 when the file cannot be read or holds no
// records of it, 3 when a rule broke.
int runSpc(const QStringList& args);
// The same of a tool's history in the store: 2 when the store cannot be reached.
int runStoreSpc(const QStringList& args);
// The number, lab and signatures a document of the file `path` is printed with, numbered in the
// home folder the arguments name; what cannot be kept is told on stderr.
sign::DocumentIssue issuedDocument(const QStringList& args, const std::string& path,
                                   const char* command);
// A closed test or an ended run enters the outbox of the home folder the arguments name when a
// store is configured there (or named by --uri); a failure is told on stderr, the command's result
// stays its own.
enum class StoreKind { Test, Run };
void queueForStore(const QStringList& args, StoreKind kind, const std::string& path);
// Queues a run file however the command ends: ended or abandoned, the run goes as it stands.
struct RunQueuedAtExit {
    QStringList args;
    std::string path;
    ~RunQueuedAtExit() { queueForStore(args, StoreKind::Run, path); }
};

// The application object a command needs: a GUI one, without a screen unless one is named, for
// the commands that draw.
std::unique_ptr<QCoreApplication> makeApplication(int& argc, char** argv);

// The texts of a printed document in the language of the configuration of the home folder the
// arguments name, else English.
ReportTexts configuredTexts(const QStringList& arguments);

}  // namespace vornex::cli
