// Upload Now end to end without a window: copies of real images, the login against the
// fake web host, the upload to the fake service, the end, the refusals, and the
// time-out with Retry under a stepped clock.
#include "upload/model/CUploadController.h"
#include "upload/model/HttpLogin.h"

#include "image/CLfImage.h"
#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"
#include "tests/support/FakeUploadService.h"
#include "tests/support/FakeWebHost.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <thread>

#include <sys/socket.h>

using namespace std::chrono_literals;
namespace fs = std::filesystem;

namespace {

struct View : IUploadView {
    std::vector<std::string> statuses, messages, serverMessages;
    Phase phase = kListing;
    int retryQuestions = 0;
    bool retry = true;
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgressRange(int64_t) override {}
    void SetProgress(int64_t) override {}
    void SetPhase(Phase p) override { phase = p; }
    void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
    void ShowServerMessage(const std::string& reply) override { serverMessages.push_back(reply); }
    void ShowStatusButton(const std::string&) override {}
    bool AskRetry(const std::string&) override
    {
        ++retryQuestions;
        return retry;
    }
};

std::string Bytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class UploadController : public ::testing::Test {
protected:
    UploadController()
    {
        const int heights[] = {1200, 300, 601};
        for (int i = 0; i < 3; ++i) {
            CLfImage image;
            image.Create(40 + i, heights[i], 24, lfimg::kTypeJPG);
            const fs::path path = dir / (std::string(1, static_cast<char>('a' + i)) + ".jpg");
            EXPECT_TRUE(image.Save(path.c_str(), lfimg::kTypeJPG));
            sources.push_back({path.string(), path.filename().string(), static_cast<int64_t>(fs::file_size(path)), true});
        }
        // The user's own file of the copy's name.
        std::ofstream(dir / "resized_a.jpg", std::ios::binary) << "mine";
    }

    UploadSettings Settings(int servicePort, const std::string& web)
    {
        UploadSettings s;
        s.login = "a&b c#%\xC3\xA9";
        s.password = "pw";
        s.server = "127.0.0.1";
        s.uploadType = 1;
        s.endpoints.webHost = web;
        s.endpoints.uploadHost = "127.0.0.1";
        s.endpoints.uploadPort = static_cast<unsigned>(servicePort);
        return s;
    }

    lftest::FakeUploadService::Options Service(int stall = -1)
    {
        lftest::FakeUploadService::Options options;
        options.uidSid = "7-abc";
        options.inboxPath = "/in/7";
        options.totalFiles = 3;
        options.stallAfterChunks = stall;
        return options;
    }

    static std::string Accepting()
    {
        return "<uid>7</uid><sid>abc</sid><inboxPath>/in/7</inboxPath><paidMember>1</paidMember>"
               "<Num-Paid>10</Num-Paid><SizeinMB-Paid>10</SizeinMB-Paid><maxDiskSpace>10000000</maxDiskSpace>"
               "<picturelimit>10</picturelimit><WWW>1</WWW>";
    }

    void ExpectNoCopiesLeft(const CUploadController& controller)
    {
        EXPECT_TRUE(controller.CopyPaths().empty());
        EXPECT_EQ(Bytes(dir / "resized_a.jpg"), "mine");
        for (const char* name : {"resized_b.jpg", "resized_c.jpg"})
            EXPECT_FALSE(fs::exists(dir / name)) << name;
    }

    lfplat::PollReactor reactor;
    lftest::TempDir dir;
    std::vector<UploadSource> sources;
    View view;
};

TEST_F(UploadController, UploadsReducedCopiesAndRemovesOnlyItsOwn)
{
    lftest::FakeUploadService service(Service());
    lftest::FakeWebHost web(Accepting());
    CUploadController controller(view, sources);
    controller.SetSettings(Settings(service.Port(), web.HostPort()));
    controller.UploadNow();
    ASSERT_TRUE(reactor.RunUntil([&] { return controller.Finished(); }, 30s));
    EXPECT_EQ(view.statuses.back(), "Transmission Successful: Host closed connection.");
    EXPECT_EQ(service.Errors(), std::vector<std::string>{});
    const auto files = service.Files();
    ASSERT_EQ(files.size(), 3u);
    const int expectHeights[] = {600, 300, 600};
    for (int i = 0; i < 3; ++i) {
        CLfImage image;
        const fs::path got = dir / ("got" + std::to_string(i) + ".jpg");
        std::ofstream(got, std::ios::binary).write(files.at(i).data(), static_cast<long>(files.at(i).size()));
        ASSERT_TRUE(image.Load(got.c_str(), lfimg::kTypeJPG)) << i;
        EXPECT_EQ(std::abs(image.GetHeight()), expectHeights[i]) << i;
    }
    const auto requests = web.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].query.at("login"), "a&b c#%\xC3\xA9");
    EXPECT_FALSE(controller.WatchdogRunning());
    ExpectNoCopiesLeft(controller);
}

