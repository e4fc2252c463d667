// The proxy handshakes against scripted proxies: the exact request bytes, the replies
// that succeed, and every way a proxy can refuse or garble the handshake.
#include "net/CBase64Coder.h"
#include "net/CProxyLayer.h"
#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>

#include <chrono>
#include <mutex>
#include <string>

using namespace std::chrono_literals;
using nettest::ReadExactly;
using nettest::ReadHttpHead;
using nettest::RecordingSocket;
using nettest::ScriptedPeer;
using nettest::WriteAll;

namespace {

const std::string kGreeting = "service says hi";

std::string PortBytes(unsigned port)
{
    const uint16_t n = htons(static_cast<uint16_t>(port));
    return std::string(reinterpret_cast<const char*>(&n), 2);
}

// What a scripted proxy read from the layer; filled by its thread.
struct Seen {
    std::mutex mutex;
    std::string bytes;
    void Add(const std::string& b)
    {
        std::lock_guard lock(mutex);
        bytes += b;
    }
    std::string Get()
    {
        std::lock_guard lock(mutex);
        return bytes;
    }
};

// Waits until the other side closes, so the owner can read what came after the reply.
void HoldOpen(int fd) { ReadExactly(fd, 1); }

class ProxyHandshake : public ::testing::Test {
protected:
    void SetUp() override
    {
        socket.noticeHasText = [](int code) { return code == CProxyLayer::kRequestFailed; };
        socket.onReceive = [this](int) { socket.Drain(received); };
    }

    // Adds the layer, creates the socket and connects to host:port through it.
    bool Start(const std::string& host, unsigned port)
    {
        EXPECT_TRUE(socket.AddSocketLayer(&layer));
        EXPECT_TRUE(socket.Create());
        return socket.Connect(host.c_str(), port);
    }
    bool WaitForConnect() { return reactor.RunUntil([&] { return socket.Count(FD_CONNECT) > 0; }, 10s); }
    bool WaitForGreeting()
    {
        return reactor.RunUntil([&] { return received.size() >= kGreeting.size(); }, 10s);
    }
    std::vector<int> NoticeCodes() const
    {
        std::vector<int> codes;
        for (const auto& n : socket.notices) {
            if (n.type == 1)
                codes.push_back(n.param1);
        }
        return codes;
    }

    lfplat::PollReactor reactor;
    RecordingSocket socket;
    CProxyLayer layer;
    std::string received;
};

}  // namespace

TEST_F(ProxyHandshake, HttpConnectSucceedsAndLeavesTheServiceBytesInTheStream)
{
    Seen seen;
    ScriptedPeer proxy([&](int fd) {
        seen.Add(ReadHttpHead(fd));
        WriteAll(fd, "HTTP/1.0 200 Connection established\r\n\r\n" + kGreeting);
        HoldOpen(fd);
    });
    layer.SetProxy(CProxyLayer::kHttp, "127.0.0.1", proxy.Port());
    EXPECT_FALSE(Start("127.0.0.1", 4321));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    // Nothing goes through while the handshake runs.
    EXPECT_EQ(-1, socket.Send("x", 1));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    ASSERT_TRUE(WaitForGreeting());
    EXPECT_EQ(kGreeting, received);
    EXPECT_EQ(1, socket.Count(FD_CONNECT));
    EXPECT_EQ(0, socket.FirstError(FD_CONNECT));
    EXPECT_TRUE(NoticeCodes().empty());
    EXPECT_EQ("CONNECT 127.0.0.1:4321 HTTP/1.1\r\nHost: 127.0.0.1:4321\r\n\r\n", seen.Get());

    // The owner's order: connect, then read, then write (the network's own write
    // notice may come earlier, while the handshake runs).
    size_t connectAt = 0;
    while (socket.heard[connectAt].event != FD_CONNECT)
        ++connectAt;
    ASSERT_GE(socket.heard.size(), connectAt + 3);
    EXPECT_EQ(FD_READ, socket.heard[connectAt + 1].event);
    EXPECT_EQ(FD_WRITE, socket.heard[connectAt + 2].event);

    std::string peer;
    unsigned peerPort = 0;
    ASSERT_TRUE(socket.GetPeerName(peer, peerPort));
    EXPECT_EQ("127.0.0.1", peer);
    EXPECT_EQ(4321u, peerPort) << "the target's, not the proxy's";
}

