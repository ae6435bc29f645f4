#pragma once

#include <QObject>
#include <QString>
#include <atomic>
#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/InstrumentFacts.h"
#include "link/Poller.h"
#include "link/PortIdentity.h"
#include "link/ReadingQueue.h"
#include "link/Sample.h"
#include "verify/VerificationRun.h"

namespace vornex::cli {

// One reference instrument polled for a verification run: the bench's poller on one address,
// every live value it reads queued with the poller's time. Nothing is written to the instrument.
// The acquisition thread's news and readings wake this thread's event loop.
class ConsoleStation : private PollObserver {
public:
    using Instrument = InstrumentFacts;
    enum class Wait { Ready, Absent, Lost, Interrupted };

    // With `fastPass`, the instrument's live block is read with one request where it takes it.
    ConsoleStation(uint8_t address, const QString& port, bool fastPass = false);

    // False after a message on stderr when the port cannot be opened.
    bool connect();
    // Until the instrument is identified and its settings read, it is found absent, the line is
    // lost or `interrupted` says so.
    Wait waitForInstrument(const std::function<bool()>& interrupted);
    Instrument instrument() const;

    // Runs the event loop until the acquisition thread has news (a reading, a pass, a presence, a
    // lost line), an event of this thread was handled (a signal) or `atMost` passed.
    void awaitNews(std::optional<std::chrono::milliseconds> atMost = std::nullopt);

    // The live values read since the last call, in order.
    std::vector<Sample> takeSamples() { return readings_.take(); }
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
    // Acquisition thread.
    void wake();
    void displayChanged(const std::string&, const std::string&) override {}
    void presenceChanged(size_t, uint8_t, PresenceState state) override;
    void fastPassRefused(size_t, uint8_t address) override;
    void passEnded(unsigned, const std::vector<RecordSnapshot>&) override { wake(); }
    void stoppedOnEmptyTable() override { wake(); }
    void portLost(const std::string&) override;
    void pollingEnded() override { wake(); }

    const uint8_t address_;
    const QString port_;
    const PortIdentity identity_;
    // Receives the wake-ups on this thread.
    QObject waker_;
    std::atomic<bool> lost_{false};
    std::atomic<std::time_t> silentSince_{0};
    // Before the poller, so that both outlive the acquisition thread.
    ReadingQueue readings_;
    Poller poller_;
};

}  // namespace vornex::cli
