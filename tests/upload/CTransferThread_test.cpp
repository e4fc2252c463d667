#include "upload/model/CTransferThread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace {

// Counts the watchdog's reports and lets the test wait for the thread's end.
struct Reports {
    std::atomic<int> noResponse{0}, inactivity{0};
    CTransferThread::Callbacks Callbacks()
    {
        return {[this] { ++noResponse; }, [this] { ++inactivity; }};
    }
};

// Waits for the thread's end, at most a deadline far beyond the loop's pace: a watchdog
// that never ends fails the test instead of hanging it.
[[nodiscard]] bool WaitDone(const CTransferThread& watchdog)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!watchdog.Done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return watchdog.Done();
}

TEST(CTransferThread, NoGreetingReportsOnceAfterNinetySeconds)
{
    Reports reports;
    std::atomic<int64_t> now{500};
    CTransferThread watchdog(reports.Callbacks(), [&] { return now.load(); });
    ASSERT_TRUE(watchdog.Start());
    now = 590;  // 90 seconds are still within the limit
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(watchdog.Done());
    now = 591;
    ASSERT_TRUE(WaitDone(watchdog));
    EXPECT_EQ(reports.noResponse.load(), 1);
    EXPECT_EQ(reports.inactivity.load(), 0);
    EXPECT_TRUE(watchdog.Stopped());
}

TEST(CTransferThread, ConnectedWatchesActivityAndReportsExactlyOnce)
{
    Reports reports;
    std::atomic<int64_t> now{0};
    CTransferThread watchdog(reports.Callbacks(), [&] { return now.load(); });
    ASSERT_TRUE(watchdog.Start());
    watchdog.SetConnected();
    now = 200;  // past the greeting limit, but connected
    watchdog.Touch();
    now = 219;
    std::this_thread::sleep_for(std::chrono::milliseconds(150));
    EXPECT_FALSE(watchdog.Done());
    now = 220;
    ASSERT_TRUE(WaitDone(watchdog));
    now = 400;
    watchdog.Join();
    EXPECT_EQ(reports.inactivity.load(), 1);
    EXPECT_EQ(reports.noResponse.load(), 0);
}

TEST(CTransferThread, StopEndsTheThreadWithoutAReport)
{
    Reports reports;
    std::atomic<int64_t> now{0};
    CTransferThread watchdog(reports.Callbacks(), [&] { return now.load(); });
    ASSERT_TRUE(watchdog.Start());
    watchdog.Stop();
    ASSERT_TRUE(WaitDone(watchdog));
    now = 1000;
    watchdog.Join();
    EXPECT_EQ(reports.noResponse.load() + reports.inactivity.load(), 0);
}

}  // namespace
