#pragma once

#include <QString>
#include <atomic>
#include <ctime>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "link/InstrumentFacts.h"
#include "link/Poller.h"
#include "link/PortIdentity.h"
#include "link/RecordingSignal.h"
#include "link/Sample.h"
#include "verify/VerificationRun.h"

namespace vornex::cli {

// One reference instrument polled for a verification run: the bench's poller on one address,
// every live value it reads queued with its time. Nothing is written to the instrument.
class VerifyStation : private PollObserver {
public:
    using Instrument = InstrumentFacts;
    enum class Wait { Ready, Absent, Lost, Interrupted };

    VerifyStation(uint8_t address, const QString& port);

    // False after a message on stderr when the port cannot be opened.
    bool connect();
    // Until the instrument is identified and its settings read, it is found absent, the line is
    // lost or `interrupted` says so.
    Wait waitForInstrument(const std::function<bool()>& interrupted);
    Instrument instrument() const;

    // The live values read since the last call, in order.
    std::vector<Sample> takeSamples();
    // How the instrument shows torque, as last read; nothing while that is not known.
    std::optional<verify::Showing> showing() const;
    // Since when the instrument has not answered (the line being there); nothing while it does.
    std::optional<std::time_t> silentSince() const;
    // Whether the line was lost since the last call; polling has then ended.
    bool takeLoss();
    // Opens the line again where it was (or where its adapter came back) and polls on; false
    // while it is not there.
    bool reopen();

private:
    void displayChanged(const std::string&, const std::string&) override {}
    void presenceChanged(size_t, uint8_t, PresenceState state) override;
    void passEnded(unsigned, const std::vector<RecordSnapshot>&) override {}
    void stoppedOnEmptyTable() override {}
    void portLost(const std::string&) override { lost_.store(true); }
    void pollingEnded() override {}

    const uint8_t address_;
    const QString port_;
    const PortIdentity identity_;
    RecordingSignal recording_;
    std::atomic<bool> lost_{false};
    std::atomic<std::time_t> silentSince_{0};
    Poller poller_;
};

}  // namespace vornex::cli
