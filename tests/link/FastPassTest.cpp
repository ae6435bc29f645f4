#include <gtest/gtest.h>

#include <tuple>

#include "LineFixture.h"
#include "PollRecorder.h"
#include "ReadingLog.h"
#include "link/Poller.h"
#include "sim/SimulatedLine.h"

namespace vornex {
namespace {

// The function, first register and register count of a request.
using Request = std::tuple<int, int, int>;
using Passes = std::vector<std::vector<Request>>;

const Request kMerged{4, 1000, 6};
const std::vector<Request> kFast = {kMerged, {3, 0, 1}};
const std::vector<Request> kFour = {{4, 1000, 2}, {4, 1004, 1}, {4, 1005, 1}, {3, 0, 1}};

// The requests `slave` took after identification, pass by pass: a pass begins with a read of the
// live value, unless that read follows the merged read it takes the place of.
Passes livePasses(sim::SimulatedLine& line, int slave) {
    Passes passes;
    Request previous{};
    for (const sim::Transaction& t : line.log().entries()) {
        const Request request{t.function, t.first, t.count};
        if (t.slave != slave)
            continue;
        if (t.function == 4 && t.first == 1000 && previous != kMerged)
            passes.emplace_back();
        if (!passes.empty())
            passes.back().push_back(request);
        previous = request;
    }
    return passes;
}

// 1 takes the fast pass, 2 refuses merged reads, 3 gets another range after pass 2. Each reading
// handed out is one answered, in order, but for the block whose range disagreed; a refusal is told
// once, costs one request more in its pass, and four requests from then on.
TEST(FastPassTest, EachInstrumentTakesTwoRequestsAPassUntilItRefusesAndNoReadingDiffers) {
    sim::SimulatedLine line(
        test::lineOf({test::instrument(1, std::nullopt, 2), test::instrument(2, std::nullopt, 2),
                      test::instrument(3, std::nullopt, 2)}));
    std::string error;
    ASSERT_TRUE(line.startPty("", error)) << error;
    line.faults().setMergeRefused(2, true);
    test::ReadingLog readings;
    test::PollRecorder seen;
    Poller poller(TickClock(), seen);
    poller.subscribe(readings);
    for (int address : {1, 2, 3})
        poller.addDevice(static_cast<uint8_t>(address));
    poller.setFastPass(true);
    seen.onPassEnded = [&](unsigned pass) {
        if (pass == 2)
            line.setRange(3, 2000.0f);
        if (pass == 5)
            poller.disconnect();
    };
    ASSERT_EQ(poller.connect(line.portPath()), OpenResult::Opened);
    ASSERT_TRUE(poller.waitStopped(std::chrono::seconds(30)));

    std::vector<Request> refusedPass = {kMerged};
    refusedPass.insert(refusedPass.end(), kFour.begin(), kFour.end());
    EXPECT_EQ(livePasses(line, 1), Passes(4, kFast));
    EXPECT_EQ(livePasses(line, 2), (Passes{refusedPass, kFour, kFour, kFour}));
    EXPECT_EQ(livePasses(line, 3), (Passes{kFast, refusedPass, kFour, kFour}));
    EXPECT_EQ(seen.refused, (std::vector<uint8_t>{2, 3}));
    for (int slave : {1, 2, 3}) {
        std::vector<float> answered = test::answeredLiveValues(line, slave);
        if (slave == 3)
            answered.erase(answered.begin() + 1);
        std::vector<float> taken;
        for (const LiveReading& r : readings.taken())
            if (r.address == slave)
                taken.push_back(r.value);
        EXPECT_EQ(taken, answered) << slave;
    }
}

}  // namespace
}  // namespace vornex
