#include "DocTestSupport.h"
#include "FakeLoader.h"
#include "manager/ui/CChangeViewDlg.h"
#include "manager/model/CQuorixState.h"
#include "manager/ui/StopWorkerThreads.h"
#include "tests/support/GuiTest.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>
#include <wx/app.h>

#include <future>
#include <string>
#include <thread>
#include <vector>

namespace {

using lftest::FakeLoader;
using lftest::LoaderProbe;

TEST(CChangeViewDlg, StopsTheLoadersAndRefreshesTheViews)
{
    lftest::TempDir dir;
    CQuorixState state((dir / "settings.ini").string());
    lftest::TestDoc doc((dir / "s").string(), &state);
    LoaderProbe probe;
    for (int i = 0; i < 3; ++i)
        state.m_threads.Start(std::make_unique<FakeLoader>(probe));

    CChangeViewDlg dialog(nullptr, state.m_threads);
    EXPECT_EQ(dialog.GetTitle(), "Lanternfolio Photo Editor (change view)");
    dialog.SetTarget(&doc, true);
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(state.m_threads.Count(), 0u);
    EXPECT_EQ(probe.destroyed, 3);
    EXPECT_EQ(doc.updates, 1);
}

TEST(CChangeViewDlg, WithoutLoadersSwitchesThePaneAtOnce)
{
    lftest::TempDir dir;
    CQuorixState state((dir / "settings.ini").string());
    lftest::TestDoc doc((dir / "s").string(), &state);
    int switched = 0;
    CChangeViewDlg dialog(nullptr, state.m_threads);
    dialog.SetTarget(&doc, false, [&] { ++switched; });
    EXPECT_EQ(dialog.ShowModal(), wxID_OK);
    EXPECT_EQ(switched, 1);
    EXPECT_EQ(doc.updates, 0);
}

TEST(CChangeViewDlg, AFailedPostIsReportedAsNotPosted)
{
    CThreadList threads;
    LoaderProbe probe;
    for (int i = 0; i < 2; ++i)
        threads.Start(std::make_unique<FakeLoader>(probe));
    // The dialog has gone: its port refuses the done message.
    wxEvtHandler gone;
    lfplat::MessagePort port(&gone);
    const auto sink = port.GetSink();
    port.Close();
    std::atomic<int> progress{0};
    std::vector<std::string> reports;
    std::thread worker([&] {
        CChangeViewDlg::StopLoadersAndPost(threads, progress, sink,
                                           [&](const std::string& text) { reports.push_back(text); });
    });
    worker.join();
    EXPECT_EQ(threads.Count(), 0u);
    EXPECT_EQ(probe.destroyed, 2);
    EXPECT_EQ(progress, 0);
    EXPECT_TRUE(reports.empty()) << "the report is shown on the user-interface thread";
    ASSERT_TRUE(lftest::PumpUntil([&] { return !reports.empty(); }));
    EXPECT_EQ(reports, std::vector<std::string>{"Not Posted"});
}

TEST(CChangeViewDlg, BarFollowsTheProgressCount)
{
    const std::pair<int, int> cases[] = {{0, 0}, {300, 50}, {599, 99}, {600, 100}, {1100, 100}, {-100, 0}};
    for (const auto& [progress, position] : cases)
        EXPECT_EQ(CChangeViewDlg::BarPosition(progress), position) << progress;
}

TEST(StopWorkerThreads, ThumbnailModeRunsTheDialog)
{
    lftest::TempDir dir;
    CQuorixState state((dir / "settings.ini").string());
    lftest::TestDoc doc((dir / "s").string(), &state);
    LoaderProbe probe;
    state.m_threads.Start(std::make_unique<FakeLoader>(probe));
    StopWorkerThreads(state, false, &doc, nullptr);
    EXPECT_EQ(state.m_threads.Count(), 0u);
    EXPECT_EQ(doc.updates, 1);
}

TEST(CQuorixDoc, CloseDoesNotHangWhileALoaderWaitsForTheUi)
{
    lftest::TempDir dir;
    CQuorixState state((dir / "settings.ini").string());
    state.m_pumpWhileWaiting = [] { wxTheApp->ProcessPendingEvents(); };
    lftest::TestDoc doc((dir / "s").string(), &state);
    LoaderProbe probe;
    bool answered = false;
    // Before it ends, the loader asks the user-interface thread something and waits.
    state.m_threads.Start(std::make_unique<FakeLoader>(probe, nullptr, [&] {
        std::promise<void> reply;
        auto future = reply.get_future();
        wxTheApp->CallAfter([&] {
            answered = true;
            reply.set_value();
        });
        future.wait();
    }));
    ASSERT_TRUE(lftest::PumpUntil([&] { return probe.started == 1; }));
    EXPECT_TRUE(doc.OnCloseDocument());
    EXPECT_TRUE(answered);
    EXPECT_EQ(state.m_threads.Count(), 0u);
}

}  // namespace
