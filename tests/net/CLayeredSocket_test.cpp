#include "net/CLayeredSocket.h"
#include "net/CLayeredSocketDispatcher.h"
#include "net/CLayeredSocketSlotTable.h"
#include "net/CSocketLayer.h"
#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"

#include <gtest/gtest.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <string>

using namespace std::chrono_literals;
using nettest::RecordingSocket;
using nettest::ScriptedPeer;

namespace {

std::string Pattern(size_t size)
{
    std::string data(size, '\0');
    uint32_t x = 12345;
    for (auto& c : data) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return data;
}

double ThreadCpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Sends data whenever the socket has room and collects the echo; shuts the sending
// direction once everything is out.
struct EchoClient {
    RecordingSocket& socket;
    std::string data;
    size_t sent = 0;
    std::string received;
    int wouldBlocks = 0;

    void Pump()
    {
        while (sent < data.size()) {
            const int n = socket.Send(data.data() + sent, static_cast<int>(std::min<size_t>(data.size() - sent, 65536)));
            if (n < 0) {
                EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
                ++wouldBlocks;
                return;
            }
            sent += static_cast<size_t>(n);
        }
        if (sent == data.size()) {
            socket.ShutDown(SHUT_WR);
            ++sent;
        }
    }
    void Wire()
    {
        socket.onSend = [this](int) { Pump(); };
        socket.onReceive = [this](int) { socket.Drain(received); };
    }
};

class LayeredSocketTest : public ::testing::TestWithParam<const char*> {
protected:
    lfplat::PollReactor reactor;
};

}  // namespace

// By address and by name: 4 MiB go out and come back byte for byte through many
// would-block cycles; the peer's close is heard once and the process then sleeps.
TEST_P(LayeredSocketTest, EchoesFourMebibytesAndHearsTheCloseOnce)
{
    ScriptedPeer peer(nettest::EchoUntilEof);
    RecordingSocket socket;
    EchoClient client{socket, Pattern(4 << 20), 0, {}, 0};
    client.Wire();
    ASSERT_TRUE(socket.Create());
    // Small buffers, so that the exchange goes through many would-block cycles.
    const int small = 32 * 1024;
    ASSERT_TRUE(socket.SetSockOpt(SO_SNDBUF, &small, sizeof small));
    ASSERT_TRUE(socket.SetSockOpt(SO_RCVBUF, &small, sizeof small));
    const bool byName = std::string(GetParam()) == "localhost";
    const bool result = socket.Connect(GetParam(), static_cast<unsigned>(peer.Port()));
    EXPECT_EQ(byName, result);
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());

    ASSERT_TRUE(reactor.RunUntil([&] { return socket.Count(FD_CLOSE) > 0; }, 30s));
    EXPECT_EQ(0, socket.FirstError(FD_CONNECT));
    EXPECT_EQ(1, socket.Count(FD_CONNECT));
    EXPECT_EQ(client.data.size(), client.received.size());
    EXPECT_TRUE(client.data == client.received) << "echo differs";
    EXPECT_GT(client.wouldBlocks, 0) << "the exchange never filled the socket";
    // Room to write is told once after the connect and once after each would-block.
    EXPECT_EQ(client.wouldBlocks + 1, socket.Count(FD_WRITE));
    EXPECT_EQ(0, socket.FirstError(FD_CLOSE));

    // Idle after the close: no wake-ups, no CPU to speak of, no second OnClose.
    const uint64_t wakeUps = reactor.WakeUps();
    const double cpu = ThreadCpuSeconds();
    reactor.RunFor(1s);
    EXPECT_EQ(wakeUps, reactor.WakeUps());
    EXPECT_LT(ThreadCpuSeconds() - cpu, 0.2);
    EXPECT_EQ(1, socket.Count(FD_CLOSE));
}

INSTANTIATE_TEST_SUITE_P(ByAddressAndName, LayeredSocketTest, ::testing::Values("127.0.0.1", "localhost"));

