// The TLS layer against a TLS test server on loopback with certificates made here:
// the handshake, clear text both ways (directly and through a proxy layer), the
// certificate record, and the refusals of a wrong host and an untrusted certificate.
#include "net/CProxyLayer.h"
#include "net/CSslLayer.h"
#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

using namespace std::chrono_literals;
using nettest::RecordingSocket;

namespace {

struct Certificate {
    std::filesystem::path cert;
    std::filesystem::path key;
};

std::string RunCommand(const std::string& command)
{
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        char buffer[256];
        while (fgets(buffer, sizeof buffer, pipe))
            output += buffer;
        pclose(pipe);
    }
    return output;
}

// A self-signed certificate for one host name, made with the engine's command-line tool.
Certificate MakeCertificate(const std::filesystem::path& dir, const std::string& host)
{
    Certificate c{dir / (host + ".crt"), dir / (host + ".key")};
    RunCommand(nettest::FindProgram("openssl") + " req -x509 -newkey rsa:2048 -nodes -days 2 -keyout " +
               c.key.string() + " -out " + c.cert.string() + " -subj '/O=Lanternfolio Test/CN=" + host +
               "' -addext subjectAltName=DNS:" + host + " 2>&1");
    return c;
}

class SslLayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        s_dir = std::make_unique<lftest::TempDir>();
        s_local = MakeCertificate(s_dir->path(), "localhost");
        s_elsewhere = MakeCertificate(s_dir->path(), "elsewhere.test");
    }
    static void TearDownTestSuite() { s_dir.reset(); }

    void SetUp() override
    {
        ASSERT_TRUE(std::filesystem::exists(s_local.cert)) << "openssl is needed (scripts/install-deps.sh)";
        socket.noticeHasText = [](int code) {
            return code == CSslLayer::kNoticeAlert || code == CSslLayer::kNoticeProgress;
        };
        socket.onReceive = [this](int) { socket.Drain(received); };
    }

    // A server that answers each line reversed, with this certificate.
    void StartServer(const Certificate& c)
    {
        std::string error;
        const auto argvFor = [&](int p) {
            return std::vector<std::string>{nettest::FindProgram("openssl"), "s_server", "-accept",
                                            "127.0.0.1:" + std::to_string(p), "-cert", c.cert.string(), "-key",
                                            c.key.string(), "-rev"};
        };
        ASSERT_TRUE(server.StartOnFreePort(argvFor, port, s_dir->path() / "server.log", error)) << error;
    }

    bool Established() const { return HasNotice(CSslLayer::kNoticeDone, 0); }
    bool HasNotice(int code, intptr_t param2) const
    {
        for (const auto& n : socket.notices) {
            if (n.type == 1 && n.param1 == code && n.param2 == param2)
                return true;
        }
        return false;
    }

    // Once the session stands, a line goes out and its reversal must come back.
    void ExpectReversedEcho()
    {
        ASSERT_TRUE(reactor.RunUntil([&] { return Established(); }, 20s));
        const std::string line = "clear text through the chain\n";
        ASSERT_TRUE(reactor.RunUntil([&] { return socket.Count(FD_WRITE) > 0; }, 5s));
        ASSERT_EQ(static_cast<int>(line.size()), socket.Send(line.data(), static_cast<int>(line.size())));
        ASSERT_TRUE(reactor.RunUntil([&] { return received.find('\n') != std::string::npos; }, 20s));
        EXPECT_EQ("niahc eht hguorht txet raelc\n", received);
    }

    static inline std::unique_ptr<lftest::TempDir> s_dir;
    static inline Certificate s_local;
    static inline Certificate s_elsewhere;

    lfplat::PollReactor reactor;
    nettest::ChildProcess server;
    int port = 0;
    RecordingSocket socket;
    CSslLayer ssl;
    std::string received;
};

}  // namespace

