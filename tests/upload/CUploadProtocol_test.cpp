// The protocol engine against the fake upload service on loopback, directly, through
// an HTTP proxy, and after a stall with a retry; the login over HTTP against the
// fake web host.
#include "upload/model/CTransferThread.h"
#include "upload/model/CUploadProtocol.h"
#include "upload/model/HttpLogin.h"
#include "upload/model/LoginReply.h"

#include "platform/PollReactor.h"
#include "tests/net/NetTestPeers.h"
#include "tests/support/FakeUploadService.h"
#include "tests/support/FakeWebHost.h"
#include "tests/support/TestEnv.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <thread>

#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace std::chrono_literals;

namespace {

struct RecordingSink : IUploadProtocolSink {
    std::vector<std::string> statuses, messages;
    std::string failed;
    bool connected = false, finished = false;
    int activities = 0;
    int loginReady = 0;
    std::vector<std::pair<int, int>> started;
    std::function<void()> onActivity, onConnected;

    void OnStatus(const std::string& text) override { statuses.push_back(text); }
    void OnConnected() override
    {
        connected = true;
        if (onConnected)
            onConnected();
    }
    void OnActivity() override
    {
        ++activities;
        if (onActivity)
            onActivity();
    }
    void OnFileStarted(int previous, int next) override { started.emplace_back(previous, next); }
    void OnFinished() override { finished = true; }
    void OnMessage(const std::string& text) override { messages.push_back(text); }
    void OnFailed(const std::string& status) override { failed = status; }
    void OnLoginReady() override { ++loginReady; }
};

// Waits for the fake service's thread, which does not wake the test's loop.
bool WaitFor(const std::function<bool()>& done, std::chrono::seconds limit = 10s)
{
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!done() && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(1ms);
    return done();
}

std::vector<char> Pattern(size_t size, unsigned seed)
{
    std::vector<char> bytes(size);
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + seed * 7 + (i >> 8)) & 0xFF);
    return bytes;
}

class UploadProtocol : public ::testing::Test {
protected:
    UploadProtocol()
    {
        const size_t sizes[] = {0, 10241, 300 * 1024};
        for (unsigned i = 0; i < 3; ++i) {
            contents.push_back(Pattern(sizes[i], i));
            const auto path = dir / ("resized_f" + std::to_string(i) + ".jpg");
            std::ofstream(path, std::ios::binary).write(contents[i].data(), static_cast<long>(sizes[i]));
            files.push_back({path.string(), "f" + std::to_string(i) + ".jpg", static_cast<int64_t>(sizes[i]),
                             static_cast<int64_t>(sizes[i]) + 5, (dir / ("f" + std::to_string(i) + ".jpg")).string()});
        }
    }

    lftest::FakeUploadService::Options Service(int stall = -1)
    {
        lftest::FakeUploadService::Options options;
        options.uidSid = "42-s77";
        options.inboxPath = "/inbox/u42";
        options.totalFiles = 3;
        options.stallAfterChunks = stall;
        return options;
    }

    void Prepare(CUploadProtocol& protocol)
    {
        protocol.SetFiles(files);
        protocol.SetAccount("42-s77", "/inbox/u42");
    }

    void ExpectDelivered(const lftest::FakeUploadService& service)
    {
        EXPECT_EQ(service.Errors(), std::vector<std::string>{});
        const auto got = service.Files();
        ASSERT_EQ(got.size(), 3u);
        for (int i = 0; i < 3; ++i)
            EXPECT_TRUE(got.at(i) == contents[i]) << "file " << i;
    }

    lfplat::PollReactor reactor;
    lftest::TempDir dir;
    std::vector<std::vector<char>> contents;
    std::vector<UploadFile> files;
};

