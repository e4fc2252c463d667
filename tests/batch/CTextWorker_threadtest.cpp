#include "graphictext/ui/CTextWorker.h"

#include "FakeRasterizer.h"

#include <gtest/gtest.h>
#include <wx/app.h>
#include <wx/event.h>
#include <wx/init.h>
#include <wx/thread.h>

#include <chrono>
#include <future>
#include <thread>

namespace {

// The worker's queued calls need an application object, not a display.
class WorkerTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(m_init.IsOk()); }

    // Runs what the worker queued until done holds (the test's stand-in for the dialog's
    // event loop).
    bool PumpUntil(const std::function<bool()>& done)
    {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!done()) {
            if (std::chrono::steady_clock::now() > end)
                return false;
            wxAppConsole::GetInstance()->ProcessPendingEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return true;
    }

    // Counts the lines drawn on the user-interface thread and whether any came elsewhere.
    CTextWorker::RasterizerFactory CountingFactory()
    {
        return [this] {
            struct Counting : FakeRasterizer {
                WorkerTest* test;
                explicit Counting(WorkerTest* t) : test(t) {}
                int DrawLine(TextRaster& r, int y0, const std::string& l, const TextFont& f, int s) override
                {
                    ++test->m_uiDraws;
                    if (!wxThread::IsMain())
                        test->m_offThread = true;
                    return FakeRasterizer::DrawLine(r, y0, l, f, s);
                }
            };
            return std::make_unique<Counting>(this);
        };
    }

    wxInitializer m_init;
    wxEvtHandler m_owner;
    int m_uiDraws = 0;
    bool m_offThread = false;
};

TEST_F(WorkerTest, TheJobGetsItsRasterFromTheUserInterfaceThread)
{
    CTextWorker worker(m_owner, CountingFactory());
    int width = 0;
    bool sawText = false;
    bool done = false;
    ASSERT_TRUE(worker.Start(
        [&](TextLineRasterizer& rasterizer, const std::atomic<bool>&) {
            TextRaster raster(50, 20, 20);
            TextFont font;
            font.height = 10;
            width = rasterizer.DrawLine(raster, 2, "AB", font, 1);
            sawText = raster.IsText(0, 2) && raster.IsText(5, 11) && !raster.IsText(0, 1);
        },
        [&] { done = true; }));
    EXPECT_FALSE(worker.Start([](TextLineRasterizer&, const std::atomic<bool>&) {}, {}));
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    EXPECT_FALSE(worker.IsRunning());  // joined before done ran
    EXPECT_EQ(width, 10);
    EXPECT_TRUE(sawText);
    EXPECT_EQ(m_uiDraws, 1);
    EXPECT_FALSE(m_offThread);
}

// The user-interface thread does not answer (it is busy stopping the job): the request
// is refused and the worker joins instead of waiting for it.
TEST_F(WorkerTest, StopRefusesARasterRequestInHand)
{
    int width = 0;
    std::promise<void> asking;
    {
        CTextWorker worker(m_owner, CountingFactory());
        worker.Start(
            [&](TextLineRasterizer& rasterizer, const std::atomic<bool>&) {
                TextRaster raster(50, 20, 20);
                asking.set_value();
                width = rasterizer.DrawLine(raster, 0, "A", TextFont{}, 1);
            },
            [] {});
        asking.get_future().wait();
        worker.RequestStop();
    }  // joined here
    EXPECT_EQ(width, -1);
    // A request queued before the refusal draws nothing once the worker is gone.
    wxAppConsole::GetInstance()->ProcessPendingEvents();
    EXPECT_EQ(m_uiDraws, 0);
}

TEST_F(WorkerTest, DestroyingTheWorkerStopsAndJoinsTheJob)
{
    std::atomic<int> turns{0};
    bool done = false;
    {
        CTextWorker worker(m_owner, CountingFactory());
        worker.Start(
            [&](TextLineRasterizer&, const std::atomic<bool>& stop) {
                while (!stop)
                    turns.fetch_add(1);
            },
            [&] { done = true; });
        while (turns.load() == 0)
            std::this_thread::yield();
    }
    // The end notice of a worker that is gone does nothing.
    wxAppConsole::GetInstance()->ProcessPendingEvents();
    EXPECT_FALSE(done);
}

TEST_F(WorkerTest, ProgressAndStopAreSeenAcrossThreads)
{
    CTextWorker worker(m_owner, CountingFactory());
    bool done = false;
    worker.Start(
        [&](TextLineRasterizer&, const std::atomic<bool>& stop) {
            worker.m_progressRange = 10;
            for (int i = 1; i <= 10 && !stop; ++i)
                worker.m_progressPos = i;
            while (!stop)
                std::this_thread::yield();
        },
        [&] { done = true; });
    ASSERT_TRUE(PumpUntil([&] { return worker.m_progressPos.load() == 10; }));
    EXPECT_EQ(worker.m_progressRange.load(), 10);
    worker.RequestStop();
    ASSERT_TRUE(PumpUntil([&] { return done; }));
    EXPECT_TRUE(worker.StopRequested());
}

}  // namespace