TEST_F(UploadController, TheLoginsWebProxyIsTheSessionsProxyAndTheUploadTunnelsOnlyWhenItSaysYes)
{
    nettest::ChildProcess proxy;
    int proxyPort = 0;
    std::string error;
    ASSERT_TRUE(nettest::StartHttpProxy(proxy, dir.path(), proxyPort, "", "", error)) << error;
    const auto proxyLog = [&] { return lftest::ReadText(dir / "http-proxy.log"); };
    // "NO" first: whatever it did would be in the log before "YES" writes there.
    for (const char* flag : {"NO", "YES"}) {
        SCOPED_TRACE(flag);
        lftest::FakeUploadService service(Service());
        lftest::FakeWebHost web(Accepting());
        CUploadController controller(view, sources);
        UploadSettings settings = Settings(service.Port(), web.HostPort());
        settings.proxy = flag;
        settings.proxyHost = "http://127.0.0.1";  // with its scheme: the socket takes the bare host
        settings.proxyPort = std::to_string(proxyPort);
        controller.SetSettings(settings);
        controller.UploadNow();
        ASSERT_TRUE(reactor.RunUntil([&] { return controller.Finished(); }, 30s));
        EXPECT_EQ(view.statuses.back(), "Transmission Successful: Host closed connection.");
        EXPECT_EQ(service.Errors(), std::vector<std::string>{});
        EXPECT_EQ(service.Files().size(), 3u);
        ASSERT_EQ(web.Requests().size(), 1u);
        // The login's GET goes through the proxy whenever host and port are set; the
        // upload's CONNECT only with "YES".
        const bool viaProxy = std::string(flag) == "YES";
        const std::string tunnel = "CONNECT 127.0.0.1:" + std::to_string(service.Port());
        ASSERT_TRUE(reactor.RunUntil([&] { return !viaProxy || proxyLog().find(tunnel) != std::string::npos; }, 10s));
        EXPECT_NE(proxyLog().find("user_info.cgi"), std::string::npos) << proxyLog();
        EXPECT_EQ(proxyLog().find(tunnel) != std::string::npos, viaProxy) << proxyLog();
        // With "YES" a second connection through the proxy is made before the login;
        // it stays quiet, the greeting goes once, on the upload connection, and the
        // end of the upload closes both.
        // Each connection's end is seen on a thread of the service's own.
        ASSERT_TRUE(reactor.RunUntil(
            [&] { return service.Silent() == (viaProxy ? 1 : 0) && service.Completed() == 1; }, 10s));
        EXPECT_EQ(service.Connections(), viaProxy ? 2 : 1);
        EXPECT_EQ(service.Greetings(), 1);
        ExpectNoCopiesLeft(controller);
    }
}

// The proxy's host has no address: its name is looked up off the thread, so the
// pre-connection fails later and silently, and the login goes on; the login's own
// request through that proxy then fails and says so, without waiting for the watchdog.
TEST_F(UploadController, APreConnectionWhoseProxyIsNotFoundFailsSilently)
{
    lftest::FakeUploadService service(Service());
    lftest::FakeWebHost web(Accepting());
    CUploadController controller(view, sources);
    UploadSettings settings = Settings(service.Port(), web.HostPort());
    settings.proxy = "YES";
    settings.proxyHost = nettest::UnresolvableName();
    settings.proxyPort = "3128";
    controller.SetSettings(settings);
    controller.UploadNow();
    EXPECT_TRUE(controller.LoggingIn());
    EXPECT_TRUE(controller.WatchdogRunning());
    ASSERT_TRUE(reactor.RunUntil([&] { return controller.Finished(); }, 30s));
    EXPECT_EQ(view.statuses.back(), "ERROR: Could not connect to Authentication Server. Closing Connection.");
    EXPECT_TRUE(view.messages.empty());
    EXPECT_FALSE(controller.WatchdogRunning());
    EXPECT_TRUE(web.Requests().empty());
    EXPECT_EQ(service.Connections(), 0);
    ExpectNoCopiesLeft(controller);
}