TEST(LayeredSocket, ConnectFailuresAreReportedThroughOnConnect)
{
    lfplat::PollReactor reactor;
    const nettest::ClosedPort closed;
    const int port = closed.Port();
    RecordingSocket refused;
    ASSERT_TRUE(refused.Create());
    EXPECT_FALSE(refused.Connect("127.0.0.1", static_cast<unsigned>(port)));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());

    RecordingSocket unknown;
    ASSERT_TRUE(unknown.Create());
    EXPECT_TRUE(unknown.Connect(nettest::UnresolvableName().c_str(), 80));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());

    ASSERT_TRUE(reactor.RunUntil([&] { return refused.Count(FD_CONNECT) && unknown.Count(FD_CONNECT); }, 30s));
    EXPECT_EQ(WSAECONNREFUSED, refused.FirstError(FD_CONNECT));
    EXPECT_EQ(WSAHOST_NOT_FOUND, unknown.FirstError(FD_CONNECT));
    reactor.RunFor(50ms);
    EXPECT_EQ(1u, refused.heard.size()) << "nothing but the failed connect";
    EXPECT_EQ(1u, unknown.heard.size());
}

// Close while the name is being looked up: the answer is dropped, also for the same
// object created and connected again by address.
TEST(LayeredSocket, CloseCancelsALookUp)
{
    lfplat::PollReactor reactor;
    ScriptedPeer peer([](int fd) { nettest::ReadExactly(fd, 1); });
    RecordingSocket socket;
    ASSERT_TRUE(socket.Create());
    ASSERT_TRUE(socket.Connect("localhost", static_cast<unsigned>(peer.Port())));
    socket.Close();
    reactor.RunFor(100ms);
    EXPECT_TRUE(socket.heard.empty());

    ASSERT_TRUE(socket.Create());
    const nettest::ClosedPort closed;
    ASSERT_TRUE(socket.Connect("localhost", static_cast<unsigned>(closed.Port())));
    socket.Close();
    ASSERT_TRUE(socket.Create());
    socket.Connect("127.0.0.1", static_cast<unsigned>(peer.Port()));
    ASSERT_TRUE(reactor.RunUntil([&] { return socket.Count(FD_CONNECT) > 0; }, 10s));
    reactor.RunFor(100ms);
    EXPECT_EQ(1, socket.Count(FD_CONNECT));
    EXPECT_EQ(0, socket.FirstError(FD_CONNECT)) << "the cancelled look-up's refused port never connected";
}

// With layers the name is looked up on the same worker as without: a name server
// that never answers holds up neither Connect nor the thread's loop, a missing name
// comes back as FD_CONNECT with "host not found", and a found one connects.
TEST(LayeredSocket, LayersLookNamesUpOffTheThread)
{
    lfplat::PollReactor reactor;
    nettest::FakeNameServer names({{"peer.test", "127.0.0.1"}}, {"missing.test"});
    ScriptedPeer peer([](int fd) { nettest::ReadExactly(fd, 1); });
    struct Case {
        const char* host;
        int error;  // of FD_CONNECT; -1: none comes while the name server is silent
    };
    for (const Case c : {Case{"silent.test", -1}, Case{"missing.test", WSAHOST_NOT_FOUND}, Case{"peer.test", 0}}) {
        SCOPED_TRACE(c.host);
        RecordingSocket socket;
        CSocketLayer layer;
        ASSERT_TRUE(socket.AddSocketLayer(&layer));
        ASSERT_TRUE(socket.Create());
        EXPECT_TRUE(socket.Connect(c.host, static_cast<unsigned>(peer.Port())));
        EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
        EXPECT_EQ(CSocketLayer::kConnecting, layer.GetLayerState());
        if (c.error < 0) {
            EXPECT_TRUE(reactor.RunUntil([&] { return names.Waiting() == 1; }, 10s));
            reactor.RunFor(50ms);
            EXPECT_EQ(0, socket.Count(FD_CONNECT));
        } else {
            ASSERT_TRUE(reactor.RunUntil([&] { return socket.Count(FD_CONNECT) > 0; }, 10s));
            EXPECT_EQ(c.error, socket.FirstError(FD_CONNECT));
        }
        socket.Close();
    }
    // Layers taken off while their look-up waits never hear its answer.
    RecordingSocket socket;
    {
        CSocketLayer layer;
        ASSERT_TRUE(socket.AddSocketLayer(&layer));
        ASSERT_TRUE(socket.Create());
        EXPECT_TRUE(socket.Connect("silent.test", static_cast<unsigned>(peer.Port())));
        EXPECT_TRUE(reactor.RunUntil([&] { return names.Waiting() == 2; }, 10s));
        socket.RemoveAllLayers();
    }
    names.Release();
    reactor.RunFor(50ms);
    EXPECT_EQ(0, socket.Count(FD_CONNECT));
}

