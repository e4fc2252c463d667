#pragma once
// Peers for the socket tests, all on loopback: a blocking echo service and a scripted
// service on threads of the test, and real peer programs (proxies, a TLS server)
// started as child processes with configuration files the test writes.

#include "net/CLayeredSocket.h"
#include "net/CLayeredSocketDispatcher.h"
#include "net/CSocketLayer.h"

#include <atomic>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace nettest {

// A host name that fails to resolve without asking any name server (its first label
// is longer than a name server would take), so tests send nothing off this machine.
std::string UnresolvableName(size_t length = 80);

// A loopback port that was free a moment ago. Only for peers that bind it themselves
// and are started through ChildProcess::StartOnFreePort, which tries again when
// another process took it first.
int FreeLoopbackPort();

// A loopback port bound by the test and never listened on: connecting to it is
// refused, and no other process can take it while this lives.
class ClosedPort {
public:
    ClosedPort();
    ~ClosedPort();
    ClosedPort(const ClosedPort&) = delete;
    ClosedPort& operator=(const ClosedPort&) = delete;
    int Port() const { return m_port; }

private:
    int m_fd = -1;
    int m_port = 0;
};

// A listening socket on 127.0.0.1 whose connections a thread serves one after the
// other with a script (the accepted descriptor, blocking). Stops after the script of
// the last expected connection returns, or when destroyed.
class ScriptedPeer {
public:
    using Script = std::function<void(int fd)>;
    explicit ScriptedPeer(Script script, int connections = 1);
    ~ScriptedPeer();
    ScriptedPeer(const ScriptedPeer&) = delete;
    ScriptedPeer& operator=(const ScriptedPeer&) = delete;
    int Port() const { return m_port; }
    // Waits for the serving thread to finish.
    void Join();

private:
    int m_listen = -1;
    int m_port = 0;
    // The connection being served, shut down when the peer is destroyed so that a
    // script waiting for more never blocks the test's end.
    std::shared_ptr<std::atomic<int>> m_current = std::make_shared<std::atomic<int>>(-1);
    std::thread m_thread;
};

// Blocking helpers for scripts.
std::string ReadExactly(int fd, size_t count);
// Reads up to and including the first blank line ("\r\n\r\n"); empty on EOF before.
std::string ReadHttpHead(int fd);
void WriteAll(int fd, const void* data, size_t size);
void WriteAll(int fd, const std::string& text);
// Echoes everything until the other side shuts down its sending direction, then closes.
void EchoUntilEof(int fd);
// Opens the target and copies bytes both ways until both sides are done.
void Relay(int fd, int targetPort);

// A program started with arguments, stopped (TERM, then KILL) when destroyed.
class ChildProcess {
public:
    ChildProcess() = default;
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;
    // Starts the program (its output into log) and waits until the program itself (or
    // a process it started) holds the listening socket of port, so that a connection
    // there surely reaches it. False with the reason in error, also when the program
    // is missing: callers fail loudly, the install script provides it.
    bool Start(const std::vector<std::string>& argv, int port, const std::filesystem::path& log,
               std::string& error);
    // Start on a free loopback port: argvFor makes the command line (and writes any
    // configuration) for a port; when the program cannot bind it because another
    // process took it meanwhile, a new port is tried. port receives the one in use.
    bool StartOnFreePort(const std::function<std::vector<std::string>(int port)>& argvFor, int& port,
                         const std::filesystem::path& log, std::string& error);
    void Stop();
    bool Running() const { return m_pid > 0; }

private:
    int m_pid = -1;
};

// The account the SOCKS server checks user name and password against (made by
// scripts/install-deps.sh).
constexpr const char* kSocksUser = "lfsockstest";
constexpr const char* kSocksPassword = "lfsockstest-pw";

// An HTTP CONNECT proxy on a free 127.0.0.1 port (given back in port) with its
// configuration in dir; with a user it asks for Basic credentials.
bool StartHttpProxy(ChildProcess& process, const std::filesystem::path& dir, int& port, const std::string& user,
                    const std::string& password, std::string& error);
// A SOCKS 4/5 server on a free 127.0.0.1 port (given back in port); with userPassword
// only SOCKS5 with kSocksUser and its password is let through.
bool StartSocksServer(ChildProcess& process, const std::filesystem::path& dir, int& port, bool userPassword,
                      std::string& error);

// Finds a program in the usual places (also /usr/sbin); empty when it is not there.
std::string FindProgram(const std::string& name);

// The name server of the sockets of the calling thread while this lives (it holds the
// thread's dispatcher): names in answers resolve, names in missing are not found, and
// any other name gets no answer, like a name server that never replies, until
// Release (or the destructor) ends the silence with "try again". The destructor waits
// until every look-up has left it. Construct it after the thread's reactor.
class FakeNameServer {
public:
    explicit FakeNameServer(std::initializer_list<std::pair<const char*, const char*>> answers = {},
                            std::initializer_list<const char*> missing = {});
    ~FakeNameServer();
    FakeNameServer(const FakeNameServer&) = delete;
    FakeNameServer& operator=(const FakeNameServer&) = delete;
    // The names asked for so far, in order.
    std::vector<std::string> Asked() const;
    // Look-ups waiting for an answer now.
    int Waiting() const;
    void Release();

private:
    struct State;
    std::shared_ptr<State> m_state;
    std::shared_ptr<CLayeredSocketDispatcher> m_dispatcher;
    CLayeredSocketDispatcher::Resolver m_previous;
};

// A socket that records what it hears and lets the test react.
class RecordingSocket : public CLayeredSocket {
public:
    struct Heard {
        long event;
        int error;
    };
    struct Notice {
        int type;
        int param1;
        intptr_t param2;
        std::string text;  // param2 as text for the notices that carry one
    };

    std::vector<Heard> heard;
    std::vector<Notice> notices;
    std::function<void(int)> onConnect, onReceive, onSend, onClose, onAccept;
    // Which notice codes of type 1 carry a text in param2.
    std::function<bool(int code)> noticeHasText = [](int) { return false; };
    // The answer to a callback (1 when not set).
    std::function<int(const Notice&)> answer;

    int Count(long event) const;
    // The error of the first event of this kind, or -1 when none came.
    int FirstError(long event) const;

    void OnConnect(int error) override;
    void OnReceive(int error) override;
    void OnSend(int error) override;
    void OnClose(int error) override;
    void OnAccept(int error) override;
    int OnLayerCallback(CSocketLayer* layer, int type, int param1, intptr_t param2) override;

    // Reads what is waiting into sink until the socket would block.
    void Drain(std::string& sink);
};

}  // namespace nettest