TEST_F(UploadController, ARefusalOpensNoConnectionAndLeavesNoWatchdog)
{
    lftest::FakeUploadService service(Service());
    lftest::FakeWebHost web("<html><Title>Invalid login</Title></html>");
    CUploadController controller(view, sources);
    controller.SetSettings(Settings(service.Port(), web.HostPort()));
    controller.UploadNow();
    ASSERT_TRUE(reactor.RunUntil([&] { return controller.Finished(); }, 30s));
    EXPECT_FALSE(controller.WatchdogRunning());
    EXPECT_EQ(view.statuses.back(), "ERROR: Please enter correct username and password.");
    EXPECT_EQ(view.messages, std::vector<std::string>{"Invalid login/password"});
    reactor.RunFor(100ms);
    EXPECT_EQ(service.Connections(), 0);
    ExpectNoCopiesLeft(controller);
}

TEST_F(UploadController, NothingTickedIsRefusedBeforeAnyCopy)
{
    CUploadController controller(view, sources);
    for (const auto& s : sources)
        controller.SetTicked(s.path, false);
    controller.UploadNow();
    ASSERT_EQ(view.messages.size(), 1u);
    EXPECT_EQ(view.messages[0], "No picture selected for upload \nPlease select one or more picture to upload.");
    EXPECT_TRUE(controller.CopyPaths().empty());
    EXPECT_EQ(view.phase, IUploadView::kListing);
}

TEST_F(UploadController, AStallOffersRetryWhichResumesWithTheInterruptedFile)
{
    // Stall after the first chunk (the whole first file, a small JPEG).
    lftest::FakeUploadService service(Service(1));
    lftest::FakeWebHost web(Accepting());
    std::atomic<int64_t> now{100};
    CUploadController controller(view, sources);
    controller.SetSettings(Settings(service.Port(), web.HostPort()));
    controller.SetClock([&] { return now.load(); });
    controller.UploadNow();
    // Once the service is silent, the client's last handler (and its activity time) is
    // done: the test's thread runs them. Then 20 seconds pass.
    const auto end = std::chrono::steady_clock::now() + 30s;
    while (!service.Stalled() && std::chrono::steady_clock::now() < end)
        reactor.RunOnce(10ms);
    ASSERT_TRUE(service.Stalled());
    now += 20;
    ASSERT_TRUE(reactor.RunUntil([&] { return view.retryQuestions == 1; }, 30s));
    ASSERT_TRUE(reactor.RunUntil([&] { return controller.Finished(); }, 30s));
    EXPECT_EQ(view.retryQuestions, 1);
    // The first file was whole; the retry starts again with the second one.
    EXPECT_EQ(service.FilesLeftSeen(), (std::vector<int>{3, 2}));
    EXPECT_EQ(service.Errors(), std::vector<std::string>{});
    EXPECT_EQ(service.Files().size(), 3u);
    EXPECT_EQ(view.statuses.back(), "Transmission Successful: Host closed connection.");
    EXPECT_FALSE(controller.WatchdogRunning());
    ExpectNoCopiesLeft(controller);
}

TEST_F(UploadController, CancelDuringTheUploadStopsEverything)
{
    lftest::FakeUploadService service(Service(1));
    lftest::FakeWebHost web(Accepting());
    CUploadController controller(view, sources);
    controller.SetSettings(Settings(service.Port(), web.HostPort()));
    controller.UploadNow();
    ASSERT_TRUE(controller.WatchdogRunning());
    ASSERT_FALSE(controller.CopyPaths().empty());
    controller.Cancel();
    EXPECT_FALSE(controller.WatchdogRunning());
    ExpectNoCopiesLeft(controller);
}