TEST(LayeredSocket, CreateAndBindRefusals)
{
    RecordingSocket noReactor;
    EXPECT_FALSE(noReactor.Create());
    EXPECT_EQ(WSANOTINITIALISED, WSAGetLastError());

    lfplat::PollReactor reactor;
    RecordingSocket socket;
    EXPECT_FALSE(socket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "not-an-address"));
    EXPECT_EQ(WSAEINVAL, WSAGetLastError());
    EXPECT_EQ(INVALID_SOCKET, socket.GetSocketHandle());
    ASSERT_TRUE(socket.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    EXPECT_FALSE(socket.Create());
    EXPECT_EQ(WSAEALREADY, WSAGetLastError());
    char byte = 0;
    EXPECT_EQ(-1, socket.Send(&byte, 1));
    EXPECT_EQ(WSAENOTCONN, WSAGetLastError());
    socket.Close();
    EXPECT_EQ(-1, socket.Send(&byte, 1));
    EXPECT_EQ(WSAENOTSOCK, WSAGetLastError());
}

TEST(LayeredSocket, ListensAcceptsAndExchangesBothWays)
{
    lfplat::PollReactor reactor;
    RecordingSocket listener;
    ASSERT_TRUE(listener.Create(0, SOCK_STREAM, FD_ALL_EVENTS, "127.0.0.1"));
    ASSERT_TRUE(listener.Listen());
    std::string address;
    unsigned port = 0;
    ASSERT_TRUE(listener.GetSockName(address, port));
    EXPECT_EQ("127.0.0.1", address);

    RecordingSocket server;
    std::string serverGot;
    listener.onAccept = [&](int) {
        sockaddr_in from{};
        int length = sizeof from;
        ASSERT_TRUE(listener.Accept(server, reinterpret_cast<SOCKADDR*>(&from), &length));
        server.AsyncSelect(FD_READ | FD_WRITE | FD_CLOSE);
        server.onReceive = [&](int) { server.Drain(serverGot); };
    };
    RecordingSocket client;
    client.onConnect = [&](int error) {
        if (error == 0)
            client.Send("ping", 4);
    };
    ASSERT_TRUE(client.Create());
    client.Connect("127.0.0.1", port);
    ASSERT_TRUE(reactor.RunUntil([&] { return serverGot == "ping"; }, 10s));
    EXPECT_EQ(1, listener.Count(FD_ACCEPT));
    EXPECT_EQ(1, server.Count(FD_WRITE)) << "room to write is told once to a selected connection";

    std::string peerAddress;
    unsigned peerPort = 0;
    ASSERT_TRUE(server.GetPeerName(peerAddress, peerPort));
    EXPECT_EQ("127.0.0.1", peerAddress);
    client.Close();
    ASSERT_TRUE(reactor.RunUntil([&] { return server.Count(FD_CLOSE) > 0; }, 10s));
    EXPECT_EQ(0, server.FirstError(FD_CLOSE));
}

TEST(LayeredSocket, TriggeredEventsAreDeliveredAsFromTheNetwork)
{
    lfplat::PollReactor reactor;
    ScriptedPeer peer([](int fd) { nettest::WriteAll(fd, "x"); nettest::ReadExactly(fd, 1); });
    RecordingSocket socket;
    ASSERT_TRUE(socket.Create());
    socket.Connect("127.0.0.1", static_cast<unsigned>(peer.Port()));
    ASSERT_TRUE(reactor.RunUntil([&] { return socket.Count(FD_READ) == 1; }, 10s));
    // A read without waiting bytes is dropped; with bytes it arrives; so does a write.
    EXPECT_TRUE(socket.TriggerEvent(FD_READ));
    EXPECT_TRUE(socket.TriggerEvent(FD_WRITE));
    reactor.RunFor(20ms);
    EXPECT_EQ(2, socket.Count(FD_READ));
    EXPECT_EQ(2, socket.Count(FD_WRITE));
    std::string got;
    socket.Drain(got);
    EXPECT_EQ("x", got);
    EXPECT_TRUE(socket.TriggerEvent(FD_READ));
    reactor.RunFor(20ms);
    EXPECT_EQ(2, socket.Count(FD_READ));
    socket.Send("y", 1);
    socket.Close();
    EXPECT_FALSE(socket.TriggerEvent(FD_WRITE));
}

