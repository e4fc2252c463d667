// The upload against the system's own name look-up while the name server never
// answers (the test program runs through with-silent-name-server.sh, in a network of
// its own whose resolver asks 127.0.0.1, where this program takes the questions and
// holds them). Upload Now, the login and the connection after it never make the
// user-interface thread wait for a name: its timer never stands still for as long as a
// second over the whole hang, and Cancel ends the attempt at once.
#include "upload/model/CUploadController.h"

#include "image/CLfImage.h"
#include "platform/PollReactor.h"
#include "tests/support/TestEnv.h"
#include "tests/upload/TickGaps.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <iostream>
#include <mutex>
#include <thread>

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using Clock = uploadtest::TickGaps::Clock;

namespace {

// The name server of the private configuration: it reads every question and answers
// none until Release, which answers the held ones "no such name" so that the system's
// look-ups end before the program does.
class SilentNameServer {
public:
    SilentNameServer()
    {
        m_fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_CLOEXEC, 0);
        sockaddr_in at{};
        at.sin_family = AF_INET;
        at.sin_port = htons(53);
        at.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&at), sizeof at) != 0 || ::pipe(m_wake) != 0)
            return;
        m_thread = std::thread([this] { Serve(); });
    }
    ~SilentNameServer()
    {
        Release();
        if (m_thread.joinable()) {
            const char stop = 0;
            (void)!::write(m_wake[1], &stop, 1);
            m_thread.join();
        }
        for (int fd : {m_fd, m_wake[0], m_wake[1]})
            if (fd >= 0)
                ::close(fd);
    }
    bool Listening() const { return m_thread.joinable(); }
    int Questions() const { return m_questions.load(); }
    void Release()
    {
        std::lock_guard lock(m_mutex);
        m_released = true;
        for (const Held& held : m_held)
            AnswerNoSuchName(held);
        m_held.clear();
    }

private:
    struct Held {
        std::string query;
        sockaddr_in from;
    };

    void Serve()
    {
        for (;;) {
            pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_wake[0], POLLIN, 0}};
            if (::poll(fds, 2, -1) < 0 || (fds[1].revents & POLLIN))
                return;
            char buffer[512];
            Held held{};
            socklen_t length = sizeof held.from;
            const ssize_t n =
                ::recvfrom(m_fd, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&held.from), &length);
            if (n < 12)
                continue;
            ++m_questions;
            held.query.assign(buffer, static_cast<size_t>(n));
            std::lock_guard lock(m_mutex);
            if (m_released)
                AnswerNoSuchName(held);
            else
                m_held.push_back(std::move(held));
        }
    }

    // The question sent back as a response with no such name, without its extra records.
    void AnswerNoSuchName(const Held& held) const
    {
        std::string reply = held.query;
        size_t end = 12;
        while (end < reply.size() && reply[end] != 0)
            end += 1 + static_cast<unsigned char>(reply[end]);
        end += 5;
        if (end > reply.size())
            return;
        reply.resize(end);
        reply[2] = static_cast<char>(0x81 | (reply[2] & 0x78));  // a response; recursion as asked
        reply[3] = static_cast<char>(0x83);                      // recursion available; no such name
        for (size_t i = 6; i < 12; ++i)
            reply[i] = 0;
        ::sendto(m_fd, reply.data(), reply.size(), 0, reinterpret_cast<const sockaddr*>(&held.from),
                 sizeof held.from);
    }

    int m_fd = -1;
    int m_wake[2] = {-1, -1};
    std::thread m_thread;
    std::atomic<int> m_questions{0};
    std::mutex m_mutex;
    std::vector<Held> m_held;
    bool m_released = false;
};

struct View : IUploadView {
    std::vector<std::string> statuses, messages;
    void SetStatus(const std::string& text) override { statuses.push_back(text); }
    void SetProgressRange(int64_t) override {}
    void SetProgress(int64_t) override {}
    void SetPhase(Phase) override {}
    void ShowMessage(const std::string& text, const std::string&) override { messages.push_back(text); }
    void ShowServerMessage(const std::string&) override {}
    void ShowStatusButton(const std::string&) override {}
    bool AskRetry(const std::string&) override { return false; }
};

