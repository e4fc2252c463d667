// The news check's connection through the session's proxy, against a real SOCKS
// server: the session's protocol and credentials reach the proxy layer, a connect
// that fails at once ends the check before the news is asked for, and without
// "YES" no connection is made.
#include "upload/model/CNewsCheck.h"
#include "upload/model/CNewsConnection.h"

#include "net/CProxyLayer.h"
#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"
#include "tests/support/FakeWebHost.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

using namespace std::chrono_literals;

namespace {

SessionValues Session(const std::string& type, int port, bool auth, const std::string& password = "")
{
    SessionValues s;
    s.m_strProxy = "YES";
    s.m_strProxyType = type;
    s.m_strProxyHost = "127.0.0.1";
    s.m_strProxyPort = std::to_string(port);
    s.m_strProxyAuth = auth ? "YES" : "NO";
    s.m_strProxyUser = nettest::kSocksUser;
    s.m_strProxyPass = password.empty() ? nettest::kSocksPassword : password;
    return s;
}

TEST(CNewsConnection, TheSessionsProtocolAndCredentialsChooseTheProxyLayer)
{
    SessionValues s = Session("2", 1080, true);
    ServiceProxy p = CNewsConnection::ProxyFor(s);
    EXPECT_EQ(p.type, CProxyLayer::kSocks5);
    EXPECT_TRUE(p.auth);
    EXPECT_EQ(p.user, nettest::kSocksUser);
    EXPECT_EQ(p.port, 1080);
    s.m_strProxyType = "3";
    EXPECT_EQ(CNewsConnection::ProxyFor(s).type, CProxyLayer::kHttp);
    // SOCKS4 carries no credentials; an unknown protocol is a direct connection.
    s.m_strProxyType = "1";
    EXPECT_FALSE(CNewsConnection::ProxyFor(s).auth);
    EXPECT_EQ(CNewsConnection::ProxyFor(s).type, CProxyLayer::kSocks4);
    s.m_strProxyType = "4";
    EXPECT_EQ(CNewsConnection::ProxyFor(s).type, CProxyLayer::kDirect);
    s.m_strProxyType = "2";
    s.m_strProxyAuth = "NO";
    EXPECT_FALSE(CNewsConnection::ProxyFor(s).auth);

    std::string host;
    unsigned port = 0;
    ASSERT_TRUE(CNewsConnection::HostOf("https://news.example/cgi-bin/x.cgi?version=1.6&m=2", host, port));
    EXPECT_EQ(host, "news.example");
    EXPECT_EQ(port, 80u);
    ASSERT_TRUE(CNewsConnection::HostOf("http://127.0.0.1:8081?x=1", host, port));
    EXPECT_EQ(host, "127.0.0.1");
    EXPECT_EQ(port, 8081u);
    EXPECT_FALSE(CNewsConnection::HostOf("https:///path", host, port));
    EXPECT_FALSE(CNewsConnection::HostOf("http://h:99999/", host, port));
}

TEST(CNewsConnection, TheCheckConnectsThroughTheSocksServerBeforeItAsks)
{
    lfplat::PollReactor reactor;
    lftest::TempDir dir;
    lftest::FakeWebHost web("");
    UploadEndpoints at;
    at.newsBase = "http://" + web.HostPort();
    nettest::ChildProcess withPassword, open;
    int passwordPort = 0, openPort = 0;
    std::string error;
    std::filesystem::create_directories(dir / "pw");
    std::filesystem::create_directories(dir / "open");
    ASSERT_TRUE(nettest::StartSocksServer(withPassword, dir / "pw", passwordPort, true, error)) << error;
    ASSERT_TRUE(nettest::StartSocksServer(open, dir / "open", openPort, false, error)) << error;

    struct Case {
        const char* what;
        SessionValues session;
        bool asked;          // the news was asked for
        bool connected;      // the connection through the proxy was made
        std::string failure; // or why it was not
    };
    SessionValues direct;
    direct.m_strProxy = "NO";
    direct.m_strProxyType = "2";
    SessionValues unresolvableProxy = Session("2", passwordPort, true);
    unresolvableProxy.m_strProxyHost = nettest::UnresolvableName();
    const Case cases[] = {
        {"SOCKS5 with user and password", Session("2", passwordPort, true), true, true, ""},
        {"SOCKS5 with a wrong password", Session("2", passwordPort, true, "not-the-password"), true, false,
         "ERROR: Proxy error: Authentication failed"},
        {"SOCKS5 without credentials", Session("2", passwordPort, false), true, false,
         "ERROR: Proxy error: Required authtype reported by proxy server is unknown or not supported."},
        {"SOCKS4", Session("1", openPort, false), true, true, ""},
        // The proxy's name is looked up off the thread: the news is asked meanwhile.
        {"SOCKS5 to a proxy with no address", unresolvableProxy, true, false,
         "ERROR: Proxy error: Can't connect to proxy server. (host not found)"},
        {"no proxy", direct, true, false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CNewsCheck check;
        bool asked = false;
        std::string proxyOfFetch;
        check.SetFetch([&](const std::string&, const std::string& proxy, bool& ok) {
            asked = true;
            proxyOfFetch = proxy;
            // The request takes a while; the connection's handshake goes on meanwhile.
            if (check.Connection().Opened())
                reactor.RunUntil(
                    [&] { return check.Connection().Connected() || !check.Connection().Failure().empty(); }, 30s);
            ok = true;
            return std::string("<maxid>9</maxid>");
        });
        check.Run(at, 3, c.session);
        EXPECT_EQ(asked, c.asked);
        EXPECT_EQ(check.NewsAvailable(), c.asked);
        EXPECT_EQ(check.Connection().Connected(), c.connected);
        EXPECT_EQ(check.Connection().Failure(), c.failure);
        EXPECT_FALSE(check.Connection().Opened());
        if (c.asked) {
            EXPECT_EQ(proxyOfFetch,
                      c.session.m_strProxy == "YES"
                          ? "http://" + c.session.m_strProxyHost + ":" + c.session.m_strProxyPort
                          : "");
        }
    }

    // SOCKS4 cannot hand a name on: a news host with no address fails the connection
    // once it is looked up.
    UploadEndpoints nowhere;
    nowhere.newsBase = "https://" + nettest::UnresolvableName();
    CNewsCheck check;
    bool asked = false;
    check.SetFetch([&](const std::string&, const std::string&, bool& ok) {
        asked = true;
        reactor.RunUntil([&] { return !check.Connection().Failure().empty(); }, 30s);
        ok = false;
        return std::string();
    });
    check.Run(nowhere, 3, Session("1", openPort, false));
    EXPECT_TRUE(asked);
    EXPECT_FALSE(check.NewsAvailable());
    EXPECT_EQ(check.Connection().Failure(), "ERROR: Proxy error: Can't resolve host of proxy server. (host not found)");
}

}  // namespace
