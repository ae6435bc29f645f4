#include <chrono>
#include <cstdio>
#include <mutex>
#include <string>
#include <thread>

#include "Arguments.h"
#include "Commands.h"
#include "LinkMessages.h"
#include "PollerConnect.h"
#include "link/Poller.h"
#include "link/PortIdentity.h"

namespace vornex::cli {

namespace {

constexpr auto kLineRetry = std::chrono::milliseconds(500);

// Prints every record after every pass and asks the poller to stop after the last pass wanted.
class PollPrinter : public PollObserver {
public:
    explicit PollPrinter(unsigned passes) : passes_(passes) {}
    void attach(Poller& poller) { poller_ = &poller; }

    void displayChanged(const std::string&, const std::string&) override {}
    void presenceChanged(size_t, uint8_t, PresenceState) override {}
    void fastPassRefused(size_t, uint8_t address) override {
        std::printf("%s\n", fastPassRefusedText(address).c_str());
        std::fflush(stdout);
    }

    // Passes count on across a lost line: the poller counts each link's passes from 1.
    void passEnded(unsigned, const std::vector<RecordSnapshot>& records) override {
        const unsigned pass = ++passesSeen_;
        if (pass > passes_)
            return;
        for (const RecordSnapshot& r : records) {
            // A communication error is an identified instrument whose reads failed this pass.
            const std::string_view state = r.presence == PresenceState::CommunicationError
                                               ? presenceName(PresenceState::Identified)
                                               : presenceName(r.presence);
            std::printf("%u %u %.*s", pass, r.address, static_cast<int>(state.size()),
                        state.data());
            if (r.hasValue)
                std::printf(" %s %s", r.valueText.c_str(), r.unitText.c_str());
            std::printf("\n");
        }
        std::fflush(stdout);
        if (pass == passes_)
            poller_->disconnect();
    }

    void stoppedOnEmptyTable() override {}

    void portLost(const std::string& reason) override {
        std::lock_guard<std::mutex> lock(mutex_);
        lostReason_ = reason;
    }

    void pollingEnded() override {}

    // Whether the line was lost since the last call.
    bool takeLoss() {
        std::lock_guard<std::mutex> lock(mutex_);
        const bool lost = !lostReason_.empty();
        lostReason_.clear();
        return lost;
    }

private:
    Poller* poller_ = nullptr;
    const unsigned passes_;
    unsigned passesSeen_ = 0;
    mutable std::mutex mutex_;
    std::string lostReason_;
};

}  // namespace

int runPoll(const QStringList& given) {
    QStringList args = given;
    const bool fastPass = args.removeAll(QStringLiteral("--fast-pass")) > 0;
    const Arguments arguments(args, {QStringLiteral("port"), QStringLiteral("slaves"),
                                     QStringLiteral("passes"), QStringLiteral("display")});
    if (!arguments.ok()) {
        std::fprintf(stderr, "vornex-cli poll: %s\n", qPrintable(arguments.error()));
        return 1;
    }
    const QString port = arguments.value(QStringLiteral("port"));
    const auto slaves = parseSlaveList(arguments.value(QStringLiteral("slaves")));
    const auto passes = parseCount(arguments.value(QStringLiteral("passes")));
    if (port.isEmpty() || !slaves || !passes) {
        std::fputs(
            "vornex-cli poll: needs --port PATH, --slaves with addresses 1 to 30 (1,2,3) and "
            "--passes N (N >= 1); --display ADDR and --fast-pass are optional\n",
            stderr);
        return 1;
    }
    int display = slaves->front();
    if (arguments.has(QStringLiteral("display"))) {
        const auto chosen = parseSlaveList(arguments.value(QStringLiteral("display")));
        if (!chosen || chosen->size() != 1) {
            std::fputs("vornex-cli poll: --display takes one address, 1 to 30\n", stderr);
            return 1;
        }
        display = chosen->front();
    }

    PollPrinter printer(static_cast<unsigned>(*passes));
    Poller poller(TickClock(), printer);
    printer.attach(poller);
    for (int address : *slaves)
        poller.addDevice(static_cast<uint8_t>(address));
    poller.setDisplayedAddress(display);
    poller.setFastPass(fastPass);

    if (!connectPoller(poller, port, "poll"))
        return 2;
    // A lost line is waited for, at the same path or, for a USB adapter, wherever it comes back.
    const PortIdentity identity(port.toStdString());
    for (;;) {
        poller.waitStopped();
        if (!printer.takeLoss())
            return 0;
        std::puts("line lost");
        std::fflush(stdout);
        while (poller.open(identity.current()) != OpenResult::Opened)
            std::this_thread::sleep_for(kLineRetry);
        std::puts("line back");
        std::fflush(stdout);
        poller.startPolling();
    }
}

}  // namespace vornex::cli
