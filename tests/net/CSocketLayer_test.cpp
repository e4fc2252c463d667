// The layer chain itself, with base layers that override nothing.
#include "net/CSocketLayer.h"
#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace std::chrono_literals;
using nettest::RecordingSocket;

namespace {

// The new states the layers reported, in order.
std::vector<int> ReportedStates(const RecordingSocket& socket)
{
    std::vector<int> states;
    for (const auto& n : socket.notices) {
        if (n.type == 0)
            states.push_back(n.param1);
    }
    return states;
}

}  // namespace

// Two pass-through layers behave like no layer: the connection, the data both ways
// and the peer's close arrive; operations before the connection fail as unconnected.
TEST(SocketLayerChain, PassThroughLayersAreTransparent)
{
    lfplat::PollReactor reactor;
    nettest::ScriptedPeer peer([](int fd) {
        nettest::WriteAll(fd, "abc");
        nettest::ReadExactly(fd, 3);
    });
    RecordingSocket socket;
    CSocketLayer top;
    CSocketLayer bottom;
    ASSERT_TRUE(socket.AddSocketLayer(&top));
    ASSERT_TRUE(socket.AddSocketLayer(&bottom));
    EXPECT_EQ(&bottom, top.GetNextLayer());
    EXPECT_EQ(&top, bottom.GetPreviousLayer());
    EXPECT_EQ(&socket, bottom.GetOwner());

    char byte;
    EXPECT_EQ(-1, socket.Receive(&byte, 1));
    EXPECT_EQ(WSAENOTSOCK, WSAGetLastError());
    ASSERT_TRUE(socket.Create());
    EXPECT_FALSE(socket.AddSocketLayer(&top)) << "layers go on before Create";
    EXPECT_EQ(-1, socket.Receive(&byte, 1));
    EXPECT_EQ(WSAENOTCONN, WSAGetLastError());

    std::string got;
    socket.onReceive = [&](int) { socket.Drain(got); };
    socket.onConnect = [&](int) { socket.Send("xyz", 3); };
    EXPECT_FALSE(socket.Connect("127.0.0.1", static_cast<unsigned>(peer.Port())));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    ASSERT_TRUE(reactor.RunUntil([&] { return socket.Count(FD_CLOSE) > 0; }, 10s));
    EXPECT_EQ("abc", got);
    EXPECT_EQ(0, socket.FirstError(FD_CONNECT));
    EXPECT_EQ(0, socket.FirstError(FD_CLOSE));
    EXPECT_EQ(CSocketLayer::kClosed, top.GetLayerState());
    EXPECT_EQ(CSocketLayer::kClosed, bottom.GetLayerState());
    EXPECT_EQ((std::vector<int>{1, 1, 2, 2, 4, 4, 5, 5}), ReportedStates(socket));

    socket.Close();
    EXPECT_EQ(CSocketLayer::kNoSocket, top.GetLayerState());
    EXPECT_EQ(nullptr, top.GetOwner());
    EXPECT_FALSE(top.TriggerEvent(FD_CLOSE, 0, true)) << "nothing is posted without a socket";
}

// A posted close on the first layer closes it at once and reaches the socket's
// OnClose when the loop runs, only when the socket's mask asks for it.
TEST(SocketLayerChain, TriggeredEventsFollowTheStateRules)
{
    lfplat::PollReactor reactor;
    nettest::ScriptedPeer peer([](int fd) { nettest::ReadExactly(fd, 1); });
    struct Case {
        long mask;
        int closes;
    };
    for (const Case c : {Case{FD_ALL_EVENTS, 1}, Case{FD_READ | FD_CONNECT, 0}}) {
        RecordingSocket socket;
        CSocketLayer layer;
        ASSERT_TRUE(socket.AddSocketLayer(&layer));
        ASSERT_TRUE(socket.Create(0, SOCK_STREAM, c.mask));
        socket.Connect("127.0.0.1", static_cast<unsigned>(peer.Port()));
        ASSERT_TRUE(reactor.RunUntil([&] { return layer.GetLayerState() == CSocketLayer::kConnected; }, 10s));
        ASSERT_TRUE(layer.TriggerEvent(FD_CLOSE, 0, true));
        EXPECT_EQ(CSocketLayer::kClosed, layer.GetLayerState());
        reactor.RunFor(20ms);
        EXPECT_EQ(c.closes, socket.Count(FD_CLOSE));
        socket.Close();
    }

    // An error on the connect kills the layer: its error, not "unconnected", after it.
    RecordingSocket socket;
    CSocketLayer layer;
    ASSERT_TRUE(socket.AddSocketLayer(&layer));
    ASSERT_TRUE(socket.Create());
    const nettest::ClosedPort closed;
    socket.Connect("127.0.0.1", static_cast<unsigned>(closed.Port()));
    ASSERT_TRUE(reactor.RunUntil([&] { return socket.Count(FD_CONNECT) > 0; }, 10s));
    EXPECT_EQ(WSAECONNREFUSED, socket.FirstError(FD_CONNECT));
    EXPECT_EQ(CSocketLayer::kAborted, layer.GetLayerState());
    EXPECT_EQ(WSAECONNREFUSED, layer.GetCriticalError());
    EXPECT_EQ(-1, socket.Send("x", 1));
    EXPECT_EQ(WSAECONNREFUSED, WSAGetLastError());
}

// A layer deleted while still in its chain closes the socket instead of leaving it
// pointing at freed memory.
TEST(SocketLayerChain, ALayerDeletedInItsChainClosesTheSocket)
{
    lfplat::PollReactor reactor;
    RecordingSocket socket;
    auto layer = std::make_unique<CSocketLayer>();
    ASSERT_TRUE(socket.AddSocketLayer(layer.get()));
    ASSERT_TRUE(socket.Create());
    layer.reset();
    EXPECT_EQ(INVALID_SOCKET, socket.GetSocketHandle());
    ASSERT_TRUE(socket.Create()) << "the socket works again, without layers";
}
