#include "platform/Event.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using lfplat::Event;

TEST(Event, ManualResetStaysSetUntilReset)
{
    Event e(true, false);
    EXPECT_FALSE(e.Wait(0ms));
    e.Set();
    EXPECT_TRUE(e.Wait(0ms));
    EXPECT_TRUE(e.Wait(0ms));
    e.Reset();
    EXPECT_FALSE(e.Wait(0ms));
    EXPECT_TRUE(Event(true, true).Wait(0ms));
}

TEST(Event, AutoResetIsConsumedByOneWait)
{
    Event e(false, true);
    EXPECT_TRUE(e.Wait(0ms));
    EXPECT_FALSE(e.Wait(0ms));
    e.Set();
    e.Set();  // setting twice still wakes only once
    EXPECT_TRUE(e.Wait(0ms));
    EXPECT_FALSE(e.Wait(0ms));
}

TEST(Event, WaitTimesOutAfterRoughlyTheTimeout)
{
    Event e(true, false);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(e.Wait(60ms));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 60ms);
    EXPECT_LT(took, 2s);
}

TEST(Event, SetFromAnotherThreadWakesAWaiter)
{
    Event e(false, false);
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        e.Set();
    });
    EXPECT_TRUE(e.WaitForever());
    setter.join();
    EXPECT_FALSE(e.Wait(0ms));
}

TEST(Event, AutoResetWakesExactlyOneOfSeveralWaiters)
{
    Event e(false, false);
    std::atomic<int> woken{0};
    std::vector<std::thread> waiters;
    for (int i = 0; i < 3; ++i)
        waiters.emplace_back([&] {
            ASSERT_TRUE(e.WaitForever());
            ++woken;
        });
    // Each setting lets exactly one waiter through, however the threads are scheduled:
    // the next one is set only after the count has moved, so no setting is lost.
    for (int expected = 1; expected <= 3; ++expected) {
        e.Set();
        while (woken.load() < expected)
            std::this_thread::yield();
        // Time for a wrongly woken second waiter to show; a slow one only hides a fault.
        std::this_thread::sleep_for(10ms);
        EXPECT_EQ(woken.load(), expected);
    }
    for (auto& t : waiters)
        t.join();
    EXPECT_FALSE(e.Wait(0ms));
}

TEST(Event, WaitForAnyReturnsTheFirstSetAndConsumesOnlyIt)
{
    Event manual(true, false), autoA(false, false), autoB(false, false);
    Event* events[] = {&manual, &autoA, &autoB};
    EXPECT_EQ(lfplat::WaitForEvents(events, false, 0ms), lfplat::kWaitTimeout);
    autoA.Set();
    autoB.Set();
    EXPECT_EQ(lfplat::WaitForEvents(events, false, 0ms), 1);
    EXPECT_EQ(lfplat::WaitForEvents(events, false, 0ms), 2);
    EXPECT_EQ(lfplat::WaitForEvents(events, false, 0ms), lfplat::kWaitTimeout);
    manual.Set();
    EXPECT_EQ(lfplat::WaitForEvents(events, false, 0ms), 0);
    EXPECT_EQ(lfplat::WaitForEvents(events, false, 0ms), 0);
}

TEST(Event, WaitForAllTakesNothingUntilEveryEventIsSet)
{
    Event a(false, false), b(false, false);
    Event* events[] = {&a, &b};
    a.Set();
    EXPECT_EQ(lfplat::WaitForEvents(events, true, 20ms), lfplat::kWaitTimeout);
    EXPECT_TRUE(a.Wait(0ms));  // a partial set was left alone
    a.Set();
    std::thread setter([&] {
        std::this_thread::sleep_for(20ms);
        b.Set();
    });
    EXPECT_EQ(lfplat::WaitForEvents(events, true, Event::kInfinite), 0);
    setter.join();
    EXPECT_FALSE(a.Wait(0ms));
    EXPECT_FALSE(b.Wait(0ms));
}

}  // namespace