TEST_F(UploadProtocol, ThreeFilesArriveByteIdenticalAndOddCommandsGetDknow)
{
    auto options = Service();
    options.oddCommands = {"FILEX", "OKBY", "filec"};
    lftest::FakeUploadService service(options);
    RecordingSink sink;
    CUploadProtocol protocol(sink);
    Prepare(protocol);
    ASSERT_TRUE(protocol.Connect("127.0.0.1", static_cast<unsigned>(service.Port())));
    ASSERT_TRUE(reactor.RunUntil([&] { return sink.finished || !sink.failed.empty(); }, 30s));
    EXPECT_TRUE(sink.failed.empty()) << sink.failed;
    ASSERT_TRUE(WaitFor([&] { return service.Completed() == 1; }));
    ExpectDelivered(service);
    EXPECT_EQ(service.FilesLeftSeen(), std::vector<int>{3});
    EXPECT_TRUE(sink.connected);
    EXPECT_EQ(sink.statuses.front(), "Connected to server....");
    EXPECT_EQ(sink.statuses.back(), "Uploading 3 of 3 files: f2.jpg (Size of file: 300.0 KB) 100% Done...");
    EXPECT_EQ(sink.started, (std::vector<std::pair<int, int>>{{-1, 0}, {0, 1}, {1, 2}}));
    EXPECT_TRUE(sink.messages.empty());
}

TEST_F(UploadProtocol, ThroughAnHttpProxyTheLoginAndTheUploadArrive)
{
    lftest::FakeUploadService service(Service());
    lftest::FakeWebHost web("<uid>42</uid><sid>s77</sid>");
    nettest::ChildProcess proxy;
    int proxyPort = 0;
    std::string error;
    ASSERT_TRUE(nettest::StartHttpProxy(proxy, dir.path(), proxyPort, "", "", error)) << error;

    UploadEndpoints at;
    at.webHost = web.HostPort();
    const auto reply = HttpLogin::Get(LoginReply::LoginUrl(at, "a&b c#%\xC3\xA9", "p w", 5),
                                      HttpLogin::ProxyFor("YES", "http://127.0.0.1", std::to_string(proxyPort)));
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.body, "<uid>42</uid><sid>s77</sid>");
    const auto requests = web.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].query.at("login"), "a&b c#%\xC3\xA9");
    EXPECT_EQ(requests[0].query.at("password"), "p w");

    RecordingSink sink;
    CUploadProtocol protocol(sink);
    Prepare(protocol);
    ASSERT_TRUE(protocol.Connect("127.0.0.1", static_cast<unsigned>(service.Port()),
                                 HttpLogin::SocketProxyHost("http://127.0.0.1"), proxyPort));
    ASSERT_TRUE(reactor.RunUntil([&] { return sink.finished || !sink.failed.empty(); }, 30s));
    EXPECT_TRUE(sink.failed.empty()) << sink.failed;
    ASSERT_TRUE(WaitFor([&] { return service.Completed() == 1; }));
    ExpectDelivered(service);
    // The proxy's own reply is no command: nothing was answered with DKNOW.
    EXPECT_TRUE(sink.messages.empty());
}

