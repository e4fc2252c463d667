// The plain socket: its connection and the service's commands reach the owner, a short
// receive goes to the message box, and a failed connect tells nobody.
#include "upload/model/CPlainSocket.h"

#include "platform/PollReactor.h"
#include "tests/support/LoopbackListener.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <atomic>
#include <thread>

using namespace std::chrono_literals;

namespace {

struct Owner : IServiceSocketOwner {
    int connected = 0;
    std::vector<std::string> commands;
    void OnSocketConnected() override { ++connected; }
    void OnServerCommand(const std::string& text) override { commands.push_back(text); }
    void OnSocketWritable() override {}
    void OnSocketFailed(const std::string&) override {}
};

TEST(CPlainSocket, CommandsAndShortReceivesReachTheirPlaces)
{
    lfplat::PollReactor reactor;
    lftest::LoopbackListener listener;
    std::atomic<bool> stop{false};
    std::atomic<int> step{0};
    std::thread service([&] {
        const int fd = listener.Accept(stop);
        if (fd < 0)
            return;
        while (step < 1 && !stop)
            std::this_thread::sleep_for(1ms);
        lftest::LoopbackListener::WriteAll(fd, "AUTHZ", 5);
        while (step < 2 && !stop)
            std::this_thread::sleep_for(1ms);
        lftest::LoopbackListener::WriteAll(fd, "OK", 2);
        lftest::LoopbackListener::WaitForClose(fd, stop);
        ::close(fd);
    });
    Owner owner;
    std::vector<std::string> boxes;
    {
        CPlainSocket socket;
        socket.SetOwner(&owner);
        socket.SetMessageSink([&](const std::string& text) { boxes.push_back(text); });
        ASSERT_TRUE(socket.Create());
        socket.Connect("127.0.0.1", static_cast<unsigned>(listener.Port()));
        ASSERT_TRUE(reactor.RunUntil([&] { return owner.connected == 1; }, 10s));
        step = 1;
        ASSERT_TRUE(reactor.RunUntil([&] { return owner.commands.size() == 1; }, 10s));
        EXPECT_EQ(owner.commands[0], "AUTHZ");
        EXPECT_TRUE(boxes.empty());
        step = 2;
        ASSERT_TRUE(reactor.RunUntil([&] { return boxes.size() == 1; }, 10s));
        EXPECT_EQ(boxes[0], "OK");
        EXPECT_EQ(owner.commands.size(), 2u);
    }
    stop = true;
    service.join();
}

TEST(CPlainSocket, AFailedConnectTellsNobody)
{
    lfplat::PollReactor reactor;
    int port = 0;
    {
        lftest::LoopbackListener closed;  // a port nobody listens on once it is gone
        port = closed.Port();
    }
    Owner owner;
    CPlainSocket socket;
    socket.SetOwner(&owner);
    ASSERT_TRUE(socket.Create());
    socket.Connect("127.0.0.1", static_cast<unsigned>(port));
    reactor.RunFor(100ms);
    EXPECT_EQ(owner.connected, 0);
    EXPECT_TRUE(owner.commands.empty());
}

}  // namespace
