// The connection thread runs its work once, off the calling thread, and says it ended.
#include "upload/model/CConnectionThread.h"

#include <gtest/gtest.h>

#include <atomic>

using namespace std::chrono_literals;

namespace {

TEST(CConnectionThread, RunsItsWorkOnceElsewhereAndSignalsTheEnd)
{
    std::atomic<int> runs{0};
    std::thread::id ranOn;
    CConnectionThread::EndedEvent().Reset();
    {
        CConnectionThread thread([&] {
            ranOn = std::this_thread::get_id();
            ++runs;
        });
        ASSERT_TRUE(thread.Start());
        EXPECT_FALSE(thread.Start());  // one run per object
        ASSERT_TRUE(thread.DeadEvent().Wait(10s));
        EXPECT_TRUE(CConnectionThread::EndedEvent().Wait(10s));
        thread.Stop();
        EXPECT_TRUE(thread.KillEvent().Wait(0ms));
    }
    EXPECT_EQ(runs, 1);
    EXPECT_NE(ranOn, std::this_thread::get_id());
}

TEST(CConnectionThread, StoppingANeverStartedThreadReturns)
{
    CConnectionThread thread([] {});
    thread.Stop();
    EXPECT_FALSE(thread.DeadEvent().Wait(0ms));
}

}  // namespace
