#pragma once

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/InstrumentFacts.h"
#include "link/Poller.h"
#include "link/PortIdentity.h"
#include "link/TickClock.h"
#include "record/CompanionWriter.h"
#include "record/GraphControl.h"
#include "record/Recorder.h"
#include "record/RecordingSink.h"
#include "record/TestPaths.h"
#include "record/TestSession.h"
#include "session/LineWatch.h"
#include "session/ObserverList.h"
#include "session/SessionObserver.h"
#include "session/SessionState.h"

namespace vornex {

// Clocks and periods of a session; tests replace them.
struct SessionSettings {
    testpaths::WallClock wallClock = testpaths::systemNow;
    TickClock clock;
    std::chrono::milliseconds writePeriod = std::chrono::seconds(1);
};

// One acquisition session: the polling link with its device table and acquisition thread, the
// test that is open, and the recording that takes the thread's samples into the graph's curves
// and the test's file. The window, the command-line tool and the tests drive it the same way and
// hear from it as observers. Every public call belongs to one controlling thread (the window's);
// SessionObserver says which news come from the acquisition and file-writer threads.
class AcquisitionSession : private PollObserver, private RecordingObserver, private AppendObserver {
public:
    // `dataFolder` ends in "/". The graph is drawn on from the controlling thread and must outlive
    // the session.
    AcquisitionSession(std::string dataFolder, GraphControl& graph,
                       SessionSettings settings = SessionSettings());
    // Ends the session as end() does; what could not be written is only told to the observers.
    ~AcquisitionSession() override;
    AcquisitionSession(const AcquisitionSession&) = delete;
    AcquisitionSession& operator=(const AcquisitionSession&) = delete;

    // An observer stays subscribed until it is removed or the session ends; one that goes first
    // removes itself. Neither call may come from inside a notification.
    void addObserver(SessionObserver& observer) { observers_.add(observer); }
    void removeObserver(SessionObserver& observer) { observers_.remove(observer); }

    // Every live value the poller reads, as a number with the poller's time, also while polling
    // and whether or not a test records: a verification run takes its instrument's this way. A
    // sink stays subscribed until it is removed or the session ends; one that goes first removes
    // itself, and is not called again once removeReadingSink() returns.
    void addReadingSink(ReadingSink& sink) { poller_.subscribe(sink); }
    void removeReadingSink(ReadingSink& sink) { poller_.unsubscribe(sink); }

    // What the session does, as its observers last heard it (stateChanged). Controlling thread.
    const SessionState& state() const { return state_; }
    // Acts on the acquisition thread's news (a lost line, polling that ended by itself, a pass)
    // and tells the observers the state when it differs from what they heard last. Every call
    // that changes the session ends with it, tick() and watchLine() too; so may anyone on this
    // thread who heard from the acquisition thread.
    void refreshState();

    // Polling ends and its thread is joined first, so nothing more is queued; then the recording
    // ends and every sample and point still waiting is appended to the test it was taken for,
    // waiting for the disk. Returns the points that could not be written (observers hear of them
    // too). Afterwards only the destructor may follow.
    std::vector<Recorder::Unwritten> end();

    // Link. A running recording never outlives its link: Disconnect and a lost port stop it as
    // Stop does, and a new Connect does not start it again. A lost line is waited for (see
    // watchLine()); the recording it stopped starts again, into the same test, when it is back.
    // Connect ends that wait.
    OpenResult connect(const std::string& port);
    // Polling ends after its pass; no wait. A wait for a lost line ends too.
    void disconnect();
    // While waiting for a lost line, tries its port again, at most every kLineRetry; tick() calls
    // it, and so may anyone on this thread when no tick runs.
    void watchLine();
    bool waitingForLine() const { return lineWatch_.waiting(); }
    static constexpr std::chrono::milliseconds kLineRetry = LineWatch::kRetry;
    // Polling ends after its pass, and this waits for it, while a recording goes on: every reading
    // the pass takes still reaches the test. For a controller that is about to end everything.
    void finishPolling();
    // The connected port left the port list: polling ends after its pass, as on Disconnect,
    // observers hear of a lost port, and the line is waited for.
    void portRemoved();
    // Acts on news of the acquisition thread that belong to this thread: a line lost under a pass
    // stops the recording and is waited for. tick() and connect() call it; so may anyone on this
    // thread.
    void handleLinkNews();
    // True while an acquisition thread exists that has not ended; no Connect or table edit then.
    bool pollingActive() const { return poller_.active(); }
    bool waitPollingEnded(std::chrono::milliseconds timeout) const {
        return poller_.waitStopped(timeout);
    }

    // Device table. Its records are the acquisition thread's; others read the instruments of
    // state(), which every edit publishes.
    TableEdit addDevice(uint8_t address) { return published(poller_.addDevice(address)); }
    TableEdit removeDevice(size_t index) { return published(poller_.removeDevice(index)); }
    TableEdit changeAddress(size_t index, uint8_t address) {
        return published(poller_.changeAddress(index, address));
    }
    size_t deviceCount() const { return poller_.deviceCount(); }
    // What the instrument at `address` of the table said about itself, once it did.
    std::optional<InstrumentFacts> instrumentFacts(uint8_t address) const;
    void setDisplayedAddress(int address) {
        poller_.setDisplayedAddress(address);
        refreshState();
    }
    int displayedAddress() const { return poller_.displayedAddress(); }
    // The merged live read, from the next pass on (Poller::setFastPass).
    void setFastPass(bool on) { poller_.setFastPass(on); }
    bool fastPass() const { return poller_.fastPass(); }