// The thread's timer, every 20 ms, ticking into gaps.
class ThreadTimer {
public:
    ThreadTimer(lfplat::PollReactor& reactor, uploadtest::TickGaps& gaps) : m_reactor(reactor), m_gaps(gaps) { Arm(); }
    ~ThreadTimer() { m_reactor.StopTimer(m_timer); }

private:
    void Arm()
    {
        m_timer = m_reactor.StartTimer(20ms, [this] {
            m_gaps.Tick();
            Arm();
        });
    }
    lfplat::PollReactor& m_reactor;
    uploadtest::TickGaps& m_gaps;
    lfplat::Reactor::TimerId m_timer = 0;
};

TEST(SilentNameServer, TheUploadNeverWaitsForItAndCancelEndsTheAttemptAtOnce)
{
    const char* resolver = std::getenv("LF_PRIVATE_RESOLVER");
    ASSERT_NE(resolver, nullptr) << "run through tests/upload/with-silent-name-server.sh";
    SilentNameServer names;
    ASSERT_TRUE(names.Listening()) << "no name server at " << resolver << " port 53";

    lfplat::PollReactor reactor;
    lftest::TempDir dir;
    CLfImage image;
    image.Create(40, 30, 24, lfimg::kTypeJPG);
    const fs::path path = dir / "a.jpg";
    ASSERT_TRUE(image.Save(path.c_str(), lfimg::kTypeJPG));
    const std::vector<UploadSource> sources{{path.string(), "a.jpg", static_cast<int64_t>(fs::file_size(path)), true}};

    // The login through the named proxy looks its name up itself; answered at once, the
    // upload connection after it has the proxy's name to look up.
    for (const bool loginAnswered : {false, true}) {
        SCOPED_TRACE(loginAnswered ? "after the login" : "during the login");
        View view;
        CUploadController controller(view, sources);
        UploadSettings s;
        s.login = "user";
        s.password = "pw";
        s.proxy = "YES";
        s.proxyHost = "proxy.silent.test";
        s.proxyPort = "3128";
        s.endpoints.webHost = "web.silent.test";
        s.endpoints.uploadHost = "upload.silent.test";
        controller.SetSettings(s);
        std::atomic<bool> answered{false};
        if (loginAnswered)
            controller.SetFetch([&](const std::string&, const std::string&, std::stop_token) {
                HttpLogin::Result result;
                result.ok = true;
                result.status = 200;
                result.body = "<uid>7</uid><sid>abc</sid><paidMember>1</paidMember><Num-Paid>10</Num-Paid>"
                              "<SizeinMB-Paid>10</SizeinMB-Paid><maxDiskSpace>10000000</maxDiskSpace>"
                              "<picturelimit>10</picturelimit><WWW>1</WWW>";
                answered = true;
                return result;
            });

        const int asked = names.Questions();
        uploadtest::TickGaps gaps;
        ThreadTimer timer(reactor, gaps);
        gaps.Begin();
        controller.UploadNow();
        // Both the pre-connection and the login (or the upload connection) ask.
        EXPECT_TRUE(reactor.RunUntil([&] { return names.Questions() >= asked + 2; }, 10s));
        const size_t atQuestions = gaps.Count();
        reactor.RunUntil([&] { return gaps.Count() >= atQuestions + 50; }, 10s);
        EXPECT_FALSE(controller.Finished());
        EXPECT_EQ(answered.load(), loginAnswered);
        EXPECT_EQ(controller.LoggingIn(), !loginAnswered);
        EXPECT_TRUE(view.messages.empty());

        const auto cancelled = Clock::now();
        controller.Cancel();
        const auto took = Clock::now() - cancelled;
        reactor.RunFor(100ms);
        EXPECT_LT(gaps.Longest(), 1s);
        std::cout << "Cancel took " << std::chrono::duration_cast<std::chrono::milliseconds>(took).count() << " ms\n";
        EXPECT_FALSE(controller.LoggingIn());
        EXPECT_FALSE(controller.WatchdogRunning());
        EXPECT_TRUE(controller.CopyPaths().empty());
    }
}

}  // namespace
