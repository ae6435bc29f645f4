#include <QDate>
#include <QEventLoop>
#include <QTime>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "LinkMessages.h"
#include "SignalPipe.h"
#include "config/BenchConfig.h"
#include "config/HomeFolder.h"
#include "i18n/MessageTexts.h"
#include "i18n/Startup.h"
#include "record/CompanionFile.h"
#include "record/HeadlessGraph.h"
#include "record/TestFile.h"
#include "register/DueDates.h"
#include "session/AcquisitionSession.h"
#include "session/qt/SessionDriver.h"

namespace vornex::cli {

namespace {

// The longest recording `--seconds` asks for: 30 days.
constexpr int kMaxSeconds = 30 * 24 * 3600;

// Prints on stdout the news of the line and of each instrument, and says on stderr what went wrong
// while writing; remembers whether every instrument was found absent. Presence news come from the
// acquisition thread, the writes' from the file-writer thread.
class RecordReporter : public SessionObserver {
public:
    explicit RecordReporter(size_t instruments) : instruments_(instruments) {}

    // The test whose companion file the session writes beside it.
    void setTestPath(const std::string& path) {
        std::lock_guard<std::mutex> lock(mutex_);
        companion_ = companionPath(path);
    }

    void lineLost(std::time_t) override { news("line lost"); }
    void lineBack(std::time_t, double, const std::string&) override { news("line back"); }
    // An instrument whose reads fail shows ERR in the window's list; here it is told once, with
    // the time of day, as the window tells a lost line.
    void presenceChanged(size_t, uint8_t address, PresenceState state) override {
        std::lock_guard<std::mutex> lock(mutex_);
        const std::string slave = "slave " + std::to_string(address) + ": ";
        if (state == PresenceState::CommunicationError) {
            if (failing_.insert(address).second) {
                const QString now = QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
                news(slave + "not answering since " + now.toStdString());
            }
        } else if (state == PresenceState::Identified && failing_.erase(address) != 0) {
            news(slave + "answering again");
        }
        if (state == PresenceState::Absent)
            absent_.insert(address);
        else
            absent_.erase(address);
    }
    void fastPassRefused(size_t, uint8_t address) override { news(fastPassRefusedText(address)); }
    void appendFailed(const std::string& path, const std::string& reason) override {
        if (path == companionFile()) {
            report("cannot write the instruments' settings to the companion file " + path + " (" +
                   reason + "); tried again every second while recording");
        } else {
            report("cannot append to " + path + " (" + reason +
                   "); the points are kept and retried");
        }
    }
    void appendRecovered(const std::string& path) override {
        report(path == companionFile() ? "the companion file " + path + " is written again"
                                       : "appending to " + path + " works again");
    }
    void pointsUnwritten(const std::string& path, size_t count,
                         const std::string& reason) override {
        report(std::to_string(count) + " points of test " + path + " could not be written (" +
               reason + ")");
    }

    bool noneAnswers() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return absent_.size() == instruments_;
    }

private:
    static void news(const std::string& text) {
        std::printf("%s\n", text.c_str());
        std::fflush(stdout);
    }
    void report(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(stderr, "vornex-cli record: %s\n", text.c_str());
    }
    std::string companionFile() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return companion_;
    }

    const size_t instruments_;
    mutable std::mutex mutex_;
    std::string companion_;
    std::set<uint8_t> absent_;
    std::set<uint8_t> failing_;
};

const char* refusalText(TestSession::AddResult result) {
    switch (result) {
        case TestSession::AddResult::Added:
            break;
        case TestSession::AddResult::Exists:
            return kTestExistsText;
        case TestSession::AddResult::BadName:
            return kTestBadNameText;
        case TestSession::AddResult::BlankName:
            return kTestBlankNameText;
        case TestSession::AddResult::ControlCharacter:
            return kTestControlCharText;
        case TestSession::AddResult::NameTooLong:
            return kTestNameTooLongText;
        case TestSession::AddResult::CannotCreate:
            return kTestCannotCreateText;
    }
    return "";
}

void printCounts(const std::string& path) {
    std::printf("%s\n", path.c_str());
    const SlaveCounts counts = TestFile(path).count().counts;
    for (int slave = 1; slave <= kCurveSlots; ++slave) {
        if (counts.of(slave) != 0) {
            std::printf("slave %d: %llu\n", slave,
                        static_cast<unsigned long long>(counts.of(slave)));
        }
    }
    std::printf("total: %llu\n", static_cast<unsigned long long>(counts.total()));
}

}  // namespace

