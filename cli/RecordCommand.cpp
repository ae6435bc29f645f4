#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <mutex>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "i18n/HomeFolder.h"
#include "i18n/Startup.h"
#include "link/Poller.h"
#include "record/HeadlessGraph.h"
#include "record/Recorder.h"
#include "record/TestFile.h"
#include "record/TestSession.h"

namespace vornex::cli {

namespace {

// Says on stderr what went wrong while recording; remembers whether anything did.
class RecordReporter : public PollObserver, public RecordingObserver {
public:
    void displayChanged(const std::string&, const std::string&) override {}
    void presenceChanged(size_t, uint8_t, PresenceState) override {}
    void passEnded(unsigned, const std::vector<RecordSnapshot>&) override {}
    void stoppedOnEmptyTable() override {}
    void pollingEnded() override {}
    void portLost(const std::string& reason) override {
        report("the port was lost (" + reason + "); recording goes on with no readings");
    }

    void toolbarStateChanged(ToolbarState) override {}
    void appendFailed(const std::string& path, const std::string& reason) override {
        report("cannot append to " + path + " (" + reason + "); the points are kept and retried");
    }
    void appendRecovered(const std::string& path) override {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(stderr, "vornex-cli record: appending to %s works again\n", path.c_str());
    }
    void pointsDropped(const std::string& path, size_t count) override {
        report(std::to_string(count) + " points could not be written to " + path);
    }

    bool troubled() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return troubled_;
    }

private:
    void report(const std::string& text) {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(stderr, "vornex-cli record: %s\n", text.c_str());
        troubled_ = true;
    }

    mutable std::mutex mutex_;
    bool troubled_ = false;
};

void printCounts(const std::string& path) {
    std::printf("%s\n", path.c_str());
    // A recording that took no reading leaves no file: nothing was recorded.
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
    const auto seconds = parseCount(arguments.value(QStringLiteral("seconds")));
    if (port.isEmpty() || !slaves || !seconds || !arguments.has(QStringLiteral("test"))) {
        std::fputs(
            "vornex-cli record: needs --port PATH, --slaves with addresses 1 to 30 (1,2,3), "
            "--test NAME and --seconds S (S >= 1); --home DIR is optional\n",
            stderr);
        return 1;
    }
    const std::string name = arguments.value(QStringLiteral("test")).toStdString();
    if (!testpaths::isSafeName(name)) {
        std::fprintf(stderr, "vornex-cli record: %s (%s)\n", TestSession::kBadName, name.c_str());
        return 2;
    }

    const AppPaths paths = homePaths(args);
    for (const QString& problem : prepareHome(paths)) {
        std::fprintf(stderr, "vornex-cli record: %s\n", qPrintable(problem));
    }
    TestSession session(paths.dataFolder.toStdString());
    session.proposeName();
    const TestSession::AddResult added = session.add(name);
    if (added != TestSession::AddResult::Added) {
        std::fprintf(stderr, "vornex-cli record: %s (%s)\n", TestSession::message(added).c_str(),
                     name.c_str());
        return 2;
    }

    RecordReporter reporter;
    HeadlessGraph graph;
    Recorder recorder(graph, session, reporter);
    Poller poller(recorder.signal(), TickClock(), reporter);
    recorder.attachSamples(&poller.samples());
    for (int address : *slaves)
        poller.addDevice(static_cast<uint8_t>(address));
    switch (poller.connect(port.toStdString())) {
        case ConnectResult::Connected:
            break;
        case ConnectResult::InUse:
            std::fprintf(stderr, "vornex-cli record: port %s is in use by another program\n",
                         qPrintable(port));
            return 2;
        case ConnectResult::CannotOpen:
        case ConnectResult::StillStopping:
            std::fprintf(stderr, "vornex-cli record: cannot open port %s\n", qPrintable(port));
            return 2;
    }

    recorder.initialUpdate();
    recorder.start();
    QEventLoop loop;
    QTimer ticker;
    QObject::connect(&ticker, &QTimer::timeout, [&recorder] { recorder.tick(); });
    ticker.start(10);
    QTimer::singleShot(*seconds * 1000, &loop, [&] {
        recorder.stop();
        recorder.closeTest();
        poller.disconnect();
        loop.quit();
    });
    loop.exec();
    ticker.stop();
    poller.waitStopped();
    // Readings taken in the last pass, after the test closed, still belong to it.
    recorder.tick();
    recorder.attachSamples(nullptr);
    const bool flushed = recorder.flush();
    printCounts(session.currentPath());
    return flushed && !reporter.troubled() ? 0 : 2;
}

}  // namespace vornex::cli