TEST_F(SslLayerTest, HandshakeExchangeAndCertificate)
{
    StartServer(s_local);
    lftest::ScopedEnv trust("SSL_CERT_FILE", s_local.cert.string());
    ASSERT_TRUE(socket.AddSocketLayer(&ssl));
    ASSERT_TRUE(socket.Create());
    EXPECT_TRUE(ssl.InitClient());
    EXPECT_TRUE(ssl.IsInitialised());
    // True: the name is being looked up on the socket's worker.
    EXPECT_TRUE(socket.Connect("localhost", static_cast<unsigned>(port)));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    // No clear text before the session stands.
    EXPECT_EQ(-1, socket.Send("x", 1));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    ExpectReversedEcho();
    EXPECT_EQ(1, socket.Count(FD_CONNECT));

    bool cipherTold = false;
    for (const auto& n : socket.notices) {
        if (n.type == 1 && n.param1 == CSslLayer::kNoticeProgress && n.text.rfind("Using TLSv1.", 0) == 0) {
            cipherTold = true;
            EXPECT_NE(std::string::npos, n.text.find(", 2048 bit RSA")) << n.text;
        }
    }
    EXPECT_TRUE(cipherTold);

    SslCertificateData record;
    ASSERT_TRUE(ssl.GetPeerCertificateData(record));
    EXPECT_STREQ("localhost", record.subject.commonName);
    EXPECT_STREQ("Lanternfolio Test", record.subject.organization);
    EXPECT_STREQ("localhost", record.issuer.commonName);
    EXPECT_GE(record.validFromYear, 2024);
    EXPECT_GE(record.validUntilYear, record.validFromYear);
    EXPECT_EQ(ssl.GetVerificationId(), record.verificationId);
    const std::string fingerprint =
        RunCommand(nettest::FindProgram("openssl") + " x509 -noout -fingerprint -sha1 -in " + s_local.cert.string());
    std::string hex;
    for (unsigned char b : record.sha1) {
        char two[4];
        std::snprintf(two, sizeof two, "%02X:", b);
        hex += two;
    }
    hex.pop_back();
    EXPECT_NE(std::string::npos, fingerprint.find(hex)) << fingerprint;

    // Our close_notify goes out, the server's comes back: shutdown completed, once.
    EXPECT_TRUE(socket.ShutDown());
    EXPECT_EQ(-1, socket.Send("x", 1));
    EXPECT_EQ(WSAESHUTDOWN, WSAGetLastError());
    ASSERT_TRUE(reactor.RunUntil([&] { return HasNotice(CSslLayer::kNoticeDone, 1); }, 20s));
    reactor.RunFor(20ms);
    int completions = 0;
    for (const auto& n : socket.notices)
        completions += n.type == 1 && n.param1 == CSslLayer::kNoticeDone && n.param2 == 1;
    EXPECT_EQ(1, completions);

    socket.Close();
    EXPECT_FALSE(ssl.IsInitialised());
}

// The chain: TLS above an HTTP CONNECT proxy layer; the handshake starts once the
// proxy has made the tunnel.
TEST_F(SslLayerTest, ThroughAProxyLayer)
{
    StartServer(s_local);
    lftest::ScopedEnv trust("SSL_CERT_FILE", s_local.cert.string());
    const int target = port;
    nettest::ScriptedPeer proxy([target](int fd) {
        nettest::ReadHttpHead(fd);
        nettest::WriteAll(fd, "HTTP/1.1 200 Connection established\r\n\r\n");
        nettest::Relay(fd, target);
    });
    CProxyLayer tunnel;
    tunnel.SetProxy(CProxyLayer::kHttp, "127.0.0.1", proxy.Port());
    ASSERT_TRUE(socket.AddSocketLayer(&ssl));
    ASSERT_TRUE(socket.AddSocketLayer(&tunnel));
    ASSERT_TRUE(socket.Create());
    ASSERT_TRUE(ssl.InitClient());
    socket.Connect("localhost", static_cast<unsigned>(target));
    ExpectReversedEcho();
    socket.Close();
}