// Credentials long enough for a MIME line break still go on one header line.
TEST_F(ProxyHandshake, HttpBasicCredentialsStayOnOneLine)
{
    Seen seen;
    ScriptedPeer proxy([&](int fd) {
        seen.Add(ReadHttpHead(fd));
        WriteAll(fd, "HTTP/1.1 200 OK\r\nProxy-Agent: test\r\n\r\n" + kGreeting);
        HoldOpen(fd);
    });
    const std::string user(40, 'u');
    const std::string password(30, 'p');
    layer.SetProxyAuth(CProxyLayer::kHttp, "127.0.0.1", proxy.Port(), user.c_str(), password.c_str());
    Start("127.0.0.1", 80);
    ASSERT_TRUE(WaitForGreeting());
    const std::string pair = user + ":" + password;
    const std::string expectedCredentials = CBase64Coder::EncodeUnbroken(pair.data(), pair.size());
    ASSERT_GT(expectedCredentials.size(), 72u);
    EXPECT_EQ("CONNECT 127.0.0.1:80 HTTP/1.1\r\nHost: 127.0.0.1:80\r\nAuthorization: Basic " + expectedCredentials +
                  "\r\nProxy-Authorization: Basic " + expectedCredentials + "\r\n\r\n",
              seen.Get());
}

TEST_F(ProxyHandshake, Socks4aPassesAnUnresolvableName)
{
    const std::string name = nettest::UnresolvableName();
    Seen seen;
    ScriptedPeer proxy([&](int fd) {
        seen.Add(ReadExactly(fd, 10 + name.size()));
        WriteAll(fd, std::string("\0\x5a\0\0\0\0\0\0", 8) + kGreeting);
        HoldOpen(fd);
    });
    layer.SetProxy(CProxyLayer::kSocks4A, "127.0.0.1", proxy.Port());
    EXPECT_TRUE(Start(name, 8080));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    ASSERT_TRUE(WaitForGreeting());
    EXPECT_EQ(kGreeting, received);
    EXPECT_EQ(std::string("\4\1", 2) + PortBytes(8080) + std::string("\0\0\0\1\0", 5) + name + std::string(1, '\0'),
              seen.Get());
}