    // Tests. Proposing a name makes sure today's folder exists.
    std::string proposeName() { return test_.proposeName(); }
    TestSession::Addition newTest(const std::string& name);
    // False when no test was open; a running recording ends and its points go to this test, and
    // a wait for a lost line ends.
    bool closeTest();
    // After end(): the test file this session created is removed, with its companion file, when
    // it is closed and holds no reading, so that a recording that never started does not keep its
    // name. False, with nothing removed, when it holds readings or is no longer the file created.
    bool discardUnrecordedTest();
    bool testOpen() const { return test_.isOpen(); }
    const std::string& testPath() const { return test_.currentPath(); }
    const std::string& dataFolder() const { return test_.dataFolder(); }
    // Loads a saved test into the curves; it becomes the current test path.
    FileResult loadTest(const std::string& path);

    // Recording.
    // The graph is (re)shown: slave 1's curve back to its origin, the time axis to 0..20 s.
    void initialUpdate() { recorder_.initialUpdate(); }
    Recorder::StartResult start();
    // Also while waiting for a lost line: the recording it stopped is no longer wanted back.
    void stop();
    // Handles the link's news, then takes every queued sample into the curves and the write
    // queue; every 10 ms while recording.
    size_t tick();
    bool recording() const { return recorder_.signal().recording(); }
    // Clock reading at the first Start of the open test: the zero of its times.
    uint32_t timeBase() const { return recorder_.signal().timeBase(); }
    // Appends everything queued now on this thread, waiting for the disk; false when some points
    // could not be written.
    bool flush() { return recorder_.flush(); }

    const CurveTable& curves() const { return recorder_.curves(); }
    // The open test's companion file of instrument settings and why its last write failed.
    const CompanionWriter& companion() const { return companion_; }
    // Who tests what on which bench: recorded in the companion of the next test that starts.
    void setTestTrace(const TestTrace& trace) { companion_.setTrace(trace); }
    // The user's names of the addresses polled, recorded in the companion file.
    void setInstrumentNames(std::map<int, std::string> names) {
        companion_.setNames(std::move(names));
    }
    uint64_t samplesTaken() const { return recorder_.samplesTaken(); }
    size_t waitingSamples() const { return recordingSink_.samples().size(); }
    size_t queuedPoints() const { return recorder_.queuedPoints(); }

private:
    template <typename Call>
    void notify(Call call) {
        observers_.notify(call);
    }
    SessionState currentState() const;
    // A new link starts without readings.
    void forgetPasses();
    LineState currentLine() const;
    TestState currentTest() const;
    template <typename Result>
    Result published(Result result) {
        refreshState();
        return result;
    }

    // The connected line is gone: waits for it, keeping what the recording wanted.
    void loseLine();
    void endLineWait();
    void tryLineAgain();

    // PollObserver, on the acquisition thread.
    void displayChanged(const std::string& valueText, const std::string& unitText) override;
    void presenceChanged(size_t index, uint8_t address, PresenceState state) override;
    void fastPassRefused(size_t index, uint8_t address) override;
    void passEnded(unsigned pass, const std::vector<RecordSnapshot>& records) override;
    void stoppedOnEmptyTable() override;
    void portLost(const std::string& reason) override;
    void pollingEnded() override;

    // RecordingObserver, on the controlling thread.
    void recordingChanged(RecordingState state) override;
    void pointsUnwritten(const std::string& path, size_t count, const std::string& reason) override;

    // AppendObserver, on the file-writer thread or the controlling thread while it flushes.
    void appendFailed(const std::string& path, const std::string& reason) override;
    void appendRecovered(const std::string& path) override;
    void closedTestWritten(const std::string& path, size_t unwritten) override;

    void tellCompanionNews(CompanionWriter::News news);
    // The test recorded last is over (Stop, closed, another opened, the session ending): once
    // every point it took is in its file, the companion records the file's hash.
    void sealCompanion();

    ObserverList<SessionObserver> observers_;
    // Set by the acquisition thread when the line went away under a pass.
    std::atomic<bool> lineLost_{false};

    // Controlling thread: the port polled now, taken while it is there (a pulled adapter has no
    // by-id name left to find), and a lost line waited for.
    PortIdentity connectedPort_;
    LineWatch lineWatch_;

    // Controlling thread: what the observers heard last, and what the test went through.
    SessionState state_;
    bool testRecorded_ = false;
    bool testClosed_ = false;
    // The acquisition thread ended by itself or after Disconnect; its end is waited for briefly.
    std::atomic<bool> pollingEnded_{false};
    // The records as the last pass since the link opened left them; none before that pass.
    mutable std::mutex passMutex_;
    std::vector<RecordSnapshot> lastPass_;
    bool passSeen_ = false;

    TestSession test_;
    Recorder recorder_;
    // The recording's way in from the poller: declared before it, so that it outlives the
    // acquisition thread.
    RecordingSink recordingSink_{recorder_.signal()};
    Poller poller_;
    CompanionWriter companion_;
};

}  // namespace vornex
