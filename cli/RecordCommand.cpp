#include <QEventLoop>
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
#include "controls/MessageTexts.h"
#include "i18n/HomeFolder.h"
#include "i18n/Startup.h"
#include "record/AcquisitionSession.h"
#include "record/HeadlessGraph.h"
#include "record/TestFile.h"
#include "session/SessionDriver.h"

namespace vornex::cli {

namespace {

// The longest recording `--seconds` asks for: 30 days.
constexpr int kMaxSeconds = 30 * 24 * 3600;

// Says on stderr what went wrong while recording; remembers whether anything did, and whether
// every instrument was found absent.
class RecordReporter : public SessionObserver {
public:
    explicit RecordReporter(size_t instruments) : instruments_(instruments) {}

    void lineLost(std::time_t) override { line("line lost"); }
    void lineBack(std::time_t, double, const std::string&) override { line("line back"); }
    void presenceChanged(size_t, uint8_t address, PresenceState state) override {
        std::lock_guard<std::mutex> lock(mutex_);
        if (state == PresenceState::Absent)
            absent_.insert(address);
        else
            absent_.erase(address);
    }
    void appendFailed(const std::string& path, const std::string& reason) override {
        report("cannot append to " + path + " (" + reason + "); the points are kept and retried");
    }
    void appendRecovered(const std::string& path) override {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(stderr, "vornex-cli record: appending to %s works again\n", path.c_str());
    }
    void pointsUnwritten(const std::string& path, size_t count,
                         const std::string& reason) override {
        report(std::to_string(count) + " points of test " + path + " could not be written (" +
               reason + ")");
    }

    bool troubled() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return troubled_;
    }
    bool noneAnswers() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return absent_.size() == instruments_;
    }

private:
    static void line(const char* news) {
        std::printf("%s\n", news);
        std::fflush(stdout);
    }
    void report(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(stderr, "vornex-cli record: %s\n", text.c_str());
        troubled_ = true;
    }

    const size_t instruments_;
    mutable std::mutex mutex_;
    bool troubled_ = false;
    std::set<uint8_t> absent_;
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
    const SlaveCounts counts = TestFile(path).count().value_or(SlaveCounts{});
    for (int slave = 1; slave <= kCurveSlots; ++slave) {
        if (counts.of(slave) != 0) {
            std::printf("slave %d: %llu\n", slave,
                        static_cast<unsigned long long>(counts.of(slave)));
        }
    }
    std::printf("total: %llu\n", static_cast<unsigned long long>(counts.total()));
}

}  // namespace

int runRecord(const QStringList& args) {
    const Arguments arguments(
        args, {QStringLiteral("port"), QStringLiteral("slaves"), QStringLiteral("test"),
               QStringLiteral("seconds"), QStringLiteral("home")});
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
            "--test NAME; --seconds S (1 to 2592000) and --home DIR are optional\n",
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
    const SignalPipe interrupts({SIGINT, SIGTERM}, [&loop] { loop.quit(); });
    const AppPaths paths = homePaths(args);
    for (const QString& problem : prepareHome(paths)) {
        std::fprintf(stderr, "vornex-cli record: %s\n", qPrintable(problem));
    }
    // Declared before the session, which reports to the one and draws on the other to its end.
    RecordReporter reporter(slaves->size());
    HeadlessGraph graph;
    std::string testPath;
    bool silentLine = false;
    bool lineStillLost = false;
    {
        AcquisitionSession session(paths.dataFolder.toStdString(), graph);
        session.addObserver(reporter);
        session.proposeName();
        if (const auto added = session.newTest(name); added != TestSession::AddResult::Added) {
            const std::string detail =
                added == TestSession::AddResult::CannotCreate ? session.createError() : name;
            std::fprintf(stderr, "vornex-cli record: %s (%s)\n", refusalText(added),
                         detail.c_str());
            return 2;
        }
        testPath = session.testPath();
        for (int address : *slaves)
            session.addDevice(static_cast<uint8_t>(address));
        // Recording from before the first pass, so every reading the line answers is filed.
        session.initialUpdate();
        session.start();
        switch (session.connect(port.toStdString())) {
            case ConnectResult::Connected:
                break;
            case ConnectResult::InUse:
                std::fprintf(stderr, "vornex-cli record: port %s is in use by another program\n",
                             qPrintable(port));
                return 2;
            case ConnectResult::CannotOpen:
            case ConnectResult::StillStopping:
                std::fprintf(stderr, "vornex-cli record: cannot open port %s\n", qPrintable(port));
                printPortAccessHint(port.toStdString());
                return 2;
        }

        // The deadline is checked whenever the driver advances: a timer's interval cannot hold 30
        // days.
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
        // The last pass ends while still recording, so its readings are filed too; then Stop and
        // Close test, and ending the session writes every point still queued.
        lineStillLost = session.waitingForLine();
        session.finishPolling();
        session.stop();
        session.closeTest();
        session.end();
    }
    if (silentLine) {
        std::fprintf(stderr, "vornex-cli record: no instrument answers on %s\n", qPrintable(port));
        return 2;
    }
    printCounts(testPath);
    if (lineStillLost) {
        std::fprintf(stderr, "vornex-cli record: the line on %s was still lost at the end\n",
                     qPrintable(port));
        return 2;
    }
    return reporter.troubled() ? 2 : 0;
}

}  // namespace vornex::cli