// Behind a proxy the target's name goes to the proxy, which resolves it: our own name
// server is asked only for the proxy's name, and one that never answers for the
// target holds nothing up. Connect itself never waits on a name server.
TEST_F(ProxyHandshake, TargetNamesGoToTheProxyWithoutALocalLookUp)
{
    struct Case {
        const char* what;
        int type;
        size_t requestSize;
        std::string reply;
    };
    const std::string target = "target.silent.test";
    const Case cases[] = {
        {"HTTP", CProxyLayer::kHttp, 0, "HTTP/1.1 200 OK\r\n\r\n"},
        {"SOCKS4A", CProxyLayer::kSocks4A, 10 + target.size(), std::string("\0\x5a\0\0\0\0\0\0", 8)},
        {"SOCKS5", CProxyLayer::kSocks5, 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        nettest::FakeNameServer names({{"proxy.test", "127.0.0.1"}});
        Seen seen;
        ScriptedPeer proxy([&](int fd) {
            if (c.type == CProxyLayer::kHttp) {
                seen.Add(ReadHttpHead(fd));
            } else if (c.type == CProxyLayer::kSocks5) {
                ReadExactly(fd, 3);
                WriteAll(fd, std::string("\5\0", 2));
                seen.Add(ReadExactly(fd, 7 + target.size()));
                WriteAll(fd, std::string("\5\0\0\1\x7f\0\0\1\1\2", 10));
            } else {
                seen.Add(ReadExactly(fd, c.requestSize));
            }
            WriteAll(fd, c.reply + kGreeting);
            HoldOpen(fd);
        });
        RecordingSocket owner;
        std::string greeting;
        owner.onReceive = [&](int) { owner.Drain(greeting); };
        CProxyLayer proxyLayer;
        proxyLayer.SetProxy(c.type, "proxy.test", proxy.Port());
        ASSERT_TRUE(owner.AddSocketLayer(&proxyLayer));
        ASSERT_TRUE(owner.Create());
        EXPECT_TRUE(owner.Connect(target.c_str(), 443));
        EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
        EXPECT_TRUE(reactor.RunUntil([&] { return greeting.size() >= kGreeting.size(); }, 10s));
        EXPECT_EQ(kGreeting, greeting);
        EXPECT_EQ(std::vector<std::string>{"proxy.test"}, names.Asked());
        EXPECT_NE(std::string::npos, seen.Get().find(target)) << seen.Get();
        owner.Close();
    }
}

// SOCKS4 carries addresses only: a target given by address goes as it is, a name is
// looked up here, on the worker (Connect is then true: the look-up is under way). A
// name that is not found is notice 7 and a connect error that says so.
TEST_F(ProxyHandshake, Socks4ByAddressOrByALookedUpName)
{
    nettest::FakeNameServer names({{"target.test", "10.1.2.3"}}, {"missing.test"});
    for (const bool byName : {false, true}) {
        SCOPED_TRACE(byName ? "by name" : "by address");
        Seen seen;
        ScriptedPeer proxy([&](int fd) {
            seen.Add(ReadExactly(fd, 9));
            WriteAll(fd, std::string("\0\x5a\0\0\0\0\0\0", 8) + kGreeting);
            HoldOpen(fd);
        });
        RecordingSocket owner;
        std::string greeting;
        owner.onReceive = [&](int) { owner.Drain(greeting); };
        CProxyLayer socks4;
        socks4.SetProxy(CProxyLayer::kSocks4, "127.0.0.1", proxy.Port());
        ASSERT_TRUE(owner.AddSocketLayer(&socks4));
        ASSERT_TRUE(owner.Create());
        EXPECT_EQ(byName, owner.Connect(byName ? "target.test" : "10.1.2.3", 25));
        EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
        EXPECT_TRUE(reactor.RunUntil([&] { return greeting.size() >= kGreeting.size(); }, 10s));
        EXPECT_EQ(std::string("\4\1", 2) + PortBytes(25) + std::string("\x0a\1\2\3\0", 5), seen.Get());
        EXPECT_EQ(byName ? std::vector<std::string>{"target.test"} : std::vector<std::string>{}, names.Asked());
        owner.Close();
    }

    // The proxy is never reached: the name fails first.
    layer.SetProxy(CProxyLayer::kSocks4, "127.0.0.1", 1);
    EXPECT_TRUE(Start("missing.test", 8080));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    ASSERT_TRUE(WaitForConnect());
    EXPECT_EQ(WSAHOST_NOT_FOUND, socket.FirstError(FD_CONNECT));
    EXPECT_EQ(std::vector<int>{CProxyLayer::kCannotResolveHost}, NoticeCodes());
}

// A proxy whose name the name server never answers: Connect returns at once, the
// thread's loop goes on, and Close leaves the look-up behind without an event.
// A proxy name that is not found fails as "host not found", not as a bad argument.
TEST_F(ProxyHandshake, TheProxysNameIsLookedUpOffTheThread)
{
    for (const int type : {CProxyLayer::kHttp, CProxyLayer::kSocks4, CProxyLayer::kSocks5}) {
        SCOPED_TRACE(type);
        nettest::FakeNameServer names;
        RecordingSocket silent;
        CProxyLayer silentLayer;
        silentLayer.SetProxy(type, "proxy.silent.test", 3128);
        ASSERT_TRUE(silent.AddSocketLayer(&silentLayer));
        ASSERT_TRUE(silent.Create());
        EXPECT_TRUE(silent.Connect("10.9.8.7", 80));
        EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
        EXPECT_TRUE(reactor.RunUntil([&] { return names.Waiting() == 1; }, 10s));
        bool ran = false;
        reactor.Post([&] { ran = true; });
        EXPECT_TRUE(reactor.RunUntil([&] { return ran; }, 1s)) << "the thread's loop goes on";
        silent.Close();
        names.Release();
        reactor.RunFor(50ms);
        EXPECT_EQ(0, silent.Count(FD_CONNECT));
        for (const auto& n : silent.notices)
            EXPECT_EQ(0, n.type) << "no notice for a connection given up";
    }

    nettest::FakeNameServer names({}, {"missing-proxy.test"});
    layer.SetProxy(CProxyLayer::kHttp, "missing-proxy.test", 3128);
    EXPECT_TRUE(Start("target.test", 80));
    ASSERT_TRUE(WaitForConnect());
    EXPECT_EQ(WSAHOST_NOT_FOUND, socket.FirstError(FD_CONNECT));
    EXPECT_EQ(std::vector<int>{CProxyLayer::kCannotConnectToProxy}, NoticeCodes());
}

// A name reply of 200 characters is 207 bytes; an IPv6 reply is 22: either is read
// whole, and the service's bytes after it reach the owner intact.
TEST_F(ProxyHandshake, Socks5ConnectRepliesAreReadWhole)
{
    struct Case {
        const char* what;
        std::string reply;
    };
    const Case cases[] = {
        {"name", std::string("\5\0\0\3\xc8", 5) + std::string(200, 'n') + "\1\2"},
        {"IPv6", std::string("\5\0\0\4", 4) + std::string(16, '\x20') + "\1\2"},
        {"IPv4", std::string("\5\0\0\1\x7f\0\0\1\1\2", 10)},
    };
    const std::string name = nettest::UnresolvableName();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Seen seen;
        ScriptedPeer proxy([&](int fd) {
            seen.Add(ReadExactly(fd, 3));
            WriteAll(fd, std::string("\5\0", 2));
            seen.Add(ReadExactly(fd, 7 + name.size()));
            WriteAll(fd, c.reply + kGreeting);
            HoldOpen(fd);
        });
        RecordingSocket s;
        CProxyLayer l;
        std::string got;
        s.onReceive = [&](int) { s.Drain(got); };
        l.SetProxy(CProxyLayer::kSocks5, "127.0.0.1", proxy.Port());
        ASSERT_TRUE(s.AddSocketLayer(&l));
        ASSERT_TRUE(s.Create());
        EXPECT_TRUE(s.Connect(name.c_str(), 443));
        ASSERT_TRUE(reactor.RunUntil([&] { return got.size() >= kGreeting.size(); }, 10s));
        EXPECT_EQ(kGreeting, got);
        EXPECT_EQ(0, s.FirstError(FD_CONNECT));
        EXPECT_EQ(std::string("\5\1\0\5\1\0\3", 7) + char(name.size()) + name + PortBytes(443), seen.Get());
        s.Close();
    }
}

