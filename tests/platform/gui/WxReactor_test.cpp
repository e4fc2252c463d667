#include "platform/gui/WxReactor.h"
#include "tests/support/GuiTest.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <memory>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

struct SocketPair {
    int fd[2] = {-1, -1};
    SocketPair() { socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fd); }
    ~SocketPair()
    {
        for (int f : fd) {
            if (f >= 0)
                close(f);
        }
    }
};

}  // namespace

TEST(WxReactor, ReadinessRunsInTheEventLoopAndStopsWithItsInterest)
{
    lfplat::WxReactor reactor;
    EXPECT_EQ(&reactor, lfplat::Reactor::Current());
    SocketPair pair;
    std::vector<int> calls;
    std::string got;
    reactor.Watch(pair.fd[0], [&](int ready) {
        calls.push_back(ready);
        char buffer[16];
        const ssize_t n = read(pair.fd[0], buffer, sizeof buffer);
        if (n > 0)
            got.append(buffer, static_cast<size_t>(n));
    });
    reactor.SetInterest(pair.fd[0], lfplat::Reactor::kRead);
    ASSERT_EQ(3, write(pair.fd[1], "abc", 3));
    ASSERT_TRUE(lftest::PumpUntil([&] { return got == "abc"; }));
    EXPECT_EQ(lfplat::Reactor::kRead, calls.front());

    // Writable all the time: level-triggered, so it fires until the handler lowers
    // its own interest from inside its call.
    int writable = 0;
    reactor.Watch(pair.fd[1], [&](int ready) {
        EXPECT_EQ(lfplat::Reactor::kWrite, ready);
        if (++writable == 3)
            reactor.SetInterest(pair.fd[1], 0);
    });
    reactor.SetInterest(pair.fd[1], lfplat::Reactor::kWrite);
    ASSERT_TRUE(lftest::PumpUntil([&] { return writable >= 3; }));
    lftest::PumpFor(50ms);
    EXPECT_EQ(3, writable);

    // Forgotten from inside its own handler, then the descriptor closed: no more calls.
    const size_t before = calls.size();
    reactor.Watch(pair.fd[0], [&](int) {
        calls.push_back(-1);
        reactor.Unwatch(pair.fd[0]);
    });
    reactor.SetInterest(pair.fd[0], lfplat::Reactor::kRead);
    ASSERT_EQ(1, write(pair.fd[1], "d", 1));
    ASSERT_TRUE(lftest::PumpUntil([&] { return calls.size() > before; }));
    lftest::PumpFor(50ms);
    EXPECT_EQ(before + 1, calls.size());
}

TEST(WxReactor, ClosuresFromOtherThreadsArriveInOrderOnTheLoopThread)
{
    auto reactor = std::make_unique<lfplat::WxReactor>();
    std::vector<int> order;
    std::vector<std::thread::id> threads;
    std::thread worker([poster = reactor->GetPoster(), &order, &threads] {
        for (int i = 0; i < 5; ++i) {
            EXPECT_TRUE(poster.Post([i, &order, &threads] {
                order.push_back(i);
                threads.push_back(std::this_thread::get_id());
            }));
        }
    });
    worker.join();
    ASSERT_TRUE(lftest::PumpUntil([&] { return order.size() == 5; }));
    EXPECT_EQ((std::vector<int>{0, 1, 2, 3, 4}), order);
    EXPECT_EQ(std::this_thread::get_id(), threads.back());

    const lfplat::Reactor::Poster poster = reactor->GetPoster();
    reactor.reset();
    EXPECT_FALSE(poster.Post([] {}));
    EXPECT_EQ(nullptr, lfplat::Reactor::Current());
}

TEST(WxReactor, TimersFireOnceUnlessStopped)
{
    lfplat::WxReactor reactor;
    int fired = 0;
    int stopped = 0;
    reactor.StartTimer(5ms, [&] { ++fired; });
    const auto id = reactor.StartTimer(5ms, [&] { ++stopped; });
    reactor.StopTimer(id);
    ASSERT_TRUE(lftest::PumpUntil([&] { return fired == 1; }));
    lftest::PumpFor(50ms);
    EXPECT_EQ(1, fired);
    EXPECT_EQ(0, stopped);
}

// A descriptor at its end stays readable for ever: once its interest is dropped, the
// loop must go back to sleeping instead of spinning on the removed source.
TEST(WxReactor, DroppedInterestStopsTheWakeUps)
{
    lfplat::WxReactor reactor;
    SocketPair pair;
    close(pair.fd[1]);
    pair.fd[1] = -1;
    int calls = 0;
    reactor.Watch(pair.fd[0], [&](int) {
        ++calls;
        reactor.SetInterest(pair.fd[0], 0);
    });
    reactor.SetInterest(pair.fd[0], lfplat::Reactor::kRead);

    // Only the loop itself runs, as in a program's main loop (no extra pending-event
    // processing that a test pump would add).
    wxGUIEventLoop loop;
    wxEventLoopActivator activate(&loop);
    for (int i = 0; i < 100 && calls == 0; ++i)
        loop.DispatchTimeout(5);
    ASSERT_EQ(1, calls);
    int timeouts = 0;
    for (int i = 0; i < 20; ++i)
        timeouts += loop.DispatchTimeout(5) == -1;
    EXPECT_GE(timeouts, 15) << "the loop kept waking up";
    EXPECT_EQ(1, calls);
    reactor.Unwatch(pair.fd[0]);
}
