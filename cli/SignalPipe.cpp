#include "SignalPipe.h"

#include <fcntl.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <utility>

namespace vornex::cli {

namespace {

volatile std::sig_atomic_t writeEnd = -1;

void writeWakeUp(int) {
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a wake-up; nothing is lost by dropping this one.
    [[maybe_unused]] const ssize_t n = ::write(writeEnd, &byte, 1);
    errno = saved;
}

}  // namespace

SignalPipe::SignalPipe(std::initializer_list<int> signalsToCatch, std::function<void()> onSignal)
    : signals_(signalsToCatch), onSignal_(std::move(onSignal)) {
    if (::pipe2(fds_, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    writeEnd = fds_[1];
    notifier_ = std::make_unique<QSocketNotifier>(fds_[0], QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, [this] { drain(); });
    struct sigaction action {};
    action.sa_handler = writeWakeUp;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    previous_.resize(signals_.size());
    for (size_t i = 0; i < signals_.size(); ++i)
        ::sigaction(signals_[i], &action, &previous_[i]);
}

SignalPipe::~SignalPipe() {
    notifier_.reset();
    for (size_t i = 0; i < previous_.size(); ++i)
        ::sigaction(signals_[i], &previous_[i], nullptr);
    writeEnd = -1;
    for (int fd : fds_) {
        if (fd >= 0)
            ::close(fd);
    }
}

void SignalPipe::drain() {
    char bytes[16];
    while (::read(fds_[0], bytes, sizeof bytes) > 0) {
    }
    onSignal_();
}

}  // namespace vornex::cli
