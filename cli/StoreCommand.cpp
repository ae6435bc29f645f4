#include <QDateTime>
#include <QEventLoop>
#include <QUuid>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <thread>

#include "Arguments.h"
#include "Commands.h"
#include "SignalPipe.h"
#include "config/BenchConfig.h"
#include "config/HomeFolder.h"
#include "files/HomeOutputs.h"
#include "record/CompanionFile.h"
#include "sign/CopyReview.h"
#include "store/AuditTrail.h"
#include "store/BenchLogins.h"
#include "store/Outbox.h"
#include "store/OutboxDrain.h"
#include "store/OutboxSender.h"
#include "store/PgConnection.h"
#include "store/RegisterSender.h"
#include "store/ResultQuery.h"
#include "store/Review.h"
#include "store/Schema.h"
#include "store/StoreAddress.h"

namespace vornex::cli {

namespace {

using namespace vornex::store;

int fail(const std::string& command, const std::string& message, int code) {
    std::fprintf(stderr, "vornex-cli %s: %s\n", command.c_str(), message.c_str());
    return code;
}

// As ssh does for a key others can read: the password is used, and the user told.
void warnOfExposure(const StoreAddress& address) {
    const std::string warning = exposureWarning(address);
    if (!warning.empty())
        std::fprintf(stderr, "vornex-cli: warning: %s\n", warning.c_str());
}

// The store the arguments name, or the exit code of a refusal (with nothing configured too).
std::optional<std::string> storeFor(const QStringList& args, const std::string& command,
                                    int& code) {
    const StoreAddress address = configuredStore(args);
    if (!address.result) {
        code = fail(command, address.result.text, 2);
        return std::nullopt;
    }
    if (!address.configured()) {
        code = fail(command,
                    "no store is configured: give --uri URI or set [Store] Uri= in config.ini", 1);
        return std::nullopt;
    }
    warnOfExposure(address);
    return address.conninfo;
}

int runInit(const QStringList& args) {
    const Arguments a(args, {QStringLiteral("home"), QStringLiteral("uri")});
    if (!a.ok())
        return fail("store init",
                    a.error().toStdString() +
                        "; usage: store init [--home DIR] "
                        "[--uri URI]",
                    1);
    int code = 0;
    const auto conninfo = storeFor(args, "store init", code);
    if (!conninfo)
        return code;
    PgConnection connection(*conninfo);
    if (const StoreResult reached = connection.reached(); !reached)
        return fail("store init", reached.message(), 2);
    const Migration migration = migrateSchema(connection);
    if (!migration.result)
        return fail("store init", "the schema was left as it was: " + migration.result.text, 2);
    if (migration.from == migration.to)
        std::printf("schema version %d, up to date\n", migration.to);
    else
        std::printf("schema version %d, was %d\n", migration.to, migration.from);
    return 0;
}

int runFind(const QStringList& given) {
    QStringList args = given;
    const bool tsv = args.removeAll(QStringLiteral("--tsv")) > 0;
    const Arguments a(args,
                      {QStringLiteral("home"), QStringLiteral("uri"), QStringLiteral("tool"),
                       QStringLiteral("bench"), QStringLiteral("operator"), QStringLiteral("since"),
                       QStringLiteral("until"), QStringLiteral("verdict")});
    const QString verdict = a.value(QStringLiteral("verdict"));
    FindFilter filter;
    filter.tool = a.value(QStringLiteral("tool")).toStdString();
    filter.bench = a.value(QStringLiteral("bench")).toStdString();
    filter.operatorName = a.value(QStringLiteral("operator")).toStdString();
    filter.verdict = verdict.toStdString();
    if (a.has(QStringLiteral("since")))
        filter.since = dayStart(a.value(QStringLiteral("since")).toStdString(), 0);
    if (a.has(QStringLiteral("until")))
        filter.until = dayStart(a.value(QStringLiteral("until")).toStdString(), 1);
    if (!a.ok() || (a.has(QStringLiteral("since")) && !filter.since) ||
        (a.has(QStringLiteral("until")) && !filter.until) ||
        (!verdict.isEmpty() && verdict != QLatin1String("low") &&
         verdict != QLatin1String("high") && verdict != QLatin1String("fail"))) {
        return fail("store find",
                    "usage: store find [--tool ID] [--bench NAME] [--operator NAME] "
                    "[--since YYYY-MM-DD] [--until YYYY-MM-DD] [--verdict low|high|fail] "
                    "[--tsv] [--home DIR] [--uri URI]",
                    1);
    }
    int code = 0;
    const auto conninfo = storeFor(args, "store find", code);
    if (!conninfo)
        return code;
    PgConnection connection(*conninfo);
    if (const StoreResult reached = connection.reached(); !reached)
        return fail("store find", reached.message(), 2);
    const StoreAnswer<std::vector<FoundResult>> found = findResults(connection, filter);
    if (!found)
        return fail("store find", found.result.text, 2);
    if (tsv)
        std::printf("%s\n", kTsvHeader);
    for (const FoundResult& f : found.value)
        std::printf("%s\n", (tsv ? tsvLine(f) : findLine(f)).c_str());
    return 0;
}

int runGet(QStringList args) {
    const QString uuid = args.isEmpty() ? QString() : args.takeFirst();
    const Arguments a(args, {QStringLiteral("home"), QStringLiteral("uri"), QStringLiteral("out")});
    const std::string out = a.value(QStringLiteral("out")).toStdString();
    if (!a.ok() || QUuid::fromString(uuid).isNull() || out.empty())
        return fail("store get", "usage: store get UUID --out FILE [--home DIR] [--uri URI]", 1);
    // A test still waiting in the outbox would be sent with the fetched file in its place.
    const std::string refusal = homeOutputRefusal(homePaths(args).home.toStdString(), out);
    if (!refusal.empty())
        return fail("store get", refusal, 2);
    std::error_code ignored;
    for (const std::string& target : {out, companionPath(out), sign::copyReviewPath(out)}) {
        if (std::filesystem::symlink_status(target, ignored).type() !=
            std::filesystem::file_type::not_found)
            return fail("store get", target + " already exists; it is not replaced", 2);
    }
    int code = 0;
    const auto conninfo = storeFor(args, "store get", code);
    if (!conninfo)
        return code;
    PgConnection connection(*conninfo);
    if (const StoreResult reached = connection.reached(); !reached)
        return fail("store get", reached.message(), 2);
    const StoreAnswer<std::string> kind =
        fetchStoredFile(connection, uuid.toLower().toStdString(), out);
    if (!kind)
        return fail("store get", kind.result.text, 2);
    std::printf("%s %s\n", kind.value.c_str(), out.c_str());
    const std::string record = uuid.toLower().toStdString();
    const StoreAnswer<std::vector<Amendment>> amendments = amendmentsOf(connection, record);
    const StoreAnswer<std::vector<StoredSignature>> signatures = signaturesOf(connection, record);
    if (!amendments || !signatures)
        return fail("store get", (amendments ? signatures.result : amendments.result).text, 2);
    if (std::string error;
        !sign::writeCopyReview(out, copyReviewOf(amendments.value, signatures.value), error))
        return fail("store get", error, 2);
    for (const Amendment& amendment : amendments.value)
        std::printf("%s\n", amendmentLine(amendment).c_str());
    for (const StoredSignature& signature : signatures.value)
        std::printf("%s\n", signatureLine(signature).c_str());
    return 0;
}

// The connection a store command works on, or the exit code of its failure.
std::unique_ptr<PgConnection> connected(const QStringList& args, const std::string& command,
                                        int& code) {
    const auto conninfo = storeFor(args, command, code);
    if (!conninfo)
        return nullptr;
    auto connection = std::make_unique<PgConnection>(*conninfo);
    if (const StoreResult reached = connection->reached(); !reached) {
        code = fail(command, reached.message(), 2);
        return nullptr;
    }
    return connection;
}

int runBench(QStringList args) {
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    const QString bench = args.isEmpty() ? QString() : args.takeFirst();
    const Arguments a(args,
                      {QStringLiteral("home"), QStringLiteral("uri"), QStringLiteral("login")});
    const std::string login = a.value(QStringLiteral("login")).toStdString();
    if (!a.ok() || sub != QLatin1String("add") || bench.isEmpty() || bench.startsWith('-') ||
        login.empty())
        return fail("store bench",
                    "usage: store bench add NAME --login ROLE [--home DIR] [--uri URI]", 1);
    int code = 0;
    const auto connection = connected(args, "store bench", code);
    if (!connection)
        return code;
    if (const StoreResult bound = bindBenchLogin(*connection, bench.toStdString(), login); !bound)
        return fail("store bench", bound.message(), 2);
    std::printf("bench %s login %s\n", bench.toStdString().c_str(), login.c_str());
    return 0;
}

int runAmend(QStringList args) {
    const QString uuid = args.isEmpty() ? QString() : args.takeFirst();
    const Arguments a(args, {QStringLiteral("home"), QStringLiteral("uri"), QStringLiteral("field"),
                             QStringLiteral("value"), QStringLiteral("reason")});
    const std::string field = a.value(QStringLiteral("field")).toStdString();
    const std::string reason = a.value(QStringLiteral("reason")).trimmed().toStdString();
    if (!a.ok() || QUuid::fromString(uuid).isNull() || field.empty() ||
        !a.has(QStringLiteral("value")) || reason.empty())
        return fail("store amend",
                    "usage: store amend UUID --field FIELD --value VALUE --reason TEXT "
                    "[--home DIR] [--uri URI]",
                    1);
    int code = 0;
    const auto connection = connected(args, "store amend", code);
    if (!connection)
        return code;
    const std::string record = uuid.toLower().toStdString();
    const StoreAnswer<std::string> amended = amendRecord(
        *connection, record, field, a.value(QStringLiteral("value")).toStdString(), reason);
    if (!amended)
        return fail("store amend", amended.result.message(), 2);
    std::printf("amended %s as %s\n", record.c_str(), amended.value.c_str());
    return 0;
}

int runStoreSign(QStringList args) {
    const QString uuid = args.isEmpty() ? QString() : args.takeFirst();
    const Arguments a(args, {QStringLiteral("home"), QStringLiteral("uri"),
                             QStringLiteral("meaning"), QStringLiteral("name")});
    const QString meaning = a.value(QStringLiteral("meaning"));
    if (!a.ok() || QUuid::fromString(uuid).isNull() ||
        (meaning != QLatin1String("reviewed") && meaning != QLatin1String("approved")) ||
        (a.has(QStringLiteral("name")) && a.value(QStringLiteral("name")).trimmed().isEmpty()))
        return fail("store sign",
                    "usage: store sign UUID --meaning reviewed|approved [--name NAME] "
                    "[--home DIR] [--uri URI]",
                    1);
    int code = 0;
    const auto connection = connected(args, "store sign", code);
    if (!connection)
        return code;
    const StoreAnswer<StoredSignature> signature =
        signStored(*connection, uuid.toLower().toStdString(), meaning.toStdString(),
                   a.value(QStringLiteral("name")).trimmed().toStdString());
    if (!signature)
        return fail("store sign", signature.result.message(), 2);
    const StoredSignature& s = signature.value;
    std::printf("signed %s %s %s %s\n", s.sha256.c_str(), s.meaning.c_str(), s.name.c_str(),
                s.time.c_str());
    return 0;
}

int runAudit(QStringList args) {
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    const Arguments a(args,
                      {QStringLiteral("home"), QStringLiteral("uri"), QStringLiteral("record")});
    const QString record = a.value(QStringLiteral("record"));
    if (!a.ok() || (sub != QLatin1String("verify") && sub != QLatin1String("list")) ||
        (sub == QLatin1String("verify") && a.has(QStringLiteral("record"))) ||
        (a.has(QStringLiteral("record")) && QUuid::fromString(record).isNull()))
        return fail("store audit",
                    "usage: store audit verify | store audit list [--record UUID] "
                    "[--home DIR] [--uri URI]",
                    1);
    int code = 0;
    const auto connection = connected(args, "store audit", code);
    if (!connection)
        return code;
    if (sub == QLatin1String("list")) {
        const StoreResult walked = walkAudit(
            *connection, record.toLower().toStdString(),
            [](const AuditEntry& entry) { std::printf("%s\n", auditLine(entry).c_str()); });
        if (!walked)
            return fail("store audit", walked.message(), 2);
        return 0;
    }
    const AuditCheck check = verifyAudit(*connection);
    if (!check.result)
        return fail("store audit", check.result.message(), 2);
    if (check.brokenAt != 0) {
        std::printf("audit broken at row %lld: %s\n", static_cast<long long>(check.brokenAt),
                    check.reason.c_str());
        return 3;
    }
    std::printf("audit %zu rows, chain intact\n", check.rows);
    return 0;
}

}  // namespace

void queueForStore(const QStringList& args, StoreKind kind, const std::string& path) {
    const StoreAddress address = configuredStore(args);
    if (!address.result) {
        std::fprintf(stderr, "vornex-cli: %s; %s is not queued for the store\n",
                     address.result.text.c_str(), path.c_str());
        return;
    }
    if (!address.configured())
        return;
    warnOfExposure(address);
    const AppPaths paths = homePaths(args);
    Outbox outbox(paths.home.toStdString());
    const std::string bench = BenchConfig(paths.configFile).bench();
    const StoreResult queued =
        kind == StoreKind::Test ? outbox.queueTest(path, bench) : outbox.queueRun(path, bench);
    if (!queued)
        std::fprintf(stderr, "vornex-cli: cannot queue %s for the store: %s\n", path.c_str(),
                     queued.text.c_str());
}

namespace {

// The home's signatures follow their records, once the server holds them; the rest wait for a
// later pass. A signal ends them as it ends the pass.
void sendSignatures(const std::string& home, const std::string& conninfo, PgInterrupt& interrupt) {
    const SignaturesSent sent = sendHomeSignatures(home, conninfo, &interrupt);
    for (const std::string& refused : sent.refused)
        std::fprintf(stderr, "vornex-cli sync: %s\n", refused.c_str());
    if (!sent.result && sent.result.kind != StoreResultKind::Unreachable &&
        !interrupt.interrupted())
        std::fprintf(stderr, "vornex-cli sync: %s\n", sent.result.message().c_str());
}

// The home's register lines the store does not hold yet follow, each once.
void sendRegister(const std::string& home, const std::string& conninfo, const std::string& bench,
                  PgInterrupt& interrupt) {
    const RegisterSent sent = sendHomeRegister(home, conninfo, bench, &interrupt);
    for (const std::string& refused : sent.refused)
        std::fprintf(stderr, "vornex-cli sync: %s\n", refused.c_str());
    if (!sent.result && sent.result.kind != StoreResultKind::Unreachable &&
        !interrupt.interrupted())
        std::fprintf(stderr, "vornex-cli sync: %s\n", sent.result.message().c_str());
}

// Passes until nothing waits (0), or after one with --once, or until interrupted (2 while
// something waits).
int syncPasses(Outbox& outbox, const std::string& home, const std::string& conninfo,
               const std::string& bench, bool once, PgInterrupt& interrupt) {
    Backoff backoff;
    for (;;) {
        const DrainPass pass = drainOutbox(outbox, conninfo, &interrupt);
        if (pass.result.kind != StoreResultKind::Unreachable && !interrupt.interrupted()) {
            sendSignatures(home, conninfo, interrupt);
            sendRegister(home, conninfo, bench, interrupt);
        }
        if (pass.sent != 0)
            std::printf("sent %zu\n", pass.sent);
        for (const DamagedItem& damaged : pass.damaged) {
            std::fprintf(stderr, "vornex-cli sync: %s; it is left there, waiting to be mended\n",
                         describe(damaged).c_str());
        }
        if (pass.left == 0) {
            std::printf("store: up to date\n");
            return 0;
        }
        std::printf("store: %zu waiting\n", pass.left);
        std::fflush(stdout);
        if (!pass.result)
            std::fprintf(stderr, "vornex-cli sync: %s\n", pass.result.message().c_str());
        if (once || interrupt.interrupted())
            return 2;
        const auto until = std::chrono::steady_clock::now() + backoff.next();
        while (std::chrono::steady_clock::now() < until && !interrupt.interrupted())
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (interrupt.interrupted())
            return 2;
        if (pass.sent != 0)
            backoff.reset();
    }
}

}  // namespace

int runSync(const QStringList& given) {
    QStringList args = given;
    const bool once = args.removeAll(QStringLiteral("--once")) > 0;
    const Arguments a(args, {QStringLiteral("home"), QStringLiteral("uri")});
    if (!a.ok())
        return fail("sync",
                    a.error().toStdString() +
                        "; usage: sync [--once] [--home DIR] "
                        "[--uri URI]",
                    1);
    int code = 0;
    const auto conninfo = storeFor(args, "sync", code);
    if (!conninfo)
        return code;
    const AppPaths paths = homePaths(args);
    const std::string home = paths.home.toStdString();
    const std::string bench = BenchConfig(paths.configFile).bench();
    Outbox outbox(home);
    PgInterrupt interrupt;
    int exitCode = 2;
    // The passes go on a thread of their own, so that a signal reaches a statement the server
    // holds: it is cancelled, and the items not sent stay in the outbox.
    QEventLoop loop;
    const SignalPipe stopSignals({SIGINT, SIGTERM, SIGHUP},
                                 [&interrupt] { interrupt.interrupt(); });
    std::thread passes([&] {
        exitCode = syncPasses(outbox, home, *conninfo, bench, once, interrupt);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    passes.join();
    return exitCode;
}

int runStore(const QStringList& given) {
    QStringList args = given;
    const QString sub = args.isEmpty() ? QString() : args.takeFirst();
    if (sub == QLatin1String("init"))
        return runInit(args);
    if (sub == QLatin1String("find"))
        return runFind(args);
    if (sub == QLatin1String("get"))
        return runGet(args);
    if (sub == QLatin1String("bench"))
        return runBench(args);
    if (sub == QLatin1String("audit"))
        return runAudit(args);
    if (sub == QLatin1String("amend"))
        return runAmend(args);
    if (sub == QLatin1String("sign"))
        return runStoreSign(args);
    if (sub == QLatin1String("spc"))
        return runStoreSpc(args);
    return fail("store", "usage: store init|find|get|bench|audit|amend|sign|spc ...", 1);
}

}  // namespace vornex::cli
