#pragma once

#include <signal.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

class QSocketNotifier;

namespace vornex::cli {

// Turns the given signals into a call of `onSignal` from the event loop of the thread that made
// it, through a pipe that the handler only writes one byte to. One at a time per program; the
// signals get their earlier handling back when it goes.
class SignalPipe {
public:
    SignalPipe(std::initializer_list<int> signalsToCatch, std::function<void()> onSignal);
    ~SignalPipe();
    SignalPipe(const SignalPipe&) = delete;
    SignalPipe& operator=(const SignalPipe&) = delete;

    bool ok() const { return notifier_ != nullptr; }

private:
    void drain();

    int fds_[2] = {-1, -1};
    std::vector<int> signals_;
    std::vector<struct sigaction> previous_;
    std::function<void()> onSignal_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

}  // namespace vornex::cli
