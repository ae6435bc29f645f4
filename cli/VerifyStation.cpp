#include "VerifyStation.h"

#include <QCoreApplication>
#include <thread>

#include "PollerConnect.h"
#include "link/RegisterMap.h"

namespace vornex::cli {

namespace {

constexpr auto kWaitStep = std::chrono::milliseconds(20);

}  // namespace

VerifyStation::VerifyStation(uint8_t address, const QString& port)
    : address_(address),
      port_(port),
      identity_(port.toStdString()),
      poller_(recording_, TickClock(), *this) {
    // Every live value read is wanted, from the first.
    recording_.setTimeBase(TickClock::steadyMilliseconds());
    recording_.setRecording(true);
    poller_.addDevice(address_);
}

bool VerifyStation::connect() {
    return connectPoller(poller_, port_, "verify");
}

VerifyStation::Wait VerifyStation::waitForInstrument(const std::function<bool()>& interrupted) {
    const DeviceRecord& record = poller_.device(0);
    for (;;) {
        QCoreApplication::processEvents();
        if (interrupted())
            return Wait::Interrupted;
        if (lost_.load())
            return Wait::Lost;
        if (record.presence() == PresenceState::Absent)
            return Wait::Absent;
        if (instrumentFacts(record))
            return Wait::Ready;
        std::this_thread::sleep_for(kWaitStep);
    }
}

VerifyStation::Instrument VerifyStation::instrument() const {
    return instrumentFacts(poller_.device(0)).value_or(Instrument{});
}

std::vector<Sample> VerifyStation::takeSamples() {
    std::vector<Sample> samples;
    poller_.samples().drainInto(samples);
    return samples;
}

std::optional<verify::Showing> VerifyStation::showing() const {
    const std::optional<InstrumentFacts> facts = instrumentFacts(poller_.device(0));
    if (!facts)
        return std::nullopt;
    return verify::Showing{
        facts->unit, std::string(regmap::measuringModeName(facts->measuringMode)), facts->decimals};
}

std::optional<std::time_t> VerifyStation::silentSince() const {
    const std::time_t since = silentSince_.load();
    return since == 0 ? std::nullopt : std::optional<std::time_t>(since);
}

void VerifyStation::presenceChanged(size_t, uint8_t, PresenceState state) {
    if (state == PresenceState::CommunicationError)
        silentSince_.store(std::time(nullptr));
    else if (state == PresenceState::Identified)
        silentSince_.store(0);
}

bool VerifyStation::takeLoss() {
    if (!lost_.load())
        return false;
    poller_.waitStopped();
    lost_.store(false);
    return true;
}

bool VerifyStation::reopen() {
    if (poller_.open(identity_.current()) != ConnectResult::Connected)
        return false;
    poller_.startPolling();
    return true;
}

}  // namespace vornex::cli
