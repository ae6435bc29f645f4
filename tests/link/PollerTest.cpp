#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <tuple>

#include "LineFixture.h"
#include "PollRecorder.h"
#include "ReadingLog.h"
#include "Wait.h"
#include "link/Poller.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

// The function, first register and register count of a request.
using Request = std::tuple<int, int, int>;

const std::vector<Request> kIdentification = {{17, 0, 0},   {4, 1002, 2}, {4, 1005, 6},
                                              {4, 1011, 2}, {3, 1, 1},    {3, 2, 4}};
const std::vector<Request> kLivePass = {{4, 1000, 2}, {4, 1004, 1}, {4, 1005, 1}, {3, 0, 1}};

constexpr uint32_t kNow = 500u;

// Instruments 1 (live value 20) and 2 (live value 30) on a simulated line; address 5 stays silent.
class PollerTest : public ::testing::Test {
protected:
    PollerTest()
        : line_(test::lineOf({test::instrument(1, 20.0f, 2), test::instrument(2, 30.0f, 2),
                              test::instrument(5, 30.0f, 2)})),
          poller_(TickClock([] { return kNow; }), seen_) {
        poller_.subscribe(readings_);
    }

    void SetUp() override {
        std::string error;
        ASSERT_TRUE(line_.startPty("", error)) << error;
        line_.faults().setSilent(5, true);
    }

    std::vector<Request> requestsOf(int slave) {
        std::vector<Request> requests;
        for (const sim::Transaction& t : line_.log().entries()) {
            if (t.slave == slave)
                requests.push_back({t.function, t.first, t.count});
        }
        return requests;
    }

    // Connects, lets `passes` passes run and waits for the thread to end.
    void pollPasses(unsigned passes) {
        seen_.onPassEnded = [this, passes](unsigned pass) {
            if (pass == passes)
                poller_.disconnect();
        };
        runToStop(30);
        EXPECT_EQ(seen_.passes, passes);
    }
    // Connects and waits for the thread to end (onPassEnded says when).
    void runToStop(int timeoutSeconds) {
        ASSERT_EQ(poller_.connect(line_.portPath()), OpenResult::Opened);
        ASSERT_TRUE(poller_.waitStopped(seconds(timeoutSeconds)));
    }
    // The requests of one live pass, then `more`.
    static std::vector<Request> livePassThen(std::initializer_list<Request> more) {
        std::vector<Request> requests = kLivePass;
        requests.insert(requests.end(), more);
        return requests;
    }

    sim::SimulatedLine line_;
    test::ReadingLog readings_{false};
    test::PollRecorder seen_;
    Poller poller_;
};

TEST_F(PollerTest, IdentifiesOnceThenReadsFourRegistersPerPassAndNeverAsksAnAbsentOneAgain) {
    // An empty table ends polling at once, without traffic.
    runToStop(10);
    EXPECT_EQ(seen_.emptyTableStops, 1);
    EXPECT_EQ(seen_.passes, 0u);
    EXPECT_EQ(line_.counters().frames, 0u);

    poller_.addDevice(1);
    poller_.addDevice(5);
    pollPasses(3);

    std::vector<Request> expected = kIdentification;
    for (int pass = 2; pass <= 3; ++pass)
        expected.insert(expected.end(), kLivePass.begin(), kLivePass.end());
    EXPECT_EQ(requestsOf(1), expected);
    EXPECT_EQ(line_.counters().ignored, 1u);
    EXPECT_EQ(poller_.device(1).presence(), PresenceState::Absent);

    pollPasses(1);
    EXPECT_EQ(line_.counters().ignored, 1u);
    EXPECT_EQ(poller_.device(1).presence(), PresenceState::Absent);
}

// Settings changed on the keypad are acknowledged only once they were read: a pass that loses the
// mode number asks nothing more of the instrument and writes nothing; the next reads status 5
// again, reads the settings and acknowledges.
TEST_F(PollerTest, SettingsChangedOnTheInstrumentAreAcknowledgedOnlyOnceTheyWereRead) {
    poller_.addDevice(1);
    poller_.setDisplayedAddress(1);
    seen_.onPassEnded = [this](unsigned pass) {
        if (pass == 2) {
            line_.changeOnKeypad(1, test::unitChange(3));
            line_.faults().setIgnoreOnce(1, regmap::kHoldModeNumber);
            line_.log().clear();
        }
        if (pass == 4)
            poller_.disconnect();
    };
    runToStop(30);

    std::vector<Request> expected = livePassThen({{3, 1, 1}});
    // A changed unit is believed once the settings read again agree.
    for (const Request& r : livePassThen({{3, 1, 1}, {3, 2, 4}, {3, 2, 4}, {6, 0, 1}}))
        expected.push_back(r);
    EXPECT_EQ(requestsOf(1), expected);
    EXPECT_EQ(line_.counters().dropped, 1u);
    EXPECT_EQ(line_.holdingRegisters(1).value()[regmap::kHoldStatus], regmap::kStatusAcknowledged);
    ASSERT_FALSE(seen_.displays.empty());
    EXPECT_EQ(seen_.displays.front().value, "20.00");
    EXPECT_EQ(seen_.displays.back().unit, "ft.lbf");
    // An unchanged text is not reported again.
    EXPECT_EQ(seen_.displays.size(), 2u);
}

