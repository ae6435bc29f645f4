#include "SimulatedLine.h"

#include <poll.h>
#include <pthread.h>
#include <sched.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "RequestHandler.h"
#include "RtuFramer.h"
#include "WirePacer.h"

namespace vornex::sim {

namespace {
using Clock = Instrument::Clock;
// 3.5 characters at 19200 baud, 11 bits each.
constexpr timespec kSilence{0, 2005208};
}  // namespace

SimulatedLine::SimulatedLine(SimConfig config)
    : config_(std::move(config)), gatewayDice_(config_.faultSeed) {
    const auto start = Clock::now();
    for (const InstrumentConfig& c : config_.instruments) {
        instruments_.emplace(c.address, Instrument(c, start));
    }
}

SimulatedLine::~SimulatedLine() {
    unplug();
}

bool SimulatedLine::startPty(const std::string& linkPath, std::string& error) {
    std::lock_guard<std::mutex> lock(lifecycleMutex_);
    if (endpoint_) {
        error = "the line is already open";
        return false;
    }
    auto endpoint = SerialEndpoint::openPty(linkPath, error);
    return endpoint && startServing(std::move(endpoint), error);
}

bool SimulatedLine::startDevice(const std::string& path, std::string& error) {
    std::lock_guard<std::mutex> lock(lifecycleMutex_);
    if (endpoint_) {
        error = "the line is already open";
        return false;
    }
    auto endpoint = SerialEndpoint::openDevice(path, error);
    return endpoint && startServing(std::move(endpoint), error);
}

bool SimulatedLine::startServing(std::unique_ptr<SerialEndpoint> endpoint, std::string& error) {
    wakeFd_ = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (wakeFd_ < 0) {
        error = std::string("eventfd: ") + std::strerror(errno);
        return false;
    }
    endpoint_ = std::move(endpoint);
    failure_.clear();
    serving_ = true;
    thread_ = std::thread(&SimulatedLine::serve, this);
    return true;
}

void SimulatedLine::stopServing() {
    if (!thread_.joinable())
        return;
    const uint64_t one = 1;
    (void)!write(wakeFd_, &one, sizeof one);
    thread_.join();
    close(wakeFd_);
    wakeFd_ = -1;
    serving_ = false;
}

void SimulatedLine::stop() {
    std::lock_guard<std::mutex> lock(lifecycleMutex_);
    stopServing();
}

void SimulatedLine::unplug() {
    std::lock_guard<std::mutex> lock(lifecycleMutex_);
    stopServing();
    endpoint_.reset();
}

std::string SimulatedLine::portPath() const {
    std::lock_guard<std::mutex> lock(lifecycleMutex_);
    return endpoint_ ? endpoint_->portPath() : std::string();
}

std::string SimulatedLine::failure() const {
    std::lock_guard<std::mutex> lock(lifecycleMutex_);
    return failure_;
}

std::string SimulatedLine::devicePath() const {
    std::lock_guard<std::mutex> lock(lifecycleMutex_);
    return endpoint_ ? endpoint_->devicePath() : std::string();
}

bool SimulatedLine::changeOnKeypad(int slave, const KeypadChange& change) {
    std::lock_guard<std::mutex> lock(modelMutex_);
    auto it = instruments_.find(slave);
    if (it == instruments_.end())
        return false;
    it->second.changeOnKeypad(change, Clock::now());
    return true;
}

bool SimulatedLine::setLiveValue(int slave, std::optional<float> value) {
    std::lock_guard<std::mutex> lock(modelMutex_);
    auto it = instruments_.find(slave);
    if (it == instruments_.end())
        return false;
    it->second.setFixedValue(value, Clock::now());
    return true;
}

bool SimulatedLine::spike(int slave, float peak, std::chrono::milliseconds length) {
    std::lock_guard<std::mutex> lock(modelMutex_);
    auto it = instruments_.find(slave);
    if (it == instruments_.end())
        return false;
    it->second.spike(peak, length, Clock::now());
    return true;
}

bool SimulatedLine::pull(int slave, float peak, std::chrono::milliseconds rise, bool click) {
    std::lock_guard<std::mutex> lock(modelMutex_);
    auto it = instruments_.find(slave);
    if (it == instruments_.end())
        return false;
    it->second.pull(peak, rise, click, Clock::now());
    return true;
}

bool SimulatedLine::resetHold(int slave) {
    std::lock_guard<std::mutex> lock(modelMutex_);
    auto it = instruments_.find(slave);
    if (it == instruments_.end())
        return false;
    it->second.resetHold(Clock::now());
    return true;
}

bool SimulatedLine::setRange(int slave, float range) {
    std::lock_guard<std::mutex> lock(modelMutex_);
    auto it = instruments_.find(slave);
    if (it == instruments_.end())
        return false;
    it->second.setRange(range);
    return true;
}

std::optional<std::array<uint16_t, regmap::kHoldingRegisterCount>> SimulatedLine::holdingRegisters(
    int slave) const {
    std::lock_guard<std::mutex> lock(modelMutex_);
    auto it = instruments_.find(slave);
    if (it == instruments_.end())
        return std::nullopt;
    return it->second.holdingRegisters();
}

std::optional<regmap::Settings> SimulatedLine::parameterSet(int slave, int modeNumber) const {
    std::lock_guard<std::mutex> lock(modelMutex_);
    auto it = instruments_.find(slave);
    if (it == instruments_.end() || modeNumber < 0 || modeNumber >= regmap::kModeNumberCount) {
        return std::nullopt;
    }
    return it->second.parameterSet(modeNumber);
}

LineCounters SimulatedLine::counters() const {
    LineCounters c;
    c.frames = counters_.frames;
    c.answered = counters_.answered;
    c.exceptions = counters_.exceptions;
    c.dropped = counters_.dropped;
    c.badCrc = counters_.badCrc;
    c.ignored = counters_.ignored;
    c.noiseBytes = counters_.noiseBytes;
    c.portEvents = counters_.portEvents;
    return c;
}

bool SimulatedLine::waitForStop(int stopFd, std::chrono::milliseconds timeout) {
    pollfd p{stopFd, POLLIN, 0};
    return poll(&p, 1, static_cast<int>(timeout.count())) > 0;
}

// What the serving thread keeps between frames.
struct SimulatedLine::ServingState {
    explicit ServingState(uint64_t seed) : dice(seed) {}

