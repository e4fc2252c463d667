#include "platform/gui/MessagePort.h"
#include "platform/gui/PostedMessageEvent.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

namespace {

struct Received {
    int message;
    uintptr_t wParam;
    intptr_t lParam;
    std::thread::id thread;
};

TEST(MessagePort, PostsFromAnyThreadArriveInOrderOnTheUiThread)
{
    wxEvtHandler target;
    std::vector<Received> got;
    auto record = [&](lfplat::PostedMessageEvent& e) {
        got.push_back({e.GetMessage(), e.GetWParam(), e.GetLParam(), std::this_thread::get_id()});
    };
    target.Bind(lfplat::EVT_POSTED_MESSAGE, record, lfplat::kUserMessage + 5);
    target.Bind(lfplat::EVT_POSTED_MESSAGE, record, lfplat::kUserMessage + 7);
    lfplat::MessagePort port(&target);

    std::thread worker([sink = port.GetSink()] {
        EXPECT_TRUE(sink.Post(lfplat::kUserMessage + 7, UINTPTR_MAX, -2));
        EXPECT_TRUE(sink.Post(lfplat::kUserMessage + 9));  // nobody handles it
        EXPECT_TRUE(sink.Post(lfplat::kUserMessage + 5, 3, 4));
    });
    worker.join();
    ASSERT_TRUE(lftest::PumpUntil([&] { return got.size() == 2; }));
    lftest::PumpFor(std::chrono::milliseconds(30));
    ASSERT_EQ(got.size(), 2u);
    EXPECT_EQ(got[0].message, lfplat::kUserMessage + 7);
    EXPECT_EQ(got[0].wParam, UINTPTR_MAX);
    EXPECT_EQ(got[0].lParam, -2);
    EXPECT_EQ(got[1].message, lfplat::kUserMessage + 5);
    EXPECT_EQ(got[1].wParam, 3u);
    EXPECT_EQ(got[1].lParam, 4);
    EXPECT_EQ(got[0].thread, std::this_thread::get_id());
}

TEST(MessagePort, PostingFailsOnceThePortHasClosed)
{
    lfplat::MessagePort::Sink sink;
    EXPECT_FALSE(sink.Post(lfplat::kUserMessage));
    int handled = 0;
    {
        wxEvtHandler target;
        target.Bind(lfplat::EVT_POSTED_MESSAGE, [&](lfplat::PostedMessageEvent&) { ++handled; });
        lfplat::MessagePort port(&target);
        sink = port.GetSink();
        port.Close();
        EXPECT_FALSE(sink.Post(lfplat::kUserMessage));
    }
    // The port and its window are gone; the sink a thread still holds is harmless.
    EXPECT_FALSE(sink.Post(lfplat::kUserMessage));
    lftest::PumpFor(std::chrono::milliseconds(20));
    EXPECT_EQ(handled, 0);
}

}  // namespace
