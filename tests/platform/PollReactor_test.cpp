#include "platform/PollReactor.h"

#include <gtest/gtest.h>

#include <sys/socket.h>
#include <unistd.h>

#include <thread>
#include <vector>

using namespace std::chrono_literals;

TEST(PollReactor, WatchesPostsAndTimers)
{
    lfplat::PollReactor reactor;
    EXPECT_EQ(&reactor, lfplat::Reactor::Current());
    int fd[2];
    ASSERT_EQ(0, socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK, 0, fd));

    std::vector<std::string> log;
    reactor.Watch(fd[0], [&](int ready) {
        char c;
        if (read(fd[0], &c, 1) == 1)
            log.push_back(std::string("read ") + c + (ready == lfplat::Reactor::kRead ? "" : "?"));
    });
    // Without interest nothing is polled: the loop sleeps through the time-out.
    ASSERT_EQ(1, write(fd[1], "a", 1));
    EXPECT_FALSE(reactor.RunOnce(20ms));
    EXPECT_EQ(0u, reactor.WakeUps());

    reactor.SetInterest(fd[0], lfplat::Reactor::kRead);
    EXPECT_TRUE(reactor.RunOnce(1s));
    std::thread([poster = reactor.GetPoster(), &log] {
        poster.Post([&log] { log.push_back("posted 1"); });
        poster.Post([&log] { log.push_back("posted 2"); });
    }).join();
    const auto stop = reactor.StartTimer(1ms, [&] { log.push_back("stopped timer"); });
    reactor.StartTimer(1ms, [&] { log.push_back("timer"); });
    reactor.StopTimer(stop);
    ASSERT_TRUE(reactor.RunUntil([&] { return log.size() == 4; }, 5s));
    EXPECT_EQ((std::vector<std::string>{"read a", "posted 1", "posted 2", "timer"}), log);

    reactor.Unwatch(fd[0]);
    close(fd[0]);
    close(fd[1]);
}