    RtuFramer framer;
    WirePacer pacer;
    std::mt19937_64 dice;
    Clock::time_point frameStart{};  // when the request being received began on the wire
    std::string failure;             // set when the line failed
};

void SimulatedLine::handleFrame(ServingState& state, const std::vector<uint8_t>& request) {
    Clock::time_point received = Clock::now();
    if (config_.baudEmulate) {
        received = WirePacer::requestReceived(state.frameStart, request.size());
        WirePacer::sleepUntil(received);
        state.frameStart = received;
    }
    const std::optional<std::vector<uint8_t>> reply =
        answer(request, received, state.dice, wakeFd_);
    if (!reply)
        return;
    const bool sent = config_.baudEmulate
                          ? state.pacer.send(*endpoint_, reply->data(), reply->size(),
                                             std::max(received, Clock::now()))
                          : endpoint_->write(reply->data(), reply->size());
    if (!sent)
        state.failure = std::string("cannot write: ") + std::strerror(errno);
}

std::optional<std::vector<uint8_t>> SimulatedLine::exchangeThroughGateway(
    const std::vector<uint8_t>& request, int stopFd) {
    const std::lock_guard<std::mutex> lock(gatewayMutex_);
    Clock::time_point received = Clock::now();
    if (config_.baudEmulate) {
        received = WirePacer::requestReceived(std::max(received, gatewayLineFree_), request.size());
        WirePacer::sleepUntil(received);
    }
    std::optional<std::vector<uint8_t>> reply = answer(request, received, gatewayDice_, stopFd);
    if (reply && config_.baudEmulate) {
        // The gateway passes the reply on once its last byte has crossed the serial side and the
        // silence after it has told that the frame is complete.
        gatewayLineFree_ = std::max(received, Clock::now()) +
                           WirePacer::kCharTime * static_cast<long>(reply->size()) +
                           WirePacer::kFrameGap;
        WirePacer::sleepUntil(gatewayLineFree_);
    }
    return reply;
}

std::optional<std::vector<uint8_t>> SimulatedLine::answer(const std::vector<uint8_t>& request,
                                                          Clock::time_point received,
                                                          std::mt19937_64& dice, int stopFd) {
    ++counters_.frames;
    const int slave = request[0];
    std::uniform_real_distribution<double> roll{0.0, 1.0};
    std::vector<uint8_t> reply;
    Transaction taken;
    {
        std::lock_guard<std::mutex> lock(modelMutex_);
        auto it = instruments_.find(slave);
        if (it == instruments_.end() || faults_.silent(slave)) {
            ++counters_.ignored;
            return std::nullopt;
        }
        it->second.setSettingsLocked(faults_.settingsLocked(slave));
        it->second.setMergeRefused(faults_.mergeRefused(slave));
        reply = RequestHandler::respond(it->second, request, received, taken);
    }
    const bool isException = taken.fate == ReplyFate::Exception;
    const bool ignored = faults_.takeIgnoreOnce(slave, taken.first, taken.count);
    if (roll(dice) < faults_.dropFraction() || ignored) {
        taken.fate = ReplyFate::Dropped;
    } else if (roll(dice) < faults_.badCrcFraction()) {
        taken.fate = ReplyFate::BadCrc;
        reply.back() ^= 0x5A;
    }
    // Logged before the reply leaves, so whoever has the reply also finds its line.
    log_.append(taken);
    if (taken.fate == ReplyFate::Dropped) {
        ++counters_.dropped;
        return std::nullopt;
    }
    if (const int delay = faults_.delayMs() + faults_.takeLateOnce(slave); delay > 0) {
        if (waitForStop(stopFd, std::chrono::milliseconds(delay)))
            return std::nullopt;
    }
    // Counted before the reply leaves, as it is logged: whoever has the reply also finds it
    // counted. A write that fails ends serving, so a counted reply is one that went out.
    if (taken.fate == ReplyFate::BadCrc)
        ++counters_.badCrc;
    if (isException)
        ++counters_.exceptions;
    ++counters_.answered;
    return reply;
}

void SimulatedLine::serve() {
    if (config_.baudEmulate) {
        // Wire timing is only as good as the wake-ups after each sleep; a real-time priority
        // keeps them prompt on a busy machine. Without the privilege the line still works.
        const sched_param param{10};
        pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
    }
    const int fd = endpoint_->fd();
    ServingState state(config_.faultSeed);
    uint8_t buffer[512];
    while (state.failure.empty()) {
        pollfd fds[3] = {
            {fd, POLLIN, 0}, {wakeFd_, POLLIN, 0}, {endpoint_->clientWatchFd(), POLLIN, 0}};
        const int ready = ppoll(fds, 3, state.framer.pending() ? &kSilence : nullptr, nullptr);
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            state.failure = std::string("poll: ") + std::strerror(errno);
            break;
        }
        if (fds[1].revents)
            break;
        // Before the line: a request of a client that just opened the port comes after its open.
        if (fds[2].revents)
            counters_.portEvents += static_cast<uint64_t>(endpoint_->onClientOpenedOrClosed());
        if (ready == 0) {
            while (auto frame = state.framer.onSilence()) {
                handleFrame(state, *frame);
            }
        } else if (fds[0].revents & POLLIN) {
            const ssize_t n = read(fd, buffer, sizeof buffer);
            if (n < 0 && (errno == EAGAIN || errno == EINTR))
                continue;
            if (n <= 0) {
                state.failure = n == 0 ? std::string("the line was closed")
                                       : std::string("cannot read: ") + std::strerror(errno);
                break;
            }
            if (!state.framer.pending())
                state.frameStart = state.pacer.requestStart(Clock::now());
            state.framer.feed(buffer, static_cast<std::size_t>(n));
            while (state.failure.empty() && !waitForStop(wakeFd_, std::chrono::milliseconds(0))) {
                auto frame = state.framer.takeFrame();
                if (!frame)
                    break;
                handleFrame(state, *frame);
            }
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // The device went away; polling it again would only spin.
            state.failure = "the line hung up";
            break;
        }
        counters_.noiseBytes = state.framer.discardedBytes();
    }
    if (!state.failure.empty()) {
        std::lock_guard<std::mutex> lock(lifecycleMutex_);
        failure_ = state.failure;
    }
    serving_ = false;
}

}  // namespace vornex::sim
