#include "VerifyStation.h"

#include <QCoreApplication>
#include <algorithm>
#include <thread>

#include "PollerConnect.h"
#include "link/NumberText.h"
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
        if (record.presence() == PresenceState::Identified && record.hasValue() &&
            record.publishedSettings().known)
            return Wait::Ready;
        std::this_thread::sleep_for(kWaitStep);
    }
}

VerifyStation::Instrument VerifyStation::instrument() const {
    const DeviceRecord& record = poller_.device(0);
    const DeviceRecord::PublishedSettings published = record.publishedSettings();
    const regmap::Settings settings = regmap::Settings::decode(published.settings.data());
    Instrument i;
    i.unit = std::string(regmap::unitName(settings.unit));
    i.measuringMode = settings.measuringMode;
    i.decimals = std::min<int>(record.decimals(), kMaxShownDecimals);
    i.range = published.range;
    i.identification = QByteArray(reinterpret_cast<const char*>(published.identification.data()),
                                  static_cast<qsizetype>(published.identification.size()))
                           .toHex()
                           .toStdString();
    return i;
}

std::vector<Sample> VerifyStation::takeSamples() {
    std::vector<Sample> samples;
    poller_.samples().drainInto(samples);
    return samples;
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
