#include "ConsoleStation.h"

#include <QCoreApplication>
#include <QTimer>

#include <cstdio>

#include "LinkMessages.h"
#include "PollerConnect.h"
#include "link/RegisterMap.h"

namespace vornex::cli {

ConsoleStation::ConsoleStation(uint8_t address, const QString& port, bool fastPass)
    : address_(address),
      port_(port),
      identity_(port.toStdString()),
      readings_(address, [this] { wake(); }),
      poller_(TickClock(), *this) {
    // Every live value read is wanted, from the first.
    poller_.subscribe(readings_);
    poller_.addDevice(address_);
    poller_.setFastPass(fastPass);
}

void ConsoleStation::fastPassRefused(size_t, uint8_t address) {
    std::printf("%s\n", fastPassRefusedText(address).c_str());
    std::fflush(stdout);
}

bool ConsoleStation::connect() {
    return connectPoller(poller_, port_, "verify");
}

ConsoleStation::Wait ConsoleStation::waitForInstrument(const std::function<bool()>& interrupted) {
    const DeviceRecord& record = poller_.device(0);
    for (;;) {
        if (interrupted())
            return Wait::Interrupted;
        if (lost_.load())
            return Wait::Lost;
        if (record.presence() == PresenceState::Absent)
            return Wait::Absent;
        if (instrumentFacts(record))
            return Wait::Ready;
        awaitNews();
    }
}

ConsoleStation::Instrument ConsoleStation::instrument() const {
    return instrumentFacts(poller_.device(0)).value_or(Instrument{});
}

void ConsoleStation::awaitNews(std::optional<std::chrono::milliseconds> atMost) {
    QTimer deadline;
    if (atMost) {
        deadline.setSingleShot(true);
        deadline.start(*atMost);
    }
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void ConsoleStation::wake() {
    QMetaObject::invokeMethod(
        &waker_, [] {}, Qt::QueuedConnection);
}

std::optional<verify::Showing> ConsoleStation::showing() const {
    const std::optional<InstrumentFacts> facts = instrumentFacts(poller_.device(0));
    if (!facts)
        return std::nullopt;
    return verify::Showing{
        facts->unit, std::string(regmap::measuringModeName(facts->measuringMode)), facts->decimals};
}

std::optional<std::time_t> ConsoleStation::silentSince() const {
    const std::time_t since = silentSince_.load();
    return since == 0 ? std::nullopt : std::optional<std::time_t>(since);
}

void ConsoleStation::presenceChanged(size_t, uint8_t, PresenceState state) {
    if (state == PresenceState::CommunicationError)
        silentSince_.store(std::time(nullptr));
    else if (state == PresenceState::Identified)
        silentSince_.store(0);
    wake();
}

void ConsoleStation::portLost(const std::string&) {
    lost_.store(true);
    wake();
}

bool ConsoleStation::takeLoss() {
    if (!lost_.load())
        return false;
    poller_.waitStopped();
    lost_.store(false);
    return true;
}

bool ConsoleStation::reopen() {
    if (poller_.open(identity_.current()) != OpenResult::Opened)
        return false;
    poller_.startPolling();
    return true;
}

}  // namespace vornex::cli
