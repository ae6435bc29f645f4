#include "record/AcquisitionSession.h"

#include <algorithm>

namespace vornex {

AcquisitionSession::AcquisitionSession(std::string dataFolder, GraphControl& graph,
                                       SessionSettings settings)
    : test_(std::move(dataFolder), std::move(settings.wallClock)),
      recorder_(graph, test_, static_cast<RecordingObserver&>(*this), settings.clock,
                settings.writePeriod),
      poller_(recorder_.signal(), settings.clock, static_cast<PollObserver&>(*this)),
      companion_(settings.clock) {
    recorder_.attachSamples(&poller_.samples());
}

AcquisitionSession::~AcquisitionSession() {
    end();
    recorder_.attachSamples(nullptr);
}

std::vector<Recorder::Unwritten> AcquisitionSession::end() {
    poller_.disconnect();
    poller_.waitStopped();
    return recorder_.finish();
}

void AcquisitionSession::addObserver(SessionObserver& observer) {
    const std::lock_guard<std::mutex> lock(observersMutex_);
    if (std::find(observers_.begin(), observers_.end(), &observer) == observers_.end())
        observers_.push_back(&observer);
}

void AcquisitionSession::removeObserver(SessionObserver& observer) {
    const std::lock_guard<std::mutex> lock(observersMutex_);
    observers_.erase(std::remove(observers_.begin(), observers_.end(), &observer),
                     observers_.end());
}

template <typename Call>
void AcquisitionSession::notify(Call call) {
    const std::lock_guard<std::mutex> lock(observersMutex_);
    for (SessionObserver* observer : observers_)
        call(*observer);
}

ConnectResult AcquisitionSession::connect(const std::string& port) {
    handleLinkNews();
    const ConnectResult result = poller_.connect(port);
    if (result == ConnectResult::Connected)
        notify([](SessionObserver& o) { o.linkConnected(); });
    return result;
}

void AcquisitionSession::disconnect() {
    if (recording())
        recorder_.stop();
    poller_.disconnect();
    notify([](SessionObserver& o) { o.linkDisconnected(); });
}

void AcquisitionSession::finishPolling() {
    poller_.disconnect();
    poller_.waitStopped();
    notify([](SessionObserver& o) { o.linkDisconnected(); });
}

void AcquisitionSession::portRemoved() {
    if (recording())
        recorder_.stop();
    poller_.disconnect();
    notify([](SessionObserver& o) { o.portLost("the port was removed"); });
}

void AcquisitionSession::handleLinkNews() {
    if (lineLost_.exchange(false, std::memory_order_acq_rel) && recording())
        recorder_.stop();
}

size_t AcquisitionSession::tick() {
    handleLinkNews();
    const size_t taken = recorder_.tick();
    if (recording())
        tellCompanionNews(companion_.refresh(poller_, timeBase()));
    return taken;
}

TestSession::AddResult AcquisitionSession::newTest(const std::string& name) {
    const TestSession::AddResult result = test_.add(name);
    if (result != TestSession::AddResult::Added)
        return result;
    // A recording that runs on keeps its time axis; otherwise the new test starts with an empty
    // graph and takes its own time base at its first Start.
    if (!recording())
        recorder_.testOpened();
    notify([this](SessionObserver& o) { o.testOpened(test_.currentPath()); });
    return result;
}

bool AcquisitionSession::closeTest() {
    if (!recorder_.closeTest())
        return false;
    notify([this](SessionObserver& o) { o.testClosed(test_.currentPath()); });
    return true;
}

bool AcquisitionSession::loadTest(const std::string& path, std::string* error) {
    test_.setCurrentPath(path);
    return recorder_.loadFile(path, error);
}

void AcquisitionSession::displayChanged(const std::string& valueText, const std::string& unitText) {
    notify([&](SessionObserver& o) { o.displayChanged(valueText, unitText); });
}

void AcquisitionSession::presenceChanged(size_t index, uint8_t address, PresenceState state) {
    notify([&](SessionObserver& o) { o.presenceChanged(index, address, state); });
}

void AcquisitionSession::passEnded(unsigned pass, const std::vector<RecordSnapshot>& records) {
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
    notify([](SessionObserver& o) { o.pollingEnded(); });
}

void AcquisitionSession::recordingChanged(RecordingState state) {
    if (state == RecordingState::Recording)
        tellCompanionNews(companion_.started(test_.currentPath(), poller_, timeBase()));
    notify([state](SessionObserver& o) { o.recordingChanged(state); });
}

// The companion file's writes fail and recover as appends do.
void AcquisitionSession::tellCompanionNews(CompanionWriter::News news) {
    if (news == CompanionWriter::News::Failed)
        appendFailed(companion_.path(), companion_.error());
    else if (news == CompanionWriter::News::Recovered)
        appendRecovered(companion_.path());
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
