#include "DocTestSupport.h"
#include "FakeLoader.h"
#include "manager/model/CQuorixState.h"
#include "manager/model/CThreadList.h"
#include "manager/ui/StopWorkerThreads.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using lftest::FakeLoader;
using lftest::LoaderProbe;

bool WaitFor(const std::function<bool()>& condition)
{
    const auto end = std::chrono::steady_clock::now() + 5s;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        std::this_thread::sleep_for(1ms);
    }
    return true;
}

TEST(CThreadList, StopWithWaitEmptiesTheListAndFreesTheThreads)
{
    LoaderProbe probe;
    CThreadList threads;
    for (int i = 0; i < 3; ++i)
        ASSERT_NE(threads.Start(std::make_unique<FakeLoader>(probe)), nullptr);
    ASSERT_TRUE(WaitFor([&] { return probe.started == 3; }));
    EXPECT_EQ(threads.Count(), 3u);
    EXPECT_EQ(threads.CountRunning(), 3);

    std::atomic<int> progress{0};
    // The pump holds the first waiting slice until every loader has ended, so the
    // count after it does not depend on how fast the loaders stop.
    threads.StopAndWait(false, &progress, [&] { ASSERT_TRUE(WaitFor([&] { return threads.CountRunning() == 0; })); });
    EXPECT_EQ(threads.Count(), 0u);
    EXPECT_EQ(probe.finished, 3);
    EXPECT_EQ(probe.destroyed, 3);
    // 300 for signalling, 200 for the one waiting slice, 300 for joining.
    EXPECT_EQ(progress.load(), 800);
}

TEST(CThreadList, ProgressReachesThreeHundredAfterSignallingThree)
{
    LoaderProbe probe;
    probe.release = false;
    CThreadList threads;
    for (int i = 0; i < 3; ++i)
        threads.Start(std::make_unique<FakeLoader>(probe));
    std::atomic<int> progress{0};
    int firstSeen = -1;
    threads.StopAndWait(false, &progress, [&] {
        if (firstSeen < 0)
            firstSeen = progress;
        probe.release = true;
    });
    EXPECT_EQ(firstSeen, 300);  // 50 % of the bar before the first wait ends
    EXPECT_EQ(threads.Count(), 0u);
}

TEST(CThreadList, EndingThreadsSetTheirDoneAndTheSharedEndedEvent)
{
    LoaderProbe probe;
    CThreadList threads;
    CMainThread* t = threads.Start(std::make_unique<FakeLoader>(probe));
    ASSERT_NE(t, nullptr);
    EXPECT_FALSE(t->Ended());
    t->RequestStop(false);
    EXPECT_TRUE(threads.ThreadEndedEvent().Wait(5000ms));
    EXPECT_TRUE(t->Ended());
    EXPECT_EQ(threads.CountRunning(), 0);
    EXPECT_EQ(threads.Count(), 1u);  // ended threads stay listed until a waiting stop
}

TEST(CThreadList, StopWithoutWaitSignalsEveryListedThreadAndReturns)
{
    LoaderProbe probe;
    probe.release = false;
    CThreadList threads;
    CMainThread* first = threads.Start(std::make_unique<FakeLoader>(probe));
    first->RequestStop(false);
    probe.release = true;
    ASSERT_TRUE(first->Ended(5000ms));
    probe.release = false;
    CMainThread* second = threads.Start(std::make_unique<FakeLoader>(probe));
    ASSERT_TRUE(WaitFor([&] { return probe.started == 2; }));

    threads.RequestStop(true);
    // Finished ones included; the held loader is still running.
    EXPECT_TRUE(first->StopFlagSet());
    EXPECT_TRUE(first->StopEventSet());
    EXPECT_TRUE(second->StopFlagSet());
    EXPECT_TRUE(second->StopEventSet());
    EXPECT_EQ(threads.CountRunning(), 1);
    probe.release = true;
}

TEST(CThreadList, StopFirstSetsOnlyTheFirstFlag)
{
    LoaderProbe probe;
    CThreadList threads;
    CMainThread* a = threads.Start(std::make_unique<FakeLoader>(probe));
    CMainThread* b = threads.Start(std::make_unique<FakeLoader>(probe));
    ASSERT_TRUE(WaitFor([&] { return probe.started == 2; }));
    threads.RequestStopFirst();
    EXPECT_TRUE(a->Ended(5000ms));
    EXPECT_FALSE(b->Ended(20ms));
    EXPECT_FALSE(b->StopFlagSet());
}