TEST_F(PollerTest, DisconnectDuringAPassLetsThePassFinish) {
    poller_.addDevice(1);
    poller_.addDevice(2);
    line_.faults().setDelayMs(30);
    ASSERT_EQ(poller_.connect(line_.portPath()), OpenResult::Opened);
    ASSERT_TRUE(seen_.waitForPass(1));
    const size_t before = line_.log().size();
    ASSERT_TRUE(test::waitUntil([&] { return line_.log().size() > before; }));
    poller_.disconnect();
    ASSERT_TRUE(poller_.waitStopped(seconds(30)));
    EXPECT_EQ(seen_.passes, 2u);
    EXPECT_EQ(line_.log().size(), before + 2 * kLivePass.size());
    EXPECT_EQ(seen_.ended, 1);
    EXPECT_EQ(seen_.emptyTableStops, 0);
}

TEST_F(PollerTest, ASinkTakesOneReadingPerInstrumentAndPassOnlyForValuesThatArrived) {
    poller_.addDevice(1);
    poller_.addDevice(2);
    pollPasses(2);
    EXPECT_TRUE(readings_.taken().empty());

    readings_.on = true;
    PresenceState failingState = PresenceState::Identified;
    seen_.onPassEnded = [&](unsigned pass) {
        if (pass == 1)
            line_.faults().setSilent(2, true);  // every read of 2 fails in pass 2
        if (pass == 2) {
            failingState = poller_.device(1).presence();
            line_.faults().setSilent(2, false);
        }
        if (pass == 3)
            poller_.disconnect();
    };
    runToStop(60);

    const std::vector<LiveReading> readings = readings_.taken();
    ASSERT_EQ(readings.size(), 5u);
    const std::vector<int> order = {1, 2, 1, 1, 2};
    for (size_t i = 0; i < readings.size(); ++i) {
        EXPECT_EQ(readings[i].address, order[i]);
        EXPECT_EQ(readings[i].value, order[i] == 1 ? 20.0f : 30.0f);
        EXPECT_EQ(readings[i].tick, kNow);
    }
    EXPECT_EQ(failingState, PresenceState::CommunicationError);
    EXPECT_EQ(poller_.device(1).presence(), PresenceState::Identified);
}

TEST_F(PollerTest, DroppedRepliesAndBadChecksumsLeaveNoWrongValueBehind) {
    poller_.addDevice(1);
    poller_.addDevice(2);
    pollPasses(1);  // identified on a clean line: a lost presence check would mark one absent
    readings_.on = true;
    line_.faults().setDropFraction(0.2);
    line_.faults().setBadCrcFraction(0.3);
    seen_.onPassEnded = [this](unsigned pass) {
        if (pass == 4) {
            line_.faults().setDropFraction(0.0);
            line_.faults().setBadCrcFraction(0.0);
        }
        if (pass == 8)
            poller_.disconnect();
    };
    runToStop(120);

    EXPECT_GT(line_.counters().dropped + line_.counters().badCrc, 0u);
    const std::vector<LiveReading> readings = readings_.taken();
    ASSERT_FALSE(readings.empty());
    for (const LiveReading& r : readings)
        EXPECT_EQ(r.value, r.address == 1 ? 20.0f : 30.0f);
    ASSERT_EQ(seen_.last.size(), 2u);
    EXPECT_EQ(seen_.last[0].valueText, "20.00");
    EXPECT_EQ(seen_.last[1].valueText, "30.00");
    EXPECT_EQ(seen_.last[1].presence, PresenceState::Identified);
}

TEST_F(PollerTest, AnUnpluggedLineEndsPollingOnceWithoutSpinning) {
    poller_.addDevice(1);
    seen_.onPassEnded = [this](unsigned pass) {
        if (pass == 2)
            line_.unplug();
    };
    runToStop(10);
    EXPECT_EQ(seen_.passes, 2u);
    EXPECT_EQ(seen_.lost.size(), 1u);
    EXPECT_EQ(poller_.device(0).presence(), PresenceState::Identified);
}