// A certificate for another host, and one nobody trusts: the session fails with
// failure 8 and the connection closes with 10053; nothing waits for an answer.
TEST_F(SslLayerTest, UnverifiedCertificatesFailTheSession)
{
    struct Case {
        const char* what;
        const Certificate* served;
        const Certificate* trusted;
    };
    const Case cases[] = {
        {"wrong host name", &s_elsewhere, &s_elsewhere},
        {"untrusted", &s_local, &s_elsewhere},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        StartServer(*c.served);
        lftest::ScopedEnv trust("SSL_CERT_FILE", c.trusted->cert.string());
        RecordingSocket s;
        CSslLayer layer;
        ASSERT_TRUE(s.AddSocketLayer(&layer));
        ASSERT_TRUE(s.Create());
        ASSERT_TRUE(layer.InitClient());
        s.Connect("localhost", static_cast<unsigned>(port));
        ASSERT_TRUE(reactor.RunUntil([&] { return s.Count(FD_CLOSE) > 0; }, 20s));
        EXPECT_EQ(WSAECONNABORTED, s.FirstError(FD_CLOSE));
        std::vector<int> codes;
        intptr_t verification = 0;
        for (const auto& n : s.notices) {
            if (n.type == 1 && n.param1 != CSslLayer::kNoticeProgress && n.param1 != CSslLayer::kNoticeAlert)
                codes.push_back(n.param1);
            if (n.type == 1 && n.param1 == CSslLayer::kNoticeVerifyCert)
                verification = n.param2;
            if (n.type == 1 && n.param1 == CSslLayer::kNoticeFailure) {
                EXPECT_EQ(CSslLayer::kFailureCertificate, n.param2);
            }
        }
        EXPECT_EQ((std::vector<int>{CSslLayer::kNoticeVerifyCert, CSslLayer::kNoticeFailure}), codes);
        EXPECT_NE(0, verification);
        EXPECT_EQ(-1, s.Send("x", 1));
        EXPECT_EQ(WSAECONNABORTED, WSAGetLastError());
        s.Close();
        server.Stop();
    }
}

// An owner that keeps the decision for later and then accepts gets its session.
TEST_F(SslLayerTest, ALaterAcceptKeepsTheSession)
{
    StartServer(s_local);
    lftest::ScopedEnv trust("SSL_CERT_FILE", s_elsewhere.cert.string());
    int asked = 0;
    socket.answer = [&](const RecordingSocket::Notice& n) {
        if (n.type == 1 && n.param1 == CSslLayer::kNoticeVerifyCert) {
            ++asked;
            return 2;
        }
        return 1;
    };
    ASSERT_TRUE(socket.AddSocketLayer(&ssl));
    ASSERT_TRUE(socket.Create());
    ASSERT_TRUE(ssl.InitClient());
    socket.Connect("localhost", static_cast<unsigned>(port));
    ASSERT_TRUE(reactor.RunUntil([&] { return asked > 0; }, 20s));
    reactor.RunFor(50ms);
    EXPECT_FALSE(Established());
    EXPECT_EQ(-1, socket.Send("x", 1));
    EXPECT_EQ(WSAEWOULDBLOCK, WSAGetLastError());
    ssl.SetNotifyReply(ssl.GetVerificationId() + 1, 2, 1);  // another session's id: ignored
    EXPECT_FALSE(Established());
    ssl.SetNotifyReply(ssl.GetVerificationId(), 2, 1);
    ExpectReversedEcho();
}

TEST_F(SslLayerTest, MissingLibrariesAreFailureTwo)
{
    CSslLayer::SetLibraryNames("libssl-not-here.so.3", "libcrypto.so.3");
    ASSERT_TRUE(socket.AddSocketLayer(&ssl));
    ASSERT_TRUE(socket.Create());
    EXPECT_FALSE(ssl.InitClient());
    CSslLayer::SetLibraryNames("libssl.so.3", "libcrypto.so.3");
    EXPECT_FALSE(ssl.IsInitialised());
    EXPECT_TRUE(HasNotice(CSslLayer::kNoticeFailure, CSslLayer::kFailureLoadLibraries));
    // Without a session the layer passes everything through.
    char byte;
    EXPECT_EQ(-1, socket.Receive(&byte, 1));
    EXPECT_EQ(WSAENOTCONN, WSAGetLastError());
}