// The login's pre-connection through the proxy comes first; its greeting waits for the
// upload connection, and the service hears HELLO once, on that connection only.
TEST_F(UploadProtocol, APreConnectionsGreetingWaitsForTheUploadConnectionAndIsSaidOnce)
{
    lftest::FakeUploadService service(Service());
    nettest::ChildProcess proxy;
    int proxyPort = 0;
    std::string error;
    ASSERT_TRUE(nettest::StartHttpProxy(proxy, dir.path(), proxyPort, "", "", error)) << error;
    RecordingSink sink;
    CUploadProtocol protocol(sink);
    Prepare(protocol);
    const auto port = static_cast<unsigned>(service.Port());
    ASSERT_TRUE(protocol.PreConnect("127.0.0.1", port, "127.0.0.1", proxyPort));
    ASSERT_TRUE(reactor.RunUntil([&] { return service.Connections() == 1; }, 10s));
    reactor.RunFor(300ms);
    EXPECT_FALSE(sink.connected);
    EXPECT_TRUE(sink.statuses.empty());
    ASSERT_TRUE(protocol.Connect("127.0.0.1", port, "127.0.0.1", proxyPort));
    ASSERT_TRUE(reactor.RunUntil([&] { return sink.finished || !sink.failed.empty(); }, 30s));
    EXPECT_TRUE(sink.failed.empty()) << sink.failed;
    ASSERT_TRUE(WaitFor([&] { return service.Completed() == 1 && service.Silent() == 1; }));
    ExpectDelivered(service);
    EXPECT_EQ(service.Connections(), 2);
    EXPECT_EQ(service.Greetings(), 1);
    EXPECT_EQ(std::count(sink.statuses.begin(), sink.statuses.end(), "Connected to server...."), 1);

    // A proxy host with no address: the pre-connection fails once its name is looked
    // up, and says nothing.
    EXPECT_TRUE(protocol.PreConnect("127.0.0.1", port, nettest::UnresolvableName(), proxyPort));
    reactor.RunFor(300ms);
    EXPECT_TRUE(sink.messages.empty());
    EXPECT_TRUE(sink.failed.empty()) << sink.failed;
}

TEST(HttpLogin, TheBodyCountsWhateverTheStatusAndLinesAreJoined)
{
    lftest::FakeWebHost web("<uid>1</uid>\r\n<sid>2</sid>\n", 500);
    const auto reply = HttpLogin::Get("http://" + web.HostPort() + "/x", "");
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.body, "<uid>1</uid><sid>2</sid>");

    const nettest::ClosedPort closed;
    const auto refused = HttpLogin::Get("http://127.0.0.1:" + std::to_string(closed.Port()) + "/", "");
    EXPECT_FALSE(refused.ok);
    EXPECT_EQ(HttpLogin::ProxyFor("NO", "h", "1"), "");
    EXPECT_EQ(HttpLogin::ProxyFor("YES", "h", "8080"), "http://h:8080");
    EXPECT_EQ(HttpLogin::ProxyFor("YES", "http://h", "8080"), "http://h:8080");
    EXPECT_EQ(HttpLogin::SocketProxyHost("http://h"), "h");
    EXPECT_EQ(HttpLogin::SocketProxyHost("h"), "h");
}

TEST_F(UploadProtocol, AStallGivesOneTimeOutAndTheRetryResendsTheInterruptedFileWhole)
{
    // Stall after the first chunk of the second file.
    lftest::FakeUploadService service(Service(1));
    RecordingSink sink;
    CUploadProtocol protocol(sink);
    Prepare(protocol);

    std::atomic<int64_t> now{1000};
    std::atomic<int> timeouts{0};
    const auto poster = reactor.GetPoster();
    bool retried = false;
    std::unique_ptr<CTransferThread> watchdog;
    const auto startWatchdog = [&] {
        watchdog = std::make_unique<CTransferThread>(
            CTransferThread::Callbacks{{}, [&] {
                                           ++timeouts;
                                           poster.Post([&] {
                                               // The dialog's time-out: close, step back, log in again.
                                               protocol.CloseSocket();
                                               watchdog->Join();
                                               protocol.StepBackForRetry();
                                               retried = true;
                                               ASSERT_TRUE(protocol.Connect("127.0.0.1",
                                                                            static_cast<unsigned>(service.Port())));
                                           });
                                       }},
            [&] { return now.load(); });
        ASSERT_TRUE(watchdog->Start());
    };
    startWatchdog();
    sink.onActivity = [&] { watchdog->Touch(); };
    sink.onConnected = [&] { watchdog->SetConnected(); };
    ASSERT_TRUE(protocol.Connect("127.0.0.1", static_cast<unsigned>(service.Port())));
    ASSERT_TRUE(reactor.RunUntil([&] { return protocol.FileOffset() == 10240 && protocol.PendingBytes() == 0; }, 30s));
    EXPECT_EQ(protocol.NextIndex(), 2);
    now += 19;
    reactor.RunFor(200ms);
    EXPECT_EQ(timeouts.load(), 0);
    now += 1;
    ASSERT_TRUE(reactor.RunUntil([&] { return retried; }, 30s));
    EXPECT_EQ(protocol.NextIndex(), 1);
    startWatchdog();
    ASSERT_TRUE(reactor.RunUntil([&] { return sink.finished || !sink.failed.empty(); }, 30s));
    ASSERT_TRUE(WaitFor([&] { return service.Completed() == 1; }));
    watchdog->Join();
    EXPECT_EQ(timeouts.load(), 1);
    EXPECT_EQ(service.FilesLeftSeen(), (std::vector<int>{3, 2}));
    ExpectDelivered(service);
}