int runRecord(const QStringList& given) {
    QStringList args = given;
    const bool fastPass = args.removeAll(QStringLiteral("--fast-pass")) > 0;
    const Arguments arguments(
        args, {QStringLiteral("port"), QStringLiteral("slaves"), QStringLiteral("test"),
               QStringLiteral("seconds"), QStringLiteral("home"), QStringLiteral("operator"),
               QStringLiteral("tool"), QStringLiteral("note")});
    if (!arguments.ok()) {
        std::fprintf(stderr, "vornex-cli record: %s\n", qPrintable(arguments.error()));
        return 1;
    }
    const QString port = arguments.value(QStringLiteral("port"));
    const auto slaves = parseSlaveList(arguments.value(QStringLiteral("slaves")));
    const bool timed = arguments.has(QStringLiteral("seconds"));
    const auto seconds = timed ? parseCount(arguments.value(QStringLiteral("seconds")))
                               : std::optional<int>(kMaxSeconds);
    if (port.isEmpty() || !slaves || !seconds || *seconds < 1 || *seconds > kMaxSeconds ||
        !arguments.has(QStringLiteral("test"))) {
        std::fputs(
            "vornex-cli record: needs --port PATH, --slaves with addresses 1 to 30 (1,2,3) and "
            "--test NAME; --seconds S (1 to 2592000), --home DIR, --operator NAME, --tool ID and "
            "--note TEXT and --fast-pass are optional\n",
            stderr);
        return 1;
    }
    const std::string name = arguments.value(QStringLiteral("test")).toStdString();
    if (const auto refused = TestSession::checkName(name);
        refused != TestSession::AddResult::Added) {
        std::fprintf(stderr, "vornex-cli record: %s (%s)\n", refusalText(refused), name.c_str());
        return 2;
    }

    QEventLoop loop;
    // Caught from here on: a signal before the recording runs ends it as soon as it does.
    const SignalPipe interrupts({SIGINT, SIGTERM, SIGHUP}, [&loop] { loop.quit(); });
    const AppPaths paths = homePaths(args);
    for (const QString& problem : prepareHome(paths)) {
        std::fprintf(stderr, "vornex-cli record: %s\n", qPrintable(problem));
    }
    // Declared before the session, which reports to the one and draws on the other to its end.
    RecordReporter reporter(slaves->size());
    HeadlessGraph graph;
    std::string testPath;
    OpenResult connected = OpenResult::CannotOpen;
    bool silentLine = false;
    bool lineStillLost = false;
    bool readingsLost = false;
    bool discarded = false;
    {
        AcquisitionSession session(paths.dataFolder.toStdString(), graph);
        session.addObserver(reporter);
        session.setFastPass(fastPass);
        const BenchConfig bench(paths.configFile);
        TestTrace trace;
        trace.bench = bench.bench();
        trace.operatorName = arguments.value(QStringLiteral("operator")).toStdString();
        trace.toolId = arguments.value(QStringLiteral("tool")).toStdString();
        trace.note = arguments.value(QStringLiteral("note")).toStdString();
        trace.toolOverdue =
            toolOverdueText(paths.home.toStdString(), trace.toolId, QDate::currentDate());
        if (!trace.toolOverdue.empty())
            std::fprintf(stderr,
                         "vornex-cli record: tool %s is overdue for its verification (%s); the "
                         "test records it\n",
                         trace.toolId.c_str(), trace.toolOverdue.c_str());
        session.setTestTrace(trace);
        session.setInstrumentNames(bench.deviceNames(port.toStdString()));
        session.proposeName();
        if (const auto added = session.newTest(name); added != TestSession::AddResult::Added) {
            const std::string detail =
                added == TestSession::AddResult::CannotCreate ? added.file.text : name;
            std::fprintf(stderr, "vornex-cli record: %s (%s)\n", refusalText(added.result),
                         detail.c_str());
            return 2;
        }
        testPath = session.testPath();
        reporter.setTestPath(testPath);
        for (int address : *slaves)
            session.addDevice(static_cast<uint8_t>(address));
        // Recording from before the first pass, so every reading the line answers is filed.
        session.initialUpdate();
        session.start();
        connected = session.connect(port.toStdString());
        switch (connected) {
            case OpenResult::Opened:
                break;
            case OpenResult::InUse:
                std::fprintf(stderr, "vornex-cli record: port %s is in use by another program\n",
                             qPrintable(port));
                break;
            case OpenResult::UnknownHost:
            case OpenResult::Refused:
                printNetworkRefusal("record", port.toStdString(),
                                    connected == OpenResult::UnknownHost);
                break;
            case OpenResult::CannotOpen:
            case OpenResult::StillStopping:
            case OpenResult::NoAnswer:
                std::fprintf(stderr, "vornex-cli record: cannot open port %s\n", qPrintable(port));
                printPortAccessHint(port.toStdString());
                break;
        }

        if (connected == OpenResult::Opened) {
            // The deadline is checked whenever the driver advances: a timer's interval cannot
            // hold 30 days.
            const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(*seconds);
            SessionDriver driver(session);
            QObject::connect(&driver, &SessionDriver::advanced, [&] {
                silentLine = reporter.noneAnswers();
                // A lost line is waited for until the time ends.
                if ((!session.recording() && !session.waitingForLine()) || silentLine ||
                    (timed && std::chrono::steady_clock::now() >= deadline))
                    loop.quit();
            });
            loop.exec();
            // The last pass ends while still recording, so its readings are filed too.
            lineStillLost = session.waitingForLine();
            session.finishPolling();
        }
        // Stop and Close test, then ending the session writes every point still queued.
        session.stop();
        session.closeTest();
        readingsLost = !session.end().empty();
        // A run that fails having recorded nothing leaves the name free for the next try.
        const bool failed = connected != OpenResult::Opened || silentLine || lineStillLost;
        discarded = failed && !readingsLost && session.discardUnrecordedTest();
    }
    if (silentLine)
        std::fprintf(stderr, "vornex-cli record: no instrument answers on %s\n", qPrintable(port));
    if (lineStillLost) {
        std::fprintf(stderr, "vornex-cli record: the line on %s was still lost at the end\n",
                     qPrintable(port));
    }
    if (discarded) {
        std::fprintf(stderr,
                     "vornex-cli record: nothing was recorded; %s and its companion file are "
                     "removed\n",
                     testPath.c_str());
        return 2;
    }
    queueForStore(args, StoreKind::Test, testPath);
    if (connected != OpenResult::Opened || silentLine)
        return 2;
    printCounts(testPath);
    return lineStillLost || readingsLost ? 2 : 0;
}

}  // namespace vornex::cli