// An event queued for a closed socket never reaches the socket that got its
// descriptor (or its slot) afterwards; deleting a socket with events queued is safe.
TEST(LayeredSocket, QueuedEventsDieWithTheirSocket)
{
    lfplat::PollReactor reactor;
    auto first = std::make_unique<RecordingSocket>();
    ASSERT_TRUE(first->Create());
    const SOCKET handle = first->GetSocketHandle();
    ASSERT_TRUE(first->TriggerEvent(FD_WRITE));
    ASSERT_TRUE(first->TriggerEvent(FD_CONNECT));
    first->Close();

    RecordingSocket second;
    ASSERT_TRUE(second.Create());
    EXPECT_EQ(handle, second.GetSocketHandle()) << "the test wants the descriptor reused";
    ASSERT_TRUE(first->Create()) << "the same object, created again";

    auto third = std::make_unique<RecordingSocket>();
    ASSERT_TRUE(third->Create());
    ASSERT_TRUE(third->TriggerEvent(FD_CLOSE));
    third.reset();

    reactor.RunFor(30ms);
    EXPECT_TRUE(first->heard.empty());
    EXPECT_TRUE(second.heard.empty());
}

TEST(LayeredSocket, SocketsOfOneThreadShareOneDispatcher)
{
    lfplat::PollReactor reactor;
    auto a = std::make_unique<RecordingSocket>();
    auto b = std::make_unique<RecordingSocket>();
    ASSERT_TRUE(a->Create());
    ASSERT_TRUE(b->Create());
    EXPECT_EQ(a->GetDispatcher(), b->GetDispatcher());
    std::weak_ptr<CLayeredSocketDispatcher> record = a->GetDispatcher()->shared_from_this();
    EXPECT_EQ(2, record.lock()->Slots().Count());
    a.reset();
    EXPECT_FALSE(record.expired());
    EXPECT_EQ(1, record.lock()->Slots().Count());
    b.reset();
    EXPECT_TRUE(record.expired());
}

TEST(LayeredSocket, AttachAndDetachKeepTheDescriptor)
{
    lfplat::PollReactor reactor;
    RecordingSocket socket;
    EXPECT_FALSE(socket.Attach(INVALID_SOCKET, FD_ALL_EVENTS));
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    ASSERT_TRUE(socket.Attach(fd, FD_ALL_EVENTS));
    EXPECT_GE(socket.GetSlot(), 0);
    EXPECT_EQ(fd, socket.Detach());
    EXPECT_EQ(-1, socket.GetSlot());
    EXPECT_EQ(INVALID_SOCKET, socket.GetSocketHandle());
    EXPECT_EQ(0, ::close(fd)) << "Detach must not close";
}

// The 503rd socket makes the table grow before it takes a slot; earlier ones keep
// theirs; the table stops at 48126 entries and then refuses.
TEST(LayeredSocketSlotTable, GrowsAheadOfUseAndStopsAtItsCap)
{
    CLayeredSocketSlotTable table;
    std::vector<int> slots;
    auto* fake = reinterpret_cast<CLayeredSocket*>(&table);
    for (int i = 0; i < 502; ++i)
        slots.push_back(table.Take(fake));
    EXPECT_EQ(512, table.Size());
    EXPECT_EQ(501, slots.back());
    EXPECT_EQ(fake, table.At(0));
    slots.push_back(table.Take(fake));
    EXPECT_EQ(1024, table.Size());
    EXPECT_EQ(502, slots.back());
    EXPECT_EQ(fake, table.At(501));

    // Probing goes on from the last slot taken, wrapping round.
    table.Free(3);
    EXPECT_EQ(503, table.Take(fake));
    EXPECT_EQ(nullptr, table.At(3));
    EXPECT_EQ(nullptr, table.At(-1));
    EXPECT_EQ(nullptr, table.At(1024));

    while (table.Count() < CLayeredSocketSlotTable::kMaxSize)
        ASSERT_GE(table.Take(fake), 0);
    EXPECT_EQ(48126, table.Size());
    EXPECT_EQ(-1, table.Take(fake));
    table.Free(48125);
    EXPECT_EQ(48125, table.Take(fake));
}