// A service that asks for things out of turn: a FILES before FILEN, a FILES beyond the
// list, and a FILEC whose copy has vanished.
TEST_F(UploadProtocol, OutOfTurnRequestsAreRefusedWithoutSending)
{
    lftest::LoopbackListener listener;
    std::atomic<bool> stop{false};
    std::string afterFilesBeforeFilen, afterFilesBeyond;
    std::atomic<bool> scriptDone{false};
    std::atomic<int> messages{0};
    const auto poster = reactor.GetPoster();
    std::thread peer([&] {
        const int fd = listener.Accept(stop);
        char record[256];
        lftest::LoopbackListener::ReadExactly(fd, record, 256);  // HELLO
        // After a refused FILES nothing may come back: the next record proves it.
        const auto quiet = [&](std::string& seen) {
            const int before = messages.load();
            lftest::LoopbackListener::WriteAll(fd, "FILES", 5);
            while (messages.load() == before && !stop)
                std::this_thread::yield();
            lftest::LoopbackListener::WriteAll(fd, "AUTHZ", 5);
            lftest::LoopbackListener::ReadExactly(fd, record, 256);
            seen = std::string(record, 5);
        };
        quiet(afterFilesBeforeFilen);
        lftest::LoopbackListener::WriteAll(fd, "FILEN", 5);
        lftest::LoopbackListener::ReadExactly(fd, record, 256);
        for (int i = 0; i < 3; ++i) {
            lftest::LoopbackListener::WriteAll(fd, "FILES", 5);
            lftest::LoopbackListener::ReadExactly(fd, record, 256);
        }
        quiet(afterFilesBeyond);
        scriptDone = true;
        poster.Post([] {});  // wakes the test's loop
        lftest::LoopbackListener::WaitForClose(fd, stop);
        ::close(fd);
    });
    struct CountingSink : RecordingSink {
        std::atomic<int>* count = nullptr;
        void OnMessage(const std::string& text) override
        {
            RecordingSink::OnMessage(text);
            ++*count;
        }
    } sink;
    sink.count = &messages;
    CUploadProtocol protocol(sink);
    Prepare(protocol);
    ASSERT_TRUE(protocol.Connect("127.0.0.1", static_cast<unsigned>(listener.Port())));
    const bool done = reactor.RunUntil([&] { return scriptDone.load(); }, 30s);
    protocol.CloseSocket();
    stop = true;
    peer.join();
    ASSERT_TRUE(done);
    EXPECT_EQ(afterFilesBeforeFilen, "AUTHZ");
    EXPECT_EQ(afterFilesBeyond, "AUTHZ");
    EXPECT_EQ(sink.messages.size(), 2u);
    EXPECT_EQ(protocol.NextIndex(), 3);
}