TEST_F(PollerTest, TheTableAndTheLinkStayUntouchedWhileAThreadRuns) {
    poller_.addDevice(1);
    std::atomic<bool> inPass{false}, release{false};
    seen_.onPassEnded = [&](unsigned) {
        poller_.disconnect();
        inPass = true;
        while (!release)
            std::this_thread::sleep_for(milliseconds(1));
    };
    ASSERT_EQ(poller_.connect(line_.portPath()), OpenResult::Opened);
    ASSERT_TRUE(test::waitUntil([&] { return inPass.load(); }));

    EXPECT_EQ(poller_.connect(line_.portPath()), OpenResult::StillStopping);
    EXPECT_EQ(poller_.addDevice(2), TableEdit::RefusedWhilePolling);
    EXPECT_EQ(poller_.removeDevice(0), TableEdit::RefusedWhilePolling);
    EXPECT_EQ(poller_.deviceCount(), 1u);
    Poller other(TickClock(), seen_);
    EXPECT_EQ(other.connect(line_.portPath()), OpenResult::InUse);

    release = true;
    ASSERT_TRUE(poller_.waitStopped(seconds(10)));
    EXPECT_EQ(poller_.addDevice(2), TableEdit::Done);
    EXPECT_EQ(poller_.removeDevice(1), TableEdit::Done);
    EXPECT_EQ(poller_.removeDevice(1), TableEdit::NoSuchRecord);
}

TEST_F(PollerTest, AnAddressEditedWhilePollingMakesANewInstrumentToIdentify) {
    poller_.addDevice(1);
    ASSERT_EQ(poller_.connect(line_.portPath()), OpenResult::Opened);
    ASSERT_TRUE(seen_.waitForPass(2));

    ASSERT_EQ(poller_.changeAddress(0, 9), TableEdit::Done);
    EXPECT_TRUE(seen_.waitFor([&] {
        return seen_.last.size() == 1 && seen_.last[0].address == 9 &&
               seen_.last[0].presence == PresenceState::Absent;
    }));
    ASSERT_EQ(poller_.changeAddress(0, 2), TableEdit::Done);
    EXPECT_TRUE(seen_.waitFor([&] {
        return seen_.last[0].address == 2 && seen_.last[0].presence == PresenceState::Identified &&
               seen_.last[0].valueText == "30.00";
    }));
    poller_.disconnect();
    ASSERT_TRUE(poller_.waitStopped(seconds(10)));
}

// A switched-off instrument costs one unanswered request per pass; the working ones beside it get
// a reading in every pass, and Disconnect ends polling after at most one more pass.
TEST_F(PollerTest, ASilentInstrumentCostsOneRequestPerPass) {
    for (const uint8_t address : {uint8_t{1}, uint8_t{2}, uint8_t{5}})
        poller_.addDevice(address);
    line_.faults().setSilent(5, false);
    pollPasses(1);
    ASSERT_EQ(poller_.device(2).presence(), PresenceState::Identified);

    line_.faults().setSilent(5, true);
    line_.log().clear();
    const uint64_t ignored = line_.counters().ignored;
    std::atomic<unsigned> stopAsked{0};
    seen_.onPassEnded = [&](unsigned pass) {
        if (pass == 4) {
            poller_.disconnect();
            stopAsked = pass;
        }
    };
    runToStop(60);
    EXPECT_LE(seen_.passes, stopAsked + 1);

    const auto liveReads = [&](int slave) {
        const std::vector<Request> requests = requestsOf(slave);
        return static_cast<unsigned>(std::count(requests.begin(), requests.end(), kLivePass[0]));
    };
    EXPECT_EQ(liveReads(1), seen_.passes);
    EXPECT_EQ(liveReads(2), seen_.passes);
    EXPECT_EQ(line_.counters().ignored - ignored, seen_.passes);
    EXPECT_EQ(poller_.device(2).presence(), PresenceState::CommunicationError);
}

// Settings lost at identification are read on the next pass, not only when the instrument
// announces a change.
TEST_F(PollerTest, ASettingsReadLostAtIdentificationIsRetried) {
    poller_.addDevice(1);
    line_.faults().setIgnoreOnce(1, regmap::kHoldSettings);
    pollPasses(1);
    ASSERT_EQ(seen_.last.size(), 1u);
    EXPECT_EQ(seen_.last[0].presence, PresenceState::Identified);
    EXPECT_EQ(seen_.last[0].unitText, "None");

    line_.log().clear();
    pollPasses(1);
    const std::string unit(regmap::unitName(line_.parameterSet(1, 0)->unit));
    EXPECT_NE(unit, "None");
    EXPECT_EQ(seen_.last[0].unitText, unit);
    EXPECT_EQ(requestsOf(1), livePassThen({{3, 1, 1}, {3, 2, 4}}));
}

// What reads an instrument's facts the moment its first value is out (a verification takes its
// decimals then) must not see that value without its decimals: a pass that breaks off before
// its decimals are read publishes no value, the next one publishes it with them.
TEST_F(PollerTest, TheFirstValueIsPublishedWithTheDecimalsItGoesWith) {
    poller_.addDevice(1);
    line_.faults().setIgnoreOnce(1, regmap::kInUnused1004);
    pollPasses(2);
    const DeviceRecord& record = poller_.device(0);
    EXPECT_FALSE(record.hasValue());
    pollPasses(1);
    ASSERT_TRUE(record.hasValue());
    EXPECT_EQ(record.decimals(), 2);
}

}  // namespace
}  // namespace vornex