TEST(CThreadList, NoThreadsMeansAnImmediateReturn)
{
    CThreadList threads;
    std::atomic<int> progress{5};
    int waits = 0;
    threads.StopAndWait(false, &progress, [&] { ++waits; });
    EXPECT_EQ(waits, 0);  // not a single waiting slice
    EXPECT_EQ(progress.load(), 0);
}

TEST(CThreadList, StopWaitsForThreadsAnotherStopIsStillJoining)
{
    LoaderProbe probe;
    CThreadList threads;
    std::atomic<bool> letEnd{false};
    // The loader reports itself done early and then lingers, so that the first stop
    // takes it out of the list and sits joining it.
    FakeLoader* loader = nullptr;
    auto made = std::make_unique<FakeLoader>(probe, nullptr, [&] {
        loader->ReportEndedEarly();
        while (!letEnd)
            std::this_thread::sleep_for(1ms);
    });
    loader = made.get();
    ASSERT_NE(threads.Start(std::move(made)), nullptr);
    std::thread first([&] { threads.StopAndWait(false); });
    ASSERT_TRUE(WaitFor([&] { return threads.Count() == 0; }));
    EXPECT_EQ(probe.finished, 0);

    int finishedWhenPumped = -1;
    threads.StopAndWait(false, nullptr, [&] {
        if (finishedWhenPumped < 0)
            finishedWhenPumped = probe.finished;
        letEnd = true;
    });
    const int finishedAfterStop = probe.finished;
    letEnd = true;
    first.join();
    // The second stop waited, handling events, and returned only after the loader ended.
    EXPECT_EQ(finishedWhenPumped, 0);
    EXPECT_EQ(finishedAfterStop, 1);
    EXPECT_EQ(probe.destroyed, 1);
}

TEST(CThreadList, DestroyingTheListStopsAndJoins)
{
    LoaderProbe probe;
    {
        CThreadList threads;
        threads.Start(std::make_unique<FakeLoader>(probe));
        threads.Start(std::make_unique<FakeLoader>(probe));
    }
    EXPECT_EQ(probe.destroyed, 2);
}

TEST(StopWorkerThreads, ListModeReturnsOnlyWhenLoadersNoLongerTouchRecords)
{
    lftest::TempDir dir;
    CQuorixState state((dir / "settings.ini").string());
    lftest::TestDoc doc((dir / "s").string(), &state);
    doc.SetCurrentFolder(lftest::TestDoc::MakeFolder("/a", {"a.jpg", "b.jpg"}));
    doc.m_nViewMode = kViewThumbnailsAndDetails;
    LoaderProbe probe;
    for (int i = 0; i < 3; ++i)
        state.m_threads.Start(std::make_unique<FakeLoader>(probe, doc.GetCurrentFolder(),
                                                           [] { std::this_thread::sleep_for(20ms); }));
    ASSERT_TRUE(WaitFor([&] { return probe.started == 3; }));

    StopWorkerThreads(state, false, &doc, nullptr);
    EXPECT_EQ(probe.finished, 3);
    EXPECT_EQ(state.m_threads.Count(), 0u);
    // The records can go now; a loader still reading them would be caught here.
    doc.ClearFolderImages(doc.GetCurrentFolder());
}

TEST(CQuorixDoc, ReplacingRecordsWaitsForTheLoadersFirst)
{
    lftest::TempDir dir;
    CQuorixState state((dir / "settings.ini").string());
    lftest::TestDoc doc((dir / "s").string(), &state);
    LoaderProbe probe;

    doc.SetCurrentFolder(lftest::TestDoc::MakeFolder("/a", {"a.jpg", "b.jpg"}));
    state.m_threads.Start(std::make_unique<FakeLoader>(probe, doc.GetCurrentFolder()));
    ASSERT_TRUE(WaitFor([&] { return probe.started == 1; }));
    doc.SetCurrentFolder(lftest::TestDoc::MakeFolder("/b", {"c.jpg"}));  // frees /a
    EXPECT_EQ(probe.finished, 1);

    state.m_threads.Start(std::make_unique<FakeLoader>(probe, doc.GetCurrentFolder()));
    ASSERT_TRUE(WaitFor([&] { return probe.started == 2; }));
    doc.RemoveImage(doc.GetCurrentFolder(), doc.GetCurrentFolder()->Image(0));
    EXPECT_EQ(probe.finished, 2);

    state.m_threads.Start(std::make_unique<FakeLoader>(probe, doc.GetCurrentFolder()));
    ASSERT_TRUE(WaitFor([&] { return probe.started == 3; }));
    EXPECT_TRUE(doc.OnCloseDocument());
    EXPECT_EQ(probe.finished, 3);
    EXPECT_EQ(state.m_threads.Count(), 0u);
}

}  // namespace
