#include "session/AcquisitionSession.h"

#include <unistd.h>

#include <QUuid>

#include "link/RegisterMap.h"

namespace vornex {

AcquisitionSession::AcquisitionSession(std::string dataFolder, GraphControl& graph,
                                       SessionSettings settings)
    : lineWatch_(settings.wallClock),
      test_(std::move(dataFolder), std::move(settings.wallClock)),
      recorder_(graph, test_, static_cast<RecordingObserver&>(*this),
                static_cast<AppendObserver&>(*this), settings.clock, settings.writePeriod),
      poller_(settings.clock, static_cast<PollObserver&>(*this)),
      companion_(settings.clock) {
    recorder_.attachSamples(&recordingSink_.samples());
    poller_.subscribe(recordingSink_);
}

AcquisitionSession::~AcquisitionSession() {
    end();
    recorder_.attachSamples(nullptr);
}

std::optional<InstrumentFacts> AcquisitionSession::instrumentFacts(uint8_t address) const {
    for (size_t i = 0; i < poller_.deviceCount(); ++i) {
        if (poller_.device(i).address() == address)
            return vornex::instrumentFacts(poller_.device(i));
    }
    return std::nullopt;
}

std::vector<Recorder::Unwritten> AcquisitionSession::end() {
    lineWatch_.end();
    poller_.disconnect();
    poller_.waitStopped();
    std::vector<Recorder::Unwritten> unwritten = recorder_.finish();
    if (unwritten.empty())
        sealCompanion();
    return unwritten;
}

void AcquisitionSession::refreshState() {
    // The acquisition thread sets its end event right after its last notice.
    if (pollingEnded_.exchange(false, std::memory_order_acq_rel))
        poller_.waitStopped(std::chrono::milliseconds(500));
    // Read before the line's news: a thread that ended after a lost line has told it by then.
    const bool active = poller_.active();
    handleLinkNews();
    if (!active && !lineWatch_.waiting())
        connectedPort_ = PortIdentity();
    SessionState state = currentState();
    if (state == state_)
        return;
    state_ = std::move(state);
    notify([this](SessionObserver& o) { o.stateChanged(state_); });
}

LineState AcquisitionSession::currentLine() const {
    if (lineWatch_.waiting())
        return LineState::Waiting;
    const bool active = poller_.active();
    if (connectedPort_.path().empty())
        return active ? LineState::Ending : LineState::None;
    if (!active)
        return LineState::None;
    const std::lock_guard<std::mutex> lock(passMutex_);
    return passSeen_ ? LineState::Polling : LineState::Connecting;
}

TestState AcquisitionSession::currentTest() const {
    if (!test_.isOpen())
        return testClosed_ ? TestState::Closed : TestState::None;
    if (recording() || (lineWatch_.waiting() && lineWatch_.recordingWanted()))
        return TestState::Recording;
    return testRecorded_ ? TestState::Stopped : TestState::Open;
}

SessionState AcquisitionSession::currentState() const {
    SessionState state;
    state.line = currentLine();
    if (state.lineHeld())
        state.port = connectedPort_.path();
    if (state.line == LineState::Waiting)
        state.lostAt = lineWatch_.lostAt();
    state.test = currentTest();
    if (state.testOpen())
        state.testPath = test_.currentPath();
    state.displayedAddress = poller_.displayedAddress();
    std::vector<RecordSnapshot> pass;
    {
        const std::lock_guard<std::mutex> lock(passMutex_);
        pass = lastPass_;
    }
    for (size_t i = 0; i < poller_.deviceCount(); ++i) {
        const DeviceRecord& device = poller_.device(i);
        InstrumentState instrument;
        instrument.address = device.address();
        instrument.presence = device.presence();
        // Index 0 names no unit.
        if (device.unitIndex() > 0)
            instrument.unitText = std::string(regmap::unitName(device.unitIndex()));
        instrument.decimals = device.decimals();
        instrument.fastPassRefused = device.fastPassRefused();
        // A record of the last pass counts only while it is still the same instrument.
        if (state.line == LineState::Polling && i < pass.size() &&
            pass[i].address == instrument.address &&
            pass[i].presence == PresenceState::Identified && pass[i].hasValue &&
            instrument.presence == PresenceState::Identified) {
            instrument.fresh = true;
            instrument.valueText = pass[i].valueText;
        }
        state.instruments.push_back(std::move(instrument));
    }
    return state;
}

void AcquisitionSession::forgetPasses() {
    const std::lock_guard<std::mutex> lock(passMutex_);
    lastPass_.clear();
    passSeen_ = false;
}

OpenResult AcquisitionSession::connect(const std::string& port) {
    handleLinkNews();
    forgetPasses();
    const OpenResult result = poller_.connect(port);
    if (result == OpenResult::Opened) {
        lineWatch_.end();
        connectedPort_ = PortIdentity(port);
        notify([](SessionObserver& o) { o.linkConnected(); });
    }
    refreshState();
    return result;
}

void AcquisitionSession::disconnect() {
    lineWatch_.end();
    connectedPort_ = PortIdentity();
    if (recording())
        recorder_.stop();
    poller_.disconnect();
    notify([](SessionObserver& o) { o.linkDisconnected(); });
    refreshState();
}

void AcquisitionSession::finishPolling() {
    lineWatch_.end();
    connectedPort_ = PortIdentity();
    poller_.disconnect();
    poller_.waitStopped();
    notify([](SessionObserver& o) { o.linkDisconnected(); });
    refreshState();
}

void AcquisitionSession::portRemoved() {
    poller_.disconnect();
    notify([](SessionObserver& o) { o.portLost("the port was removed"); });
    loseLine();
    refreshState();
}

void AcquisitionSession::handleLinkNews() {
    if (lineLost_.exchange(false, std::memory_order_acq_rel))
        loseLine();
}

Recorder::StartResult AcquisitionSession::start() {
    const Recorder::StartResult result = recorder_.start();
    refreshState();
    return result;
}

void AcquisitionSession::stop() {
    lineWatch_.forgetRecording();
    recorder_.stop();
    sealCompanion();
    refreshState();
}

void AcquisitionSession::loseLine() {
    if (lineWatch_.waiting() || connectedPort_.path().empty())
        return;
    const std::time_t at = lineWatch_.lose(recording());
    if (recording())
        recorder_.stop();
    notify([at](SessionObserver& o) { o.lineLost(at); });
}

void AcquisitionSession::endLineWait() {
    if (!lineWatch_.waiting())
        return;
    lineWatch_.end();
    connectedPort_ = PortIdentity();
    notify([](SessionObserver& o) { o.linkDisconnected(); });
}

void AcquisitionSession::watchLine() {
    handleLinkNews();
    if (!poller_.active() && lineWatch_.due())
        tryLineAgain();
    refreshState();
}

// The recording starts before the first pass, so that every reading the line answers is filed.
void AcquisitionSession::tryLineAgain() {
    const std::string port = connectedPort_.current();
    // A gateway is opened on this thread only once it takes connections again.
    if (!lineWatch_.reachable(port))
        return;
    forgetPasses();
    if (poller_.open(port) != OpenResult::Opened)
        return;
    const double without = lineWatch_.back();
    connectedPort_ = PortIdentity(port);
    notify([](SessionObserver& o) { o.linkConnected(); });
    if (lineWatch_.recordingWanted() && !recording() && test_.isOpen())
        recorder_.start();
    poller_.startPolling();
    const std::time_t at = lineWatch_.now();
    notify([&](SessionObserver& o) { o.lineBack(at, without, port); });
}

size_t AcquisitionSession::tick() {
    watchLine();
    const size_t taken = recorder_.tick();
    if (recording())
        tellCompanionNews(companion_.refresh(poller_, timeBase()));
    return taken;
}

TestSession::Addition AcquisitionSession::newTest(const std::string& name) {
    const TestSession::Addition result = test_.add(name);
    if (result != TestSession::AddResult::Added)
        return result;
    sealCompanion();
    companion_.setTestId(QUuid::createUuid().toString(QUuid::WithoutBraces).toStdString());
    // A recording that runs on keeps its time axis; otherwise the new test starts with an empty
    // graph and takes its own time base at its first Start.
    if (!recording()) {
        recorder_.testOpened();
        testRecorded_ = false;
    }
    testClosed_ = false;
    notify([this](SessionObserver& o) { o.testOpened(test_.currentPath()); });
    refreshState();
    return result;
}

bool AcquisitionSession::closeTest() {
    if (!recorder_.closeTest())
        return false;
    sealCompanion();
    endLineWait();
    testRecorded_ = false;
    testClosed_ = true;
    notify([this](SessionObserver& o) { o.testClosed(test_.currentPath()); });
    refreshState();
    return true;
}

bool AcquisitionSession::discardUnrecordedTest() {
    if (poller_.active() || recorder_.queuedPoints() != 0 || !test_.removeIfEmpty())
        return false;
    // A companion file left behind would not keep the name: the next test of that name replaces
    // it whole.
    if (companion_.path() == companionPath(test_.currentPath()))
        ::unlink(companion_.path().c_str());
    return true;
}

FileResult AcquisitionSession::loadTest(const std::string& path) {
    sealCompanion();
    test_.setCurrentPath(path);
    FileResult loaded = recorder_.loadFile(path);
    // A loaded test is shown as a closed one is: free to zoom, measure and print, line or none.
    if (loaded && !test_.isOpen()) {
        testClosed_ = true;
        refreshState();
    }
    return loaded;
}

void AcquisitionSession::displayChanged(const std::string& valueText, const std::string& unitText) {
    notify([&](SessionObserver& o) { o.displayChanged(valueText, unitText); });
}

void AcquisitionSession::presenceChanged(size_t index, uint8_t address, PresenceState state) {
    notify([&](SessionObserver& o) { o.presenceChanged(index, address, state); });
}

void AcquisitionSession::fastPassRefused(size_t index, uint8_t address) {
    notify([&](SessionObserver& o) { o.fastPassRefused(index, address); });
}

void AcquisitionSession::passEnded(unsigned pass, const std::vector<RecordSnapshot>& records) {
    {
        const std::lock_guard<std::mutex> lock(passMutex_);
        lastPass_ = records;
        passSeen_ = true;
    }
    notify([&](SessionObserver& o) { o.passEnded(pass, records); });
}

void AcquisitionSession::stoppedOnEmptyTable() {
    notify([](SessionObserver& o) { o.stoppedOnEmptyTable(); });
}

void AcquisitionSession::portLost(const std::string& reason) {
    lineLost_.store(true, std::memory_order_release);
    notify([&](SessionObserver& o) { o.portLost(reason); });
}

void AcquisitionSession::pollingEnded() {
    pollingEnded_.store(true, std::memory_order_release);
    notify([](SessionObserver& o) { o.pollingEnded(); });
}

void AcquisitionSession::recordingChanged(RecordingState state) {
    if (state == RecordingState::Recording) {
        testRecorded_ = true;
        tellCompanionNews(companion_.started(test_.currentPath(), poller_, timeBase()));
    }
    notify([state](SessionObserver& o) { o.recordingChanged(state); });
}

// The companion file's writes fail and recover as appends do.
void AcquisitionSession::tellCompanionNews(CompanionWriter::News news) {
    if (news == CompanionWriter::News::Failed)
        appendFailed(companion_.path(), companion_.lastWrite().text);
    else if (news == CompanionWriter::News::Recovered)
        appendRecovered(companion_.path());
}

// Hashing waits for the disk once, for the last second's points; a recording that goes on into
// another test is sealed at its own end.
void AcquisitionSession::sealCompanion() {
    if (recording() && companion_.path() == companionPath(test_.currentPath()))
        return;
    if (recorder_.flush())
        tellCompanionNews(companion_.closed());
}

void AcquisitionSession::appendFailed(const std::string& path, const std::string& reason) {
    notify([&](SessionObserver& o) { o.appendFailed(path, reason); });
}

void AcquisitionSession::appendRecovered(const std::string& path) {
    notify([&](SessionObserver& o) { o.appendRecovered(path); });
}

void AcquisitionSession::closedTestWritten(const std::string& path, size_t unwritten) {
    notify([&](SessionObserver& o) { o.closedTestWritten(path, unwritten); });
}

void AcquisitionSession::pointsUnwritten(const std::string& path, size_t count,
                                         const std::string& reason) {
    notify([&](SessionObserver& o) { o.pointsUnwritten(path, count, reason); });
}

}  // namespace vornex
