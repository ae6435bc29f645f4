#include <gtest/gtest.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "PollRecorder.h"
#include "Pty.h"
#include "link/Poller.h"
#include "link/RegisterMap.h"
#include "sim/Crc16.h"

namespace vornex {
namespace {

// One instrument at address 1 on the master side of a pty that reports its settings changed
// (status 5) once identified, and leaves the first read of the mode number after that unanswered.
class ForgetfulInstrument {
public:
    explicit ForgetfulInstrument(int master) : master_(master), thread_([this] { serve(); }) {}
    ~ForgetfulInstrument() { stop(); }

    // Ends serving without closing the descriptor under the serving thread's feet.
    void stop() {
        stopping_ = true;
        if (thread_.joinable())
            thread_.join();
    }

    std::vector<int> functionsSeen() {
        std::lock_guard<std::mutex> lock(mutex_);
        return functions_;
    }

private:
    // Reads a whole request. The link closes and reopens the slave side while it connects, which
    // the master sees as a hang-up for a moment: keep waiting until told to stop.
    bool readExactly(uint8_t* data, size_t size) {
        for (size_t got = 0; got < size;) {
            if (stopping_)
                return false;
            pollfd ready{master_, POLLIN, 0};
            if (::poll(&ready, 1, 20) <= 0)
                continue;
            if ((ready.revents & POLLIN) == 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(5));
                continue;
            }
            const ssize_t n = ::read(master_, data + got, size - got);
            if (n > 0)
                got += static_cast<size_t>(n);
        }
        return true;
    }

    void serve() {
        bool raised = false, modeReadDropped = false;
        std::vector<uint8_t> frame(2);
        while (readExactly(frame.data(), 2)) {
            const uint8_t function = frame[1];
            // Report Slave ID carries no register fields.
            const bool reportId = function == 0x11;
            frame.resize(reportId ? 4 : 8);
            if (!readExactly(frame.data() + 2, frame.size() - 2))
                return;
            const int first = reportId ? 0 : (frame[2] << 8) | frame[3];
            const int count = reportId ? 0 : (frame[4] << 8) | frame[5];
            {
                std::lock_guard<std::mutex> lock(mutex_);
                functions_.push_back(function);
            }
            // The settings change on the keypad once the instrument has been identified.
            if (function == 0x04 && first == regmap::kInLiveValue && !raised) {
                raised = true;
                status_ = regmap::kStatusSettingsChanged;
            }
            std::vector<uint8_t> reply;
            if (reportId) {
                reply = {1, function, 2, 0x56, 0xFF};
            } else if (function == 0x06) {
                reply = frame;
                reply.resize(6);
                if (first == regmap::kHoldStatus)
                    status_ = static_cast<uint16_t>(count);
            } else if (function == 0x03 && first == regmap::kHoldModeNumber && raised &&
                       !modeReadDropped) {
                modeReadDropped = true;
                frame.resize(2);
                continue;
            } else {
                reply = {1, function, static_cast<uint8_t>(2 * count)};
                for (int i = 0; i < count; ++i) {
                    const uint16_t value = function == 0x03 && first + i == 0 ? status_ : 0;
                    reply.push_back(static_cast<uint8_t>(value >> 8));
                    reply.push_back(static_cast<uint8_t>(value));
                }
            }
            sim::appendCrc(reply);
            if (::write(master_, reply.data(), reply.size()) < 0)
                return;
            frame.resize(2);
        }
    }

    int master_;
    std::atomic<bool> stopping_{false};
    uint16_t status_ = 0;
    std::mutex mutex_;
    std::vector<int> functions_;
    std::thread thread_;
};

TEST(SettingsHandshake, ChangedSettingsAreAcknowledgedOnlyOnceTheyWereRead) {
    test::Pty pty;
    ASSERT_TRUE(pty.ok());
    ForgetfulInstrument instrument(pty.master());
    RecordingSignal recording;
    test::PollRecorder seen;
    Poller poller(recording, TickClock(), seen);
    poller.addDevice(1);
    seen.onPassEnded = [&](unsigned pass) {
        if (pass == 3)
            poller.disconnect();
    };
    ASSERT_EQ(poller.connect(pty.path()), ConnectResult::Connected);
    ASSERT_TRUE(poller.waitStopped(std::chrono::seconds(30)));
    instrument.stop();

    // Pass 1 identifies; pass 2 reads status 5 but loses the mode number, so it writes nothing;
    // pass 3 reads status 5 again, reads the settings and acknowledges.
    const std::vector<int> expected = {17, 4, 4, 4, 3, 3,  //
                                       4,  4, 4, 3, 3, 3,  //
                                       4,  4, 4, 3, 3, 3, 6};
    EXPECT_EQ(instrument.functionsSeen(), expected);
}

}  // namespace
}  // namespace vornex