TEST_F(ProxyHandshake, Socks5UserAndPassword)
{
    Seen seen;
    ScriptedPeer proxy([&](int fd) {
        seen.Add(ReadExactly(fd, 4));
        WriteAll(fd, std::string("\5\2", 2));
        seen.Add(ReadExactly(fd, 3 + 5 + 6));
        WriteAll(fd, std::string("\1\0", 2));
        seen.Add(ReadExactly(fd, 10));
        WriteAll(fd, std::string("\5\0\0\1\x7f\0\0\1\1\2", 10) + kGreeting);
        HoldOpen(fd);
    });
    layer.SetProxyAuth(CProxyLayer::kSocks5, "127.0.0.1", proxy.Port(), "alice", "secret");
    Start("127.0.0.1", 9197);
    ASSERT_TRUE(WaitForGreeting());
    EXPECT_EQ(std::string("\5\2\2\0", 4) + std::string("\1\5", 2) + "alice" + "\6" + "secret" +
                  std::string("\5\1\0\1\x7f\0\0\1", 8) + PortBytes(9197),
              seen.Get());
}

// Each refusal: the owner gets the notice and FD_CONNECT with 10053, nothing else
// from the proxy, and later sends fail with that error.
TEST_F(ProxyHandshake, RefusalsGiveTheirNoticeAndConnectionAborted)
{
    struct Case {
        const char* what;
        int type;
        bool credentials;
        std::string target;
        std::function<void(int)> script;
        int notice;
        std::string text;
        std::string user = "a";  // offered with the credentials
    };
    const std::string longName = nettest::UnresolvableName(300);
    auto httpReply = [](std::string reply) {
        return [reply](int fd) {
            ReadHttpHead(fd);
            WriteAll(fd, reply);
            HoldOpen(fd);
        };
    };
    auto socks5Method = [](char method) {
        return [method](int fd) {
            ReadExactly(fd, 3);
            WriteAll(fd, std::string("\5", 1) + method);
            HoldOpen(fd);
        };
    };
    std::string flood = "HTTP/1.1 200 OK\r\n";
    while (flood.size() < 64 * 1024)
        flood += "X-Filler: " + std::string(100, 'f') + "\r\n";
    const Case cases[] = {
        {"407", CProxyLayer::kHttp, false, "127.0.0.1",
         httpReply("HTTP/1.1 407 Proxy Authentication Required\r\nProxy-Authenticate: Basic\r\n\r\n"),
         CProxyLayer::kRequestFailed, "HTTP/1.1 407 Proxy Authentication Required"},
        {"banner", CProxyLayer::kHttp, false, "127.0.0.1", httpReply("220 mail ready\r\n"), CProxyLayer::kRequestFailed,
         "No valid HTTP reponse"},
        {"close before the blank line", CProxyLayer::kHttp, false, "127.0.0.1",
         [](int fd) {
             ReadHttpHead(fd);
             WriteAll(fd, "HTTP/1.1 200 OK\r\nVia: x\r\n");
         },
         CProxyLayer::kRequestFailed, ""},
        {"header flood", CProxyLayer::kHttp, false, "127.0.0.1", httpReply(flood), CProxyLayer::kRequestFailed, ""},
        {"no acceptable method", CProxyLayer::kSocks5, false, "127.0.0.1", socks5Method('\xff'),
         CProxyLayer::kAuthTypeUnknown, ""},
        {"password wanted, none set", CProxyLayer::kSocks5, false, "127.0.0.1", socks5Method('\2'),
         CProxyLayer::kAuthRequired, ""},
        {"password rejected", CProxyLayer::kSocks5, true, "127.0.0.1",
         [](int fd) {
             ReadExactly(fd, 4);
             WriteAll(fd, std::string("\5\2", 2));
             ReadExactly(fd, 1 + 1 + 1 + 1 + 1);
             WriteAll(fd, std::string("\1\1", 2));
             HoldOpen(fd);
         },
         CProxyLayer::kAuthFailed, ""},
        {"name over 255", CProxyLayer::kSocks5, false, longName, socks5Method('\0'), CProxyLayer::kRequestFailed, ""},
        {"user name over 255", CProxyLayer::kSocks5, true, "127.0.0.1", socks5Method('\2'), CProxyLayer::kRequestFailed,
         "", std::string(300, 'u')},
        {"connect refused by SOCKS5", CProxyLayer::kSocks5, false, "127.0.0.1",
         [](int fd) {
             ReadExactly(fd, 3);
             WriteAll(fd, std::string("\5\0", 2));
             ReadExactly(fd, 10);
             WriteAll(fd, std::string("\5\5\0\1\0\0\0\0\0\0", 10));
             HoldOpen(fd);
         },
         CProxyLayer::kRequestFailed, ""},
        {"SOCKS4 rejected", CProxyLayer::kSocks4, false, "127.0.0.1",
         [](int fd) {
             ReadExactly(fd, 9);
             WriteAll(fd, std::string("\0\x5b\0\0\0\0\0\0", 8));
             HoldOpen(fd);
         },
         CProxyLayer::kRequestFailed, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPeer proxy(c.script);
        RecordingSocket s;
        s.noticeHasText = [](int code) { return code == CProxyLayer::kRequestFailed; };
        CProxyLayer l;
        if (c.credentials)
            l.SetProxyAuth(c.type, "127.0.0.1", proxy.Port(), c.user.c_str(), "b");
        else
            l.SetProxy(c.type, "127.0.0.1", proxy.Port());
        ASSERT_TRUE(s.AddSocketLayer(&l));
        ASSERT_TRUE(s.Create());
        s.Connect(c.target.c_str(), 80);
        ASSERT_TRUE(reactor.RunUntil([&] { return s.Count(FD_CONNECT) > 0; }, 10s));
        reactor.RunFor(20ms);
        EXPECT_EQ(1, s.Count(FD_CONNECT));
        EXPECT_EQ(WSAECONNABORTED, s.FirstError(FD_CONNECT));
        EXPECT_EQ(0, s.Count(FD_READ));
        std::vector<RecordingSocket::Notice> layerNotices;
        for (const auto& n : s.notices) {
            if (n.type == 1)
                layerNotices.push_back(n);
        }
        ASSERT_EQ(1u, layerNotices.size());
        EXPECT_EQ(c.notice, layerNotices[0].param1);
        EXPECT_EQ(c.text, layerNotices[0].text);
        EXPECT_EQ(CSocketLayer::kAborted, l.GetLayerState());
        EXPECT_EQ(-1, s.Send("x", 1));
        EXPECT_EQ(WSAECONNABORTED, WSAGetLastError());
        s.Close();
    }
}

TEST_F(ProxyHandshake, AnUnreachableProxyIsNoticeOneWithTheNetworkError)
{
    const nettest::ClosedPort closed;
    layer.SetProxy(CProxyLayer::kHttp, "127.0.0.1", closed.Port());
    Start("127.0.0.1", 80);
    ASSERT_TRUE(WaitForConnect());
    EXPECT_EQ(WSAECONNREFUSED, socket.FirstError(FD_CONNECT));
    EXPECT_EQ(std::vector<int>{CProxyLayer::kCannotConnectToProxy}, NoticeCodes());
}

// Type 0 is a pipe: the connection and the data pass unchanged.
TEST_F(ProxyHandshake, DirectTypePassesEverything)
{
    ScriptedPeer service([](int fd) {
        WriteAll(fd, kGreeting);
        HoldOpen(fd);
    });
    EXPECT_FALSE(Start("127.0.0.1", static_cast<unsigned>(service.Port())));
    ASSERT_TRUE(WaitForGreeting());
    EXPECT_EQ(0, socket.FirstError(FD_CONNECT));
    EXPECT_EQ(kGreeting, received);
    // State changes were reported: unconnected, connecting, connected.
    std::vector<int> states;
    for (const auto& n : socket.notices) {
        if (n.type == 0)
            states.push_back(n.param1);
    }
    EXPECT_EQ((std::vector<int>{CSocketLayer::kUnconnected, CSocketLayer::kConnecting, CSocketLayer::kConnected}),
              states);
    socket.Close();
    EXPECT_EQ(CSocketLayer::kNoSocket, layer.GetLayerState());
    EXPECT_EQ(nullptr, layer.GetOwner());
}

// A listen through a SOCKS proxy: the proxy's first reply says where it listens
// (notice 8), its second that the peer has come (FD_ACCEPT).
TEST_F(ProxyHandshake, ListenThroughSocksTellsWhereAndAccepts)
{
    struct Case {
        const char* what;
        int type;
        std::function<void(int, Seen&)> script;
        std::string request;
    };
    const in_addr_t expected = inet_addr("10.0.0.9");
    const std::string expectedBytes(reinterpret_cast<const char*>(&expected), 4);
    const Case cases[] = {
        {"SOCKS4", CProxyLayer::kSocks4,
         [](int fd, Seen& seen) {
             seen.Add(ReadExactly(fd, 9));
             WriteAll(fd, std::string("\0\x5a\x12\x34\x7f\0\0\1", 8));
             WriteAll(fd, std::string("\0\x5a\0\0\0\0\0\0", 8));
             HoldOpen(fd);
         },
         std::string("\4\2\0\0", 4) + expectedBytes + std::string(1, '\0')},
        {"SOCKS4, the proxy's own address", CProxyLayer::kSocks4,
         [](int fd, Seen& seen) {
             seen.Add(ReadExactly(fd, 9));
             WriteAll(fd, std::string("\0\x5a\x12\x34\0\0\0\0", 8));
             WriteAll(fd, std::string("\0\x5a\0\0\0\0\0\0", 8));
             HoldOpen(fd);
         },
         std::string("\4\2\0\0", 4) + expectedBytes + std::string(1, '\0')},
        {"SOCKS5", CProxyLayer::kSocks5,
         [](int fd, Seen& seen) {
             seen.Add(ReadExactly(fd, 3));
             WriteAll(fd, std::string("\5\0", 2));
             seen.Add(ReadExactly(fd, 10));
             WriteAll(fd, std::string("\5\0\0\1\x7f\0\0\1\x12\x34", 10));
             WriteAll(fd, std::string("\5\0\0\1\x0a\0\0\x09\0\x50", 10));
             HoldOpen(fd);
         },
         std::string("\5\1\0", 3) + std::string("\5\2\0\1", 4) + expectedBytes + std::string("\0\0", 2)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Seen seen;
        ScriptedPeer proxy([&](int fd) { c.script(fd, seen); });
        RecordingSocket s;
        CProxyLayer l;
        std::vector<CProxyLayer::ListenAddress> where;
        s.answer = [&](const RecordingSocket::Notice& n) {
            if (n.type == 1 && n.param1 == CProxyLayer::kListenSocketCreated)
                where.push_back(*reinterpret_cast<const CProxyLayer::ListenAddress*>(n.param2));
            return 1;
        };
        bool accepted = false;
        s.onAccept = [&](int error) {
            RecordingSocket unused;
            accepted = error == 0 && s.Accept(unused);
        };
        l.SetProxy(c.type, "127.0.0.1", proxy.Port());
        ASSERT_TRUE(s.AddSocketLayer(&l));
        ASSERT_TRUE(s.Create());
        ASSERT_TRUE(s.Listen(static_cast<int>(expected)));
        ASSERT_TRUE(reactor.RunUntil([&] { return s.Count(FD_ACCEPT) > 0; }, 10s));
        EXPECT_TRUE(accepted);
        EXPECT_EQ(0, s.Count(FD_CONNECT));
        ASSERT_EQ(1u, where.size());
        EXPECT_EQ(inet_addr("127.0.0.1"), where[0].address);
        EXPECT_EQ(htons(0x1234), where[0].port);
        EXPECT_EQ(c.request, seen.Get());
        s.Close();
    }
}

namespace {

// Truncated and odd proxy replies, each followed by the proxy closing: the handshake
// fails with the request-failed notice and a connect error, reads nothing past what
// arrived, and hands the owner none of the proxy's bytes.
TEST_F(ProxyHandshake, TruncatedAndOddRepliesFailTheHandshake)
{
    struct Case {
        const char* what;
        int type;
        std::vector<std::string> replies;  // one per request the client sends
    };
    const std::string ok5("\5\0", 2);
    const Case cases[] = {
        {"SOCKS4 short", CProxyLayer::kSocks4, {std::string("\0\x5a\0", 3)}},
        {"SOCKS4 refused", CProxyLayer::kSocks4, {std::string("\0\x5b\0\0\0\0\0\0", 8)}},
        {"SOCKS4A short", CProxyLayer::kSocks4A, {std::string("\0", 1)}},
        {"SOCKS5 method short", CProxyLayer::kSocks5, {std::string("\5", 1)}},
        {"SOCKS5 wrong version", CProxyLayer::kSocks5, {std::string("\4\0", 2)}},
        {"SOCKS5 reply short", CProxyLayer::kSocks5, {ok5, std::string("\5\0\0", 3)}},
        {"SOCKS5 address type 0", CProxyLayer::kSocks5, {ok5, std::string("\5\0\0\0\0\0\0", 7) + kGreeting}},
        {"SOCKS5 address type 2", CProxyLayer::kSocks5, {ok5, std::string("\5\0\0\2\0\0\0\0\0\0", 10) + kGreeting}},
        {"SOCKS5 IPv4 cut", CProxyLayer::kSocks5, {ok5, std::string("\5\0\0\1\x7f\0", 6)}},
        {"SOCKS5 name cut", CProxyLayer::kSocks5, {ok5, std::string("\5\0\0\3\x10name", 9)}},
        {"SOCKS5 IPv6 cut", CProxyLayer::kSocks5, {ok5, std::string("\5\0\0\4", 4) + std::string(10, '\x20')}},
        {"SOCKS5 refused", CProxyLayer::kSocks5, {ok5, std::string("\5\1\0\1\0\0\0\0\0\0", 10)}},
        {"HTTP nothing", CProxyLayer::kHttp, {""}},
        {"HTTP cut status line", CProxyLayer::kHttp, {"HTTP/1.1 200 Connection estab"}},
        {"HTTP cut head", CProxyLayer::kHttp, {"HTTP/1.1 200 OK\r\nVia: x\r\n"}},
        {"HTTP not HTTP", CProxyLayer::kHttp, {"SSH-2.0-x\r\n\r\n"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedPeer proxy([&](int fd) {
            char request[600];
            for (const std::string& reply : c.replies) {
                if (::recv(fd, request, sizeof request, 0) <= 0)
                    return;
                WriteAll(fd, reply);
            }
        });
        RecordingSocket s;
        s.noticeHasText = [](int code) { return code == CProxyLayer::kRequestFailed; };
        std::string got;
        s.onReceive = [&](int) { s.Drain(got); };
        CProxyLayer l;
        l.SetProxy(c.type, "127.0.0.1", proxy.Port());
        ASSERT_TRUE(s.AddSocketLayer(&l));
        ASSERT_TRUE(s.Create());
        s.Connect(c.type == CProxyLayer::kSocks4A ? nettest::UnresolvableName().c_str() : "127.0.0.1", 80);
        ASSERT_TRUE(reactor.RunUntil([&] { return s.Count(FD_CONNECT) > 0; }, 10s));
        EXPECT_NE(0, s.FirstError(FD_CONNECT));
        bool failed = false;
        for (const auto& n : s.notices)
            failed = failed || (n.type == 1 && n.param1 == CProxyLayer::kRequestFailed);
        EXPECT_TRUE(failed);
        reactor.RunFor(20ms);
        EXPECT_EQ("", got);
        s.Close();
    }
}

}  // namespace