TEST_F(UploadProtocol, AVanishedCopyStopsWithAnErrorAndAConnectFailureIsReportedAtOnce)
{
    lftest::FakeUploadService service(Service());
    RecordingSink sink;
    CUploadProtocol protocol(sink);
    Prepare(protocol);
    std::filesystem::remove(files[1].path);
    ASSERT_TRUE(protocol.Connect("127.0.0.1", static_cast<unsigned>(service.Port())));
    ASSERT_TRUE(reactor.RunUntil([&] { return !sink.failed.empty(); }, 30s));
    EXPECT_EQ(sink.failed, "ERROR: Could not read f1.jpg. Upload stopped.");
    EXPECT_TRUE(protocol.Aborted());
    ASSERT_TRUE(WaitFor([&] { return service.Connections() == 1; }));
    EXPECT_TRUE(service.Files().count(0));
    EXPECT_FALSE(service.Files().count(1));

    RecordingSink refused;
    CUploadProtocol nobody(refused);
    nobody.SetFiles(files);
    const nettest::ClosedPort closed;
    nobody.Connect("127.0.0.1", static_cast<unsigned>(closed.Port()));
    ASSERT_TRUE(reactor.RunUntil([&] { return !refused.failed.empty(); }, 30s));
    EXPECT_EQ(refused.failed.rfind("ERROR: Could not connect to the upload server", 0), 0u) << refused.failed;
    EXPECT_FALSE(refused.connected);
}

}  // namespace