// A login server that never answers, and one that drips a byte now and then: the
// request runs beside the loop, which keeps turning; the status says what happens,
// Cancel is enabled, and Cancel ends the request at once.
TEST_F(UploadController, AHangingOrDrippingLoginLeavesTheLoopFreeAndCancelEndsIt)
{
    struct Case {
        const char* what;
        bool drip;
    };
    for (const Case c : {Case{"silent", false}, Case{"dripping", true}}) {
        SCOPED_TRACE(c.what);
        std::atomic<bool> requested{false};
        const auto wake = reactor.GetPoster();
        nettest::ScriptedPeer web([&](int fd) {
            nettest::ReadHttpHead(fd);
            requested = true;
            wake.Post([] {});
            const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n";
            for (size_t i = 0;; ++i) {
                if (c.drip && ::send(fd, &head[i % head.size()], 1, MSG_NOSIGNAL) != 1)
                    return;
                char byte;
                // Ends when the client goes away.
                if (::recv(fd, &byte, 1, MSG_DONTWAIT) == 0)
                    return;
                std::this_thread::sleep_for(100ms);
            }
        });
        CUploadController controller(view, sources);
        const nettest::ClosedPort nobody;
        controller.SetSettings(Settings(nobody.Port(), "127.0.0.1:" + std::to_string(web.Port())));
        controller.UploadNow();
        EXPECT_TRUE(controller.LoggingIn());
        EXPECT_EQ(view.phase, IUploadView::kUploading);
        EXPECT_EQ(view.statuses.back(), "Connecting to Lanternfolio Authentication Server....");
        // The loop turns while the request waits: timers keep firing.
        ASSERT_TRUE(reactor.RunUntil([&] { return requested.load(); }, 10s));
        int ticks = 0;
        std::function<void()> tick = [&] {
            if (++ticks < 10)
                reactor.StartTimer(20ms, tick);
        };
        reactor.StartTimer(20ms, tick);
        reactor.RunUntil([&] { return ticks >= 10; }, 10s);
        EXPECT_GE(ticks, 10);
        EXPECT_TRUE(controller.LoggingIn());
        const auto start = std::chrono::steady_clock::now();
        controller.Cancel();
        // Well under the request's own time-outs (20 s to connect, 60 s in all).
        EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
        EXPECT_FALSE(controller.LoggingIn());
        EXPECT_FALSE(controller.WatchdogRunning());
        ExpectNoCopiesLeft(controller);
        reactor.RunFor(50ms);
    }
}

// Answers that are no login reply: a refusal without the reply's tags names its
// status; a refusal that carries them is read as the reply it is; an overlong body is
// not used.
TEST_F(UploadController, RepliesThatAreNoLoginRepliesEndTheLogin)
{
    struct Case {
        std::string body;
        int status;
        std::string expect;
    };
    const Case cases[] = {
        {"", 403, "ERROR: Could not connect to Authentication Server (HTTP status 403). Closing Connection."},
        {"<html>Bad gateway</html>", 502,
         "ERROR: Could not connect to Authentication Server (HTTP status 502). Closing Connection."},
        {"<html><Title>Invalid login</Title></html>", 403, "ERROR: Please enter correct username and password."},
        {Accepting() + std::string(HttpLogin::kMaxReply, 'x'), 200,
         "ERROR: The server's reply could not be used. Closing Connection."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.expect);
        lftest::FakeUploadService service(Service());
        lftest::FakeWebHost web(c.body, c.status);
        View v;
        CUploadController controller(v, sources);
        controller.SetSettings(Settings(service.Port(), web.HostPort()));
        controller.UploadNow();
        ASSERT_TRUE(reactor.RunUntil([&] { return controller.Finished(); }, 30s));
        EXPECT_EQ(v.statuses.back(), c.expect);
        EXPECT_TRUE(v.serverMessages.empty());
        EXPECT_FALSE(controller.WatchdogRunning());
        EXPECT_EQ(service.Connections(), 0);
        ExpectNoCopiesLeft(controller);
    }
}

// The service greets and falls silent before asking for any file: the time-out counts
// no file as sent, never a negative number.
TEST_F(UploadController, ASilentServiceAfterTheGreetingCountsNoFileUploaded)
{
    std::atomic<bool> greeted{false};
    const auto wake = reactor.GetPoster();
    nettest::ScriptedPeer service([&](int fd) {
        nettest::ReadExactly(fd, 256);  // HELLO
        greeted = true;
        wake.Post([] {});
        char byte;
        while (::recv(fd, &byte, 1, 0) > 0) {
        }
    });
    lftest::FakeWebHost web(Accepting());
    std::atomic<int64_t> now{100};
    view.retry = false;
    CUploadController controller(view, sources);
    controller.SetSettings(Settings(service.Port(), web.HostPort()));
    controller.SetClock([&] { return now.load(); });
    controller.UploadNow();
    ASSERT_TRUE(reactor.RunUntil([&] { return greeted.load(); }, 30s));
    now += 20;
    ASSERT_TRUE(reactor.RunUntil([&] { return view.retryQuestions == 1; }, 30s));
    EXPECT_EQ(view.statuses.back(), "Uploaded 0 of 3 files. Connection Time Out. Please Check your network");
    EXPECT_TRUE(controller.Finished());
}

}  // namespace
