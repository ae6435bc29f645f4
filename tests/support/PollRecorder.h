#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "link/PollObserver.h"

namespace vornex::test {

// Keeps everything the acquisition thread reports and lets the test wait for it.
class PollRecorder : public PollObserver {
public:
    struct Display {
        std::string value, unit;
    };

    // Runs on the acquisition thread at the end of each pass, before the recorder notes it.
    std::function<void(unsigned pass)> onPassEnded;

    void displayChanged(const std::string& value, const std::string& unit) override {
        note([&] { displays.push_back({value, unit}); });
    }
    void presenceChanged(size_t, uint8_t, PresenceState) override {}
    void fastPassRefused(size_t, uint8_t address) override {
        note([&] { refused.push_back(address); });
    }
    void passEnded(unsigned pass, const std::vector<RecordSnapshot>& records) override {
        if (onPassEnded)
            onPassEnded(pass);
        note([&] {
            passes = pass;
            last = records;
        });
    }
    void stoppedOnEmptyTable() override {
        note([&] { ++emptyTableStops; });
    }
    void portLost(const std::string& reason) override {
        note([&] { lost.push_back(reason); });
    }
    void pollingEnded() override {
        note([&] { ++ended; });
    }

    // Waits until `done` holds for the recorded state (under the lock); false on timeout.
    template <typename Condition>
    bool waitFor(Condition done, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        std::unique_lock<std::mutex> lock(mutex);
        return changed.wait_for(lock, timeout, done);
    }
    bool waitForPass(unsigned pass) {
        return waitFor([&] { return passes >= pass; });
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Display> displays;
    unsigned passes = 0;
    std::vector<RecordSnapshot> last;
    int emptyTableStops = 0;
    std::vector<std::string> lost;
    std::vector<uint8_t> refused;  // addresses that refused the fast pass, as told
    int ended = 0;

private:
    template <typename Change>
    void note(Change change) {
        {
            std::lock_guard<std::mutex> lock(mutex);
            change();
        }
        changed.notify_all();
    }
};

}  // namespace vornex::test