namespace {

TEST(HttpLogin, AnOverlongReplyIsCapped)
{
    lftest::FakeWebHost web(std::string(HttpLogin::kMaxReply + 4096, 'r'));
    const auto reply = HttpLogin::Get("http://" + web.HostPort() + "/", "");
    ASSERT_TRUE(reply.ok) << reply.error;
    EXPECT_EQ(reply.body.size(), HttpLogin::kMaxReply);
}

TEST(UploadProtocolIndexes, ARetryBeforeAnyFileKeepsTheFirstFile)
{
    RecordingSink sink;
    CUploadProtocol protocol(sink);
    protocol.StepBackForRetry();
    EXPECT_EQ(protocol.NextIndex(), 0);
}

// How long the flood goes on after the send failed: LF_FLOOD_SECONDS for the long
// run, two seconds in the suite.
std::chrono::milliseconds FloodTime()
{
    const char* seconds = std::getenv("LF_FLOOD_SECONDS");
    return std::chrono::seconds(seconds ? std::max(1, std::atoi(seconds)) : 2);
}

size_t ResidentBytes()
{
    std::ifstream statm("/proc/self/statm");
    size_t pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

// A service that keeps sending and never reads: every 39 bytes are a command the
// client answers, so its replies pile up unless the queue is bounded. Once the queue
// is full the send fails ("Connection Failed", once), nothing more counts as activity
// (the watchdog's limit then offers the Retry), and memory stays flat.
TEST_F(UploadProtocol, AFloodingServiceThatNeverReadsFailsTheConnectionWithBoundedMemory)
{
    struct Case {
        const char* what;
        std::vector<std::string> opening;  // commands sent one by one before the flood
        std::string unit;                  // one 39-byte read of the flood
    };
    const Case cases[] = {
        {"unknown commands", {}, std::string(39, 'X')},
        {"chunk requests", {"AUTHZ", "FILEN", "FILES", "FILES", "FILES"}, "FILEC" + std::string(34, '\0')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::atomic<bool> flooding{false};
        nettest::ScriptedPeer service([&](int fd) {
            // A small receive window, so that what the client sends stops soon.
            const int small = 4096;
            setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &small, sizeof small);
            // One command at a time, each once its answer is in: two of them read in
            // one receive would be one command to the client.
            nettest::ReadExactly(fd, 256);  // HELLO
            for (const std::string& command : c.opening) {
                nettest::WriteAll(fd, command);
                nettest::ReadExactly(fd, 256);
            }
            flooding = true;
            std::string burst;
            for (int i = 0; i < 64; ++i)
                burst += c.unit;
            while (::send(fd, burst.data(), burst.size(), MSG_NOSIGNAL) > 0) {
            }
        });
        RecordingSink sink;
        CUploadProtocol protocol(sink);
        Prepare(protocol);
        // The last file is large (and sparse), so that every chunk carries 10240 bytes.
        auto withLargeFile = files;
        withLargeFile[2].path = (dir / "resized_large.jpg").string();
        withLargeFile[2].size = int64_t{256} << 20;
        std::ofstream{withLargeFile[2].path}.close();
        std::filesystem::resize_file(withLargeFile[2].path, static_cast<uintmax_t>(withLargeFile[2].size));
        protocol.SetFiles(withLargeFile);
        ASSERT_TRUE(protocol.Connect("127.0.0.1", static_cast<unsigned>(service.Port())));
        // A small send buffer too, so that the queue fills soon on a slow machine.
        const int small = 4096;
        ASSERT_EQ(setsockopt(protocol.Socket()->GetSocketHandle(), SOL_SOCKET, SO_SNDBUF, &small, sizeof small), 0);
        ASSERT_TRUE(reactor.RunUntil([&] { return flooding.load(); }, 10s));
        const size_t before = ResidentBytes();
        size_t peak = before;
        // The socket's own buffers take a few megabytes first; then the queue fills.
        const auto failed = reactor.RunUntil(
            [&] {
                peak = std::max(peak, ResidentBytes());
                return protocol.SendFailed();
            },
            120s);
        ASSERT_TRUE(failed);
        const int activitiesAtFailure = sink.activities;
        const auto end = std::chrono::steady_clock::now() + FloodTime();
        while (std::chrono::steady_clock::now() < end) {
            reactor.RunOnce(10ms);
            peak = std::max(peak, ResidentBytes());
        }
        std::cout << c.what << ": resident " << before / 1024 << " KB before the flood, at most " << peak / 1024
                  << " KB during it, peak queue " << protocol.PeakPendingBytes() << " bytes\n";
        EXPECT_EQ(sink.messages, std::vector<std::string>{"Connection Failed"});
        EXPECT_LE(protocol.PeakPendingBytes(), CUploadProtocol::kMaxPending);
        EXPECT_EQ(sink.activities, activitiesAtFailure);
#if !defined(__SANITIZE_ADDRESS__) && !defined(__SANITIZE_THREAD__)
        // The sanitizers keep freed memory aside, so only a plain build sees it flat.
        EXPECT_LT(peak - before, size_t{32} << 20);
#endif
        protocol.CloseSocket();
    }
}

// With the trace flag every connection's socket, the login's pre-connection's too,
// makes "userinfo.xml" and closes it when the service closes, which lets the next
// login go ahead; without it no file is made and the close tells nothing.
TEST_F(UploadProtocol, TheTraceFileLivesFromTheConnectionToItsClose)
{
    for (const bool trace : {false, true}) {
        SCOPED_TRACE(trace);
        const auto folder = dir / (trace ? "traced" : "plain");
        std::filesystem::create_directories(folder);
        std::atomic<bool> closed{false};
        const auto wake = reactor.GetPoster();
        nettest::ScriptedPeer service([&](int fd) {
            nettest::ReadExactly(fd, 256);  // HELLO
            closed = true;
            wake.Post([] {});
        });
        RecordingSink sink;
        CUploadProtocol protocol(sink);
        Prepare(protocol);
        if (trace)
            protocol.SetTraceFolder(folder);
        ASSERT_TRUE(protocol.Connect("127.0.0.1", static_cast<unsigned>(service.Port())));
        ASSERT_NE(protocol.Socket(), nullptr);
        EXPECT_EQ(protocol.Socket()->Tracing(), trace);
        EXPECT_EQ(std::filesystem::exists(folder / "userinfo.xml"), trace);
        ASSERT_TRUE(reactor.RunUntil([&] { return closed.load(); }, 10s));
        service.Join();
        ASSERT_TRUE(reactor.RunUntil([&] { return !protocol.Socket()->Tracing() && sink.loginReady == trace; }, 10s));
        EXPECT_EQ(std::filesystem::exists(folder / "userinfo.xml"), trace);
        EXPECT_TRUE(sink.messages.empty());

        // The pre-connection, through a proxy that lets it through and then closes.
        std::filesystem::remove(folder / "userinfo.xml");
        nettest::ScriptedPeer proxy([&](int fd) {
            nettest::ReadHttpHead(fd);
            nettest::WriteAll(fd, "HTTP/1.1 200 OK\r\n\r\n");
        });
        ASSERT_TRUE(protocol.PreConnect("127.0.0.1", 9197, "127.0.0.1", proxy.Port()));
        EXPECT_EQ(protocol.PreConnectSocket()->Tracing(), trace);
        EXPECT_EQ(std::filesystem::exists(folder / "userinfo.xml"), trace);
        EXPECT_TRUE(reactor.RunUntil([&] { return sink.loginReady == 2 * trace; }, 10s));
        reactor.RunFor(100ms);
        EXPECT_EQ(sink.loginReady, 2 * trace);
        EXPECT_FALSE(protocol.PreConnectSocket()->Tracing());
    }
}

// The trace file is the program's own: a name that is a link (symbolic, or a second
// name of another file) or no plain file is refused and what it names stays as it
// was; a plain file of that name is emptied; a FIFO does not hold the thread.
TEST_F(UploadProtocol, TheTraceFileIsNeverMadeThroughALink)
{
    std::ofstream(dir / "target.txt") << "keep";
    using Make = std::function<void(const std::filesystem::path&)>;
    struct Case {
        const char* what;
        Make make;
        bool taken;
    };
    const Case cases[] = {
        {"symbolic link", [&](const auto& at) { std::filesystem::create_symlink(dir / "target.txt", at); }, false},
        {"hard link", [&](const auto& at) { std::filesystem::create_hard_link(dir / "target.txt", at); }, false},
        {"FIFO", [](const auto& at) { EXPECT_EQ(::mkfifo(at.c_str(), 0600), 0); }, false},
        {"folder", [](const auto& at) { std::filesystem::create_directory(at); }, false},
        {"plain file", [](const auto& at) { std::ofstream(at) << "old trace"; }, true},
        {"nothing", [](const auto&) {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const auto folder = dir / c.what;
        std::filesystem::create_directories(folder);
        c.make(folder / "userinfo.xml");
        RecordingSink sink;
        CUploadProtocol owner(sink);
        CServiceSocket socket(owner);
        EXPECT_EQ(socket.SetTrace(folder), c.taken);
        EXPECT_EQ(socket.Tracing(), c.taken);
        EXPECT_EQ(lftest::ReadText(dir / "target.txt"), "keep");
        if (c.taken) {
            EXPECT_EQ(std::filesystem::file_size(folder / "userinfo.xml"), 0u);
            EXPECT_EQ(std::filesystem::hard_link_count(folder / "userinfo.xml"), 1u);
        }
    }
}

// A host name that is not found says so in the status, not as a bad argument, for the
// upload host and for the proxy's name alike.
TEST_F(UploadProtocol, ANameThatIsNotFoundSaysSo)
{
    nettest::FakeNameServer names({}, {"upload.missing.test", "proxy.missing.test"});
    struct Case {
        const char* proxy;
        const char* status;
    };
    const Case cases[] = {
        {"", "ERROR: Could not connect to the upload server (host not found)."},
        {"proxy.missing.test", "ERROR: Proxy error: Can't connect to proxy server. (host not found)"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.proxy);
        RecordingSink sink;
        CUploadProtocol protocol(sink);
        Prepare(protocol);
        EXPECT_TRUE(protocol.Connect("upload.missing.test", 9197, c.proxy, 3128));
        ASSERT_TRUE(reactor.RunUntil([&] { return !sink.failed.empty(); }, 10s));
        EXPECT_EQ(sink.failed, c.status);
        EXPECT_FALSE(sink.connected);
    }
}

}  // namespace
