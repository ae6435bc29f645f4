#include <gtest/gtest.h>

#include <chrono>
#include <future>
#include <optional>
#include <vector>

#include "work/BackgroundWorker.h"

namespace vornex {
namespace {

using namespace std::chrono_literals;

// What a test waits for at most; none of them should come near it.
constexpr auto kBound = 30s;

TEST(BackgroundWorker, JobsRunOneAtATimeInTheOrderPosted) {
    BackgroundWorker worker;
    std::vector<int> ran;  // the worker's alone until `done`
    std::promise<void> done;
    for (int i = 0; i < 100; ++i)
        worker.post([&ran, i] { ran.push_back(i); });
    worker.post([&done] { done.set_value(); });
    ASSERT_EQ(done.get_future().wait_for(kBound), std::future_status::ready);
    std::vector<int> expected;
    for (int i = 0; i < 100; ++i)
        expected.push_back(i);
    EXPECT_EQ(ran, expected);
}

// A job paused for an hour and one behind it: the end wakes the one, and the other still runs to
// see that the worker stops.
TEST(BackgroundWorker, EndingWakesAPausedJobAndStillRunsTheJobsNotBegun) {
    std::promise<void> paused;
    std::optional<bool> pauseRanOut;
    std::optional<bool> laterSawTheEnd;
    const auto began = std::chrono::steady_clock::now();
    {
        BackgroundWorker worker;
        worker.post([&] {
            paused.set_value();
            pauseRanOut = worker.pauseUntil(std::chrono::steady_clock::now() + 1h);
        });
        worker.post([&] { laterSawTheEnd = worker.stopping(); });
        ASSERT_EQ(paused.get_future().wait_for(kBound), std::future_status::ready);
    }
    EXPECT_LT(std::chrono::steady_clock::now() - began, kBound);
    EXPECT_EQ(pauseRanOut, std::optional<bool>(false));
    EXPECT_EQ(laterSawTheEnd, std::optional<bool>(true));
}

// A tick that waits an hour between rounds still runs at once when woken, and again each time.
TEST(BackgroundWorker, AWokenTickRunsBeforeItsWaitHasPassed) {
    std::promise<void> rounds[2];
    int round = 0;  // the worker's
    BackgroundWorker worker(1h, [&] {
        rounds[round++].set_value();
        return std::chrono::milliseconds(1h);
    });
    worker.wake();
    ASSERT_EQ(rounds[0].get_future().wait_for(kBound), std::future_status::ready);
    worker.wake();
    ASSERT_EQ(rounds[1].get_future().wait_for(kBound), std::future_status::ready);
}

// Unwoken, a tick comes back after the wait it asked for.
TEST(BackgroundWorker, ATickRunsAgainOnceItsWaitHasPassed) {
    std::promise<void> third;
    int rounds = 0;  // the worker's
    BackgroundWorker worker(0ms, [&] {
        if (++rounds == 3)
            third.set_value();
        return 1ms;
    });
    EXPECT_EQ(third.get_future().wait_for(kBound), std::future_status::ready);
}

}  // namespace
}  // namespace vornex
