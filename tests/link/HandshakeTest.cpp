#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "LineFixture.h"
#include "PollRecorder.h"
#include "link/Poller.h"
#include "link/RegisterMap.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

TEST(SettingsHandshake, ChangedSettingsAreAcknowledgedOnlyOnceTheyWereRead) {
    sim::SimulatedLine line(test::lineOf({test::instrument(1)}));
    std::string error;
    ASSERT_TRUE(line.startPty("", error)) << error;

    RecordingSignal recording;
    test::PollRecorder seen;
    Poller poller(recording, TickClock(), seen);
    poller.addDevice(1);
    seen.onPassEnded = [&](unsigned pass) {
        if (pass == 1) {
            // The settings change on the keypad once the instrument has been identified, and the
            // first read of the mode number after that goes unanswered.
            line.changeOnKeypad(1, test::unitChange(3));
            line.faults().setIgnoreOnce(1, regmap::kHoldModeNumber);
        }
        if (pass == 3)
            poller.disconnect();
    };
    ASSERT_EQ(poller.connect(line.portPath()), ConnectResult::Connected);
    ASSERT_TRUE(poller.waitStopped(std::chrono::seconds(30)));

    // Pass 1 identifies; pass 2 reads status 5 but loses the mode number, so it asks nothing more
    // of the instrument that pass and writes nothing; pass 3 reads status 5 again, reads the
    // settings and acknowledges.
    const std::vector<int> expected = {17, 4, 4, 4, 3, 3,  //
                                       4,  4, 4, 3, 3,     //
                                       4,  4, 4, 3, 3, 3, 6};
    std::vector<int> functions;
    for (const sim::Transaction& t : line.log().entries())
        functions.push_back(t.function);
    EXPECT_EQ(functions, expected);
    EXPECT_EQ(line.counters().dropped, 1u);
    EXPECT_EQ(line.holdingRegisters(1).value()[regmap::kHoldStatus], regmap::kStatusAcknowledged);
    EXPECT_EQ(poller.device(0).unitIndex(), 3);
}

}  // namespace
}  // namespace vornex
