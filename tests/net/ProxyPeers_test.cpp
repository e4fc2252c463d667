// The proxy layer against real proxy servers, started here on free loopback ports with
// configurations the test writes, each in front of a local service that greets first
// and then echoes.
#include "net/CProxyLayer.h"
#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>

using namespace std::chrono_literals;
using nettest::RecordingSocket;

namespace {

const std::string kGreeting = "greetings from the service\r\n";

struct Route {
    const char* what;
    int type;
    const char* host;  // the target as the owner names it
    const char* user;  // credentials, or null
    const char* password;
};

class RealProxy : public ::testing::Test {
protected:
    RealProxy()
        : service(
              [](int fd) {
                  nettest::WriteAll(fd, kGreeting);
                  nettest::EchoUntilEof(fd);
              },
              16)
    {
    }

    struct Outcome {
        int connectError = -1;
        int connects = 0;
        std::vector<int> notices;
        std::string text;  // of the last notice with one
        std::string received;
    };

    // Connects through the proxy and, when it works, sends a block through the
    // tunnel and reads the greeting and the echo back.
    Outcome Run(const Route& route, int proxyPort)
    {
        Outcome outcome;
        RecordingSocket socket;
        socket.noticeHasText = [](int code) { return code == CProxyLayer::kRequestFailed; };
        CProxyLayer layer;
        if (route.user)
            layer.SetProxyAuth(route.type, "127.0.0.1", proxyPort, route.user, route.password);
        else
            layer.SetProxy(route.type, "127.0.0.1", proxyPort);
        const std::string block(48 * 1024, 'e');
        socket.onConnect = [&](int error) {
            if (error == 0) {
                EXPECT_EQ(static_cast<int>(block.size()), socket.Send(block.data(), static_cast<int>(block.size())));
            }
        };
        socket.onReceive = [&](int) { socket.Drain(outcome.received); };
        EXPECT_TRUE(socket.AddSocketLayer(&layer));
        EXPECT_TRUE(socket.Create());
        socket.Connect(route.host, static_cast<unsigned>(service.Port()));
        EXPECT_TRUE(reactor.RunUntil([&] { return socket.Count(FD_CONNECT) > 0; }, 20s));
        if (socket.FirstError(FD_CONNECT) == 0)
            reactor.RunUntil([&] { return outcome.received.size() >= kGreeting.size() + block.size(); }, 20s);
        reactor.RunFor(10ms);
        outcome.connectError = socket.FirstError(FD_CONNECT);
        outcome.connects = socket.Count(FD_CONNECT);
        for (const auto& n : socket.notices) {
            if (n.type == 1) {
                outcome.notices.push_back(n.param1);
                if (!n.text.empty())
                    outcome.text = n.text;
            }
        }
        if (outcome.connectError == 0) {
            EXPECT_EQ(kGreeting + block, outcome.received) << route.what;
        }
        return outcome;
    }

    void ExpectTunnel(const Route& route, int proxyPort)
    {
        SCOPED_TRACE(route.what);
        const Outcome outcome = Run(route, proxyPort);
        EXPECT_EQ(0, outcome.connectError);
        EXPECT_EQ(1, outcome.connects);
        EXPECT_TRUE(outcome.notices.empty());
    }

    lfplat::PollReactor reactor;
    lftest::TempDir dir;
    nettest::ScriptedPeer service;
    nettest::ChildProcess proxy;
    std::string error;
};

}  // namespace

TEST_F(RealProxy, HttpConnectWithoutCredentials)
{
    int port = 0;
    ASSERT_TRUE(nettest::StartHttpProxy(proxy, dir.path(), port, "", "", error)) << error;
    ExpectTunnel({"by address", CProxyLayer::kHttp, "127.0.0.1", nullptr, nullptr}, port);
    ExpectTunnel({"by name", CProxyLayer::kHttp, "localhost", nullptr, nullptr}, port);
}

TEST_F(RealProxy, HttpConnectWithBasicCredentials)
{
    int port = 0;
    ASSERT_TRUE(nettest::StartHttpProxy(proxy, dir.path(), port, "alice", "wonder-land", error)) << error;
    ExpectTunnel({"with credentials", CProxyLayer::kHttp, "127.0.0.1", "alice", "wonder-land"}, port);

    const Outcome refused = Run({"without", CProxyLayer::kHttp, "127.0.0.1", nullptr, nullptr}, port);
    EXPECT_EQ(WSAECONNABORTED, refused.connectError);
    EXPECT_EQ(std::vector<int>{CProxyLayer::kRequestFailed}, refused.notices);
    EXPECT_NE(std::string::npos, refused.text.find(" 407")) << refused.text;
}

TEST_F(RealProxy, SocksWithoutAuthentication)
{
    int port = 0;
    ASSERT_TRUE(nettest::StartSocksServer(proxy, dir.path(), port, false, error)) << error;
    const Route routes[] = {
        {"SOCKS4 by address", CProxyLayer::kSocks4, "127.0.0.1", nullptr, nullptr},
        // SOCKS4 carries addresses: the name is looked up here. (The server does not
        // read SOCKS4A's names; the scripted proxies check what 4A sends.)
        {"SOCKS4 by name", CProxyLayer::kSocks4, "localhost", nullptr, nullptr},
        {"SOCKS5 by address", CProxyLayer::kSocks5, "127.0.0.1", nullptr, nullptr},
        {"SOCKS5 by name", CProxyLayer::kSocks5, "localhost", nullptr, nullptr},
    };
    for (const Route& route : routes)
        ExpectTunnel(route, port);
}

TEST_F(RealProxy, Socks5WithUserAndPassword)
{
    int port = 0;
    ASSERT_TRUE(nettest::StartSocksServer(proxy, dir.path(), port, true, error)) << error;
    ExpectTunnel({"SOCKS5 user/password", CProxyLayer::kSocks5, "127.0.0.1", nettest::kSocksUser,
                  nettest::kSocksPassword},
                 port);

    const Outcome wrong =
        Run({"wrong password", CProxyLayer::kSocks5, "127.0.0.1", nettest::kSocksUser, "not-the-password"}, port);
    EXPECT_EQ(WSAECONNABORTED, wrong.connectError);
    EXPECT_EQ(std::vector<int>{CProxyLayer::kAuthFailed}, wrong.notices);

    const Outcome none = Run({"no credentials", CProxyLayer::kSocks5, "127.0.0.1", nullptr, nullptr}, port);
    EXPECT_EQ(WSAECONNABORTED, none.connectError);
    EXPECT_EQ(std::vector<int>{CProxyLayer::kAuthTypeUnknown}, none.notices);
}
