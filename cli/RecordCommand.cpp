#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <mutex>
#include <string>

#include "Arguments.h"
#include "Commands.h"
#include "controls/MessageTexts.h"
#include "i18n/HomeFolder.h"
#include "i18n/Startup.h"
#include "record/AcquisitionSession.h"
#include "record/HeadlessGraph.h"
#include "record/TestFile.h"

namespace vornex::cli {

namespace {

// Says on stderr what went wrong while recording; remembers whether anything did.
class RecordReporter : public SessionObserver {
public:
    void portLost(const std::string& reason) override {
        report("the port was lost (" + reason + "); recording goes on with no readings");
    }
    void appendFailed(const std::string& path, const std::string& reason) override {
        report("cannot append to " + path + " (" + reason + "); the points are kept and retried");
    }
    void appendRecovered(const std::string& path) override {
        std::lock_guard<std::mutex> lock(mutex_);
        std::fprintf(stderr, "vornex-cli record: appending to %s works again\n", path.c_str());
    }
    void pointsUnwritten(const std::string& path, size_t count) override {
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
        std::fprintf(stderr, "vornex-cli record: %s (%s)\n", kTestBadNameText, name.c_str());
        return 2;
    }

    const AppPaths paths = homePaths(args);
    for (const QString& problem : prepareHome(paths)) {
        std::fprintf(stderr, "vornex-cli record: %s\n", qPrintable(problem));
    }
    // Declared before the session, which reports to the one and draws on the other to its end.
    RecordReporter reporter;
    HeadlessGraph graph;
    std::string testPath;
    {
        AcquisitionSession session(paths.dataFolder.toStdString(), graph);
        session.addObserver(reporter);
        session.proposeName();
        switch (session.newTest(name)) {
            case TestSession::AddResult::Added:
                break;
            case TestSession::AddResult::Exists:
                std::fprintf(stderr, "vornex-cli record: %s (%s)\n", kTestExistsText, name.c_str());
                return 2;
            case TestSession::AddResult::BadName:
                std::fprintf(stderr, "vornex-cli record: %s (%s)\n", kTestBadNameText,
                             name.c_str());
                return 2;
        }
        testPath = session.testPath();
        for (int address : *slaves)
            session.addDevice(static_cast<uint8_t>(address));
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
                return 2;
        }

        session.initialUpdate();
        session.start();
        QEventLoop loop;
        QTimer ticker;
        QObject::connect(&ticker, &QTimer::timeout, [&session] { session.tick(); });
        ticker.start(10);
        QTimer::singleShot(*seconds * 1000, &loop, [&] {
            session.stop();
            session.closeTest();
            session.disconnect();
            loop.quit();
        });
        loop.exec();
        // Ending the session waits for the last pass; its readings still belong to the test.
    }
    printCounts(testPath);
    return reporter.troubled() ? 2 : 0;
}

}  // namespace vornex::cli
